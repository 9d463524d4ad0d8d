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

TEST_F(ExtentsFields, ThreeArcSecondsInBothForms) {
  show(kDms);
  EXPECT_EQ(std::tie(state.extents.latSpacing, state.extents.longSpacing),
            std::make_tuple(30.0f, 30.0f));
  EXPECT_EQ(text(kLatSpacingField), dms(0, 0, "03.00", 'N'));
  EXPECT_EQ(text(kLonSpacingField), dms(0, 0, "03.00", 'E'));
  EXPECT_EQ(text(kNeLatField), dms(1, 0, "00.00", 'N'));
  EXPECT_EQ(text(kSwLonField), dms(0, 0, "00.00", 'E'));
  EXPECT_EQ(text(kLatPostsField), "1201");
  EXPECT_EQ(text(kLonPostsField), "1201");

  show(kDecimal);
  EXPECT_EQ(text(kLatSpacingField), "0.000833333");
  EXPECT_EQ(text(kLonSpacingField), "0.000833333");
  EXPECT_EQ(text(kNeLatField), "1.000000000");
}

TEST_F(ExtentsFields, ASpacingEntryMovesBothNorthEastCoordinates) {
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
}

TEST_F(ExtentsFields, ASpacingEntryInDegreesMinutesSeconds) {
  show(kDms);
  hosted.control(kLonSpacingField).type("0 0 6 E");
  EXPECT_FLOAT_EQ(state.extents.longSpacing, 60.0f);
  EXPECT_FLOAT_EQ(state.extents.longEnd, 2.0f);
  EXPECT_FLOAT_EQ(state.extents.latEnd, 1.0f);
  EXPECT_EQ(text(kLonSpacingField), dms(0, 0, "06.00", 'E'));
}

TEST_F(ExtentsFields, SpacingsThatAreNotPositiveOrNotNumbersChangeNothing) {
  for (const char* typed : {"0", "-0.001", "abc", ""}) {
    hosted.control(kLatSpacingField).type(typed);
    EXPECT_EQ(std::tie(state.extents.latSpacing, state.extents.latEnd, state.extents.longEnd),
              std::make_tuple(30.0f, 1.0f, 1.0f))
        << typed;
    EXPECT_EQ(text(kLatSpacingField), "0.000833333") << typed;
  }
}

TEST_F(ExtentsFields, ACornerEntryRecomputesBothSpacingsFromTheAbsoluteDifferences) {
  state.extents.longPosts =
      601.0f;  // the longitude spacing no longer matches until a corner changes
  // North-east below south-west is accepted while the longitudes increase.
  hosted.control(kNeLatField).type("-2");
  EXPECT_EQ(std::tie(state.extents.latEnd, state.extents.latSpacing, state.extents.longSpacing),
            std::make_tuple(-2.0f, 60.0f, 60.0f));
  EXPECT_EQ(text(kNeLatField), "-2.000000000");
}

TEST_F(ExtentsFields, CornersThatLeaveNoExtentAreRefused) {
  state.extents.longEnd = 0.0f;           // longitudes equal
  hosted.control(kSwLatField).type("1");  // latitudes equal too
  EXPECT_EQ(state.extents.latStart, 0.0f);
  EXPECT_EQ(text(kSwLatField), "0.000000000");
  EXPECT_EQ(state.extents.latSpacing, 30.0f);

  state.extents.longStart = 0.5f;  // longitudes reversed
  hosted.control(kNeLatField).type("-1");
  EXPECT_EQ(state.extents.latEnd, 1.0f);
  EXPECT_EQ(text(kNeLatField), "1.000000000");
}

TEST_F(ExtentsFields, TheCountsTakeNoEntry) {
  hosted.control(kLatPostsField).type("5");
  EXPECT_EQ(state.extents.latPosts, 1201.0f);
}

TEST_F(ExtentsFields, SwitchingTheDisplayChangesOnlyTheDisplay) {
  state.extents.latStart = 36.446f;
  show(kDms);
  const Extents before = state.extents;
  hosted.control(kDecimalToggle).press();
  EXPECT_EQ(state.ui.displayDms, 0);
  EXPECT_EQ(text(kSwLatField), "36.445999146");
  EXPECT_TRUE(hosted.control(kDecimalToggle).checked());
  EXPECT_FALSE(hosted.control(kDmsToggle).checked());
  EXPECT_EQ(hosted.control(kDecimalToggle).text(), "Decimal Degrees");

  hosted.control(kDmsToggle).press();
  EXPECT_EQ(state.ui.displayDms, 1);
  EXPECT_TRUE(hosted.control(kDmsToggle).checked());
  EXPECT_FALSE(hosted.control(kDecimalToggle).checked());
  EXPECT_TRUE(hosted.control(kDmsToggle).enabled());
  EXPECT_EQ(text(kSwLatField), dms(36, 26, "45.60", 'N'));
  const Extents& after = state.extents;
  EXPECT_EQ(std::tie(after.latStart, after.latEnd, after.longStart, after.longEnd, after.latSpacing,
                     after.longSpacing),
            std::tie(before.latStart, before.latEnd, before.longStart, before.longEnd,
                     before.latSpacing, before.longSpacing));
}

}  // namespace
}  // namespace relievo
