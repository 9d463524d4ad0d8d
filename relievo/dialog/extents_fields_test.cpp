#include "dialog/extents_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "dialog/test_host.h"

namespace relievo {
namespace {

std::string extentsControls() {
  std::string controls;
  for (int id = kSwLatField; id <= kLonPostsField; ++id)
    controls += testing::textControl(id);
  return controls + R"(,
    {"id": 1081, "kind": "radio", "label": "Degrees/Minutes/Seconds", "group": "display",
     "rect": [0, 0, 10, 10]},
    {"id": 1082, "kind": "radio", "label": "Decimal", "group": "display",
     "rect": [0, 0, 10, 10]})";
}

// The host's degrees/minutes/seconds text: degree sign, minutes, seconds with two decimals.
std::string dms(int degrees, int minutes, const char* seconds, char hemisphere) {
  char text[64];
  std::snprintf(text, sizeof text, "%d\xC2\xB0%02d'%s\"%c", degrees, minutes, seconds, hemisphere);
  return text;
}

class ExtentsFields : public ::testing::Test {
 protected:
  // A source of 1201 x 1201 posts over the degree square (0, 0) ... (1, 1).
  void SetUp() override {
    std::tie(state.extents.latEnd, state.extents.longEnd, state.extents.latPosts,
             state.extents.longPosts) = std::make_tuple(1.0f, 1.0f, 1201.0f, 1201.0f);
    spacingRule(state.extents);
    show(kDecimal);
  }
  std::string text(int id) { return hosted.control(id).text(); }
  static constexpr int kDecimal = 0;
  static constexpr int kDms = 1;
  void show(int display) {
    state.ui.displayDms = display;
    sxRefreshDialog(state.ui.dialog);
  }

  testing::HostedState hosted{extentsControls()};
  ToolState& state = hosted.state;
};

// Switching the display changes only the display.
TEST_F(ExtentsFields, ThreeArcSecondsInBothForms) {
  show(kDms);
  const Extents before = state.extents;
  EXPECT_EQ(std::tie(before.latSpacing, before.longSpacing), std::make_tuple(30.0f, 30.0f));
  EXPECT_EQ(text(kLatSpacingField), dms(0, 0, "03.00", 'N'));
  EXPECT_EQ(text(kLonSpacingField), dms(0, 0, "03.00", 'E'));
  EXPECT_EQ(text(kNeLatField), dms(1, 0, "00.00", 'N'));
  EXPECT_EQ(text(kSwLonField), dms(0, 0, "00.00", 'E'));
  EXPECT_EQ(text(kLatPostsField), "1201");

  hosted.control(kDecimalToggle).press();
  EXPECT_EQ(state.ui.displayDms, 0);
  EXPECT_TRUE(hosted.control(kDecimalToggle).checked());
  EXPECT_FALSE(hosted.control(kDmsToggle).checked());
  EXPECT_EQ(hosted.control(kDecimalToggle).text(), "Decimal Degrees");
  EXPECT_EQ(text(kLonSpacingField), "0.000833333");
  EXPECT_EQ(text(kNeLatField), "1.000000000");
  state.extents.latStart = 36.446f;
  hosted.control(kDmsToggle).press();
  EXPECT_EQ(state.ui.displayDms, 1);
  EXPECT_TRUE(hosted.control(kDmsToggle).checked());
  EXPECT_EQ(text(kSwLatField), dms(36, 26, "45.60", 'N'));
  const Extents& after = state.extents;
  EXPECT_EQ(
      std::tie(after.latEnd, after.longStart, after.longEnd, after.latSpacing, after.longSpacing),
      std::tie(before.latEnd, before.longStart, before.longEnd, before.latSpacing,
               before.longSpacing));
}

// A spacing moves both north-east coordinates; one that is not positive or not a number
// changes nothing.
TEST_F(ExtentsFields, SpacingEntriesMoveBothNorthEastCoordinates) {
  for (const char* typed : {"0", "-0.001", "abc", ""}) {
    hosted.control(kLatSpacingField).type(typed);
    EXPECT_EQ(std::tie(state.extents.latSpacing, state.extents.latEnd, state.extents.longEnd),
              std::make_tuple(30.0f, 1.0f, 1.0f))
        << typed;
    EXPECT_EQ(text(kLatSpacingField), "0.000833333") << typed;
  }
  state.extents.latStart = 10.0f;
  state.extents.latEnd = 11.0f;
  state.extents.longSpacing = 60.0f;  // a longitude spacing that no longer matches the corners
  hosted.control(kLatSpacingField).type("0.001");
  EXPECT_EQ(state.extents.latSpacing, 36.0f);
  EXPECT_FLOAT_EQ(state.extents.latEnd, 11.2f);
  EXPECT_FLOAT_EQ(state.extents.longEnd, 2.0f);  // 1200 steps of 6 seconds
  EXPECT_EQ(std::tie(state.extents.latStart, state.extents.longStart),
            std::make_tuple(10.0f, 0.0f));
  EXPECT_EQ(text(kNeLatField), "11.199999809");  // the stored float, shown again

  show(kDms);
  hosted.control(kLonSpacingField).type("0 0 3 E");
  EXPECT_FLOAT_EQ(state.extents.longSpacing, 30.0f);
  EXPECT_FLOAT_EQ(state.extents.longEnd, 1.0f);
  EXPECT_EQ(text(kLonSpacingField), dms(0, 0, "03.00", 'E'));
}

// A corner recomputes both spacings from the absolute differences, unless it leaves no
// extent; the counts take no entry.
TEST_F(ExtentsFields, CornerEntriesRecomputeTheSpacingsOrAreRefused) {
  state.extents.longPosts = 601.0f;  // the longitude spacing no longer matches
  // North-east below south-west is accepted while the longitudes increase.
  hosted.control(kNeLatField).type("-2");
  EXPECT_EQ(std::tie(state.extents.latEnd, state.extents.latSpacing, state.extents.longSpacing),
            std::make_tuple(-2.0f, 60.0f, 60.0f));
  EXPECT_EQ(text(kNeLatField), "-2.000000000");

  state.extents.longEnd = 0.0f;            // longitudes equal
  hosted.control(kSwLatField).type("-2");  // latitudes equal too
  EXPECT_EQ(state.extents.latStart, 0.0f);
  EXPECT_EQ(text(kSwLatField), "0.000000000");
  state.extents.longStart = 0.5f;  // longitudes reversed, and then latitudes too
  hosted.control(kNeLatField).type("-1");
  EXPECT_EQ(state.extents.latEnd, -2.0f);
  EXPECT_EQ(text(kNeLatField), "-2.000000000");
  hosted.control(kLatPostsField).type("5");
  EXPECT_EQ(state.extents.latPosts, 1201.0f);
}

}  // namespace
}  // namespace relievo
