// Numbers and angles in text controls, through the host calls.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "sxapilib.h"
#include "sxhost/host.h"

namespace {

constexpr const char* kResource = R"({"dialogs": [{"id": 1, "size": [50, 50], "controls": [
  {"id": 1, "kind": "text", "rect": [0, 0, 10, 10]}]}]})";

class TextValue : public testing::Test {
 protected:
  void SetUp() override {
    text = sxFindGuiById(
        sxResourceGetDialog(nullptr, host.loadResourceJson(kResource), 1, 0, nullptr, nullptr), 1);
  }
  std::string shown() { return host.controlOf(text)->text(); }
  std::string shownAfter(int setterResult) {
    EXPECT_EQ(setterResult, 0);
    return shown();
  }

  sxhost::Host host;
  SxGui text = nullptr;
};

// One row per rule of a valid format: one conversion of the value's kind, `l` only for
// floating point, widths and precisions of at most three digits.
TEST_F(TextValue, SettersFormatWithTheDefaultOrTheGivenFormatAndStringsAreCut) {
  EXPECT_EQ(shownAfter(sxTextSetInteger(text, -42, nullptr)), "-42");
  EXPECT_EQ(shownAfter(sxTextSetInteger(text, 7, "%03d items")), "007 items");
  EXPECT_EQ(shownAfter(sxTextSetFloat(text, 0.1f, nullptr)), "0.1");
  EXPECT_EQ(shownAfter(sxTextSetDouble(text, 1.0 / 3.0, nullptr)), "0.3333333333");
  EXPECT_EQ(shownAfter(sxTextSetDouble(text, 2.5, "%lf%%")), "2.500000%");
  for (const char* format :
       {"%s", "%d %d", "%*d", "%ld", "%5000d", "no conversion", "%", "%.1234d"})
    EXPECT_NE(sxTextSetInteger(text, 1, format), 0) << format;
  EXPECT_NE(sxTextSetDouble(text, 1.0, "%d"), 0);
  EXPECT_NE(sxTextSetFloat(text, 1.0f, "%Lf"), 0);
  EXPECT_EQ(shown(), "2.500000%");
  EXPECT_EQ(host.lastError(),
            "sxTextSetFloat: control 1 of dialog 1: the value or format is not valid");
  // Texts are cut to the buffer.
  sxTextSetString(text, "abcdef");
  char buf[8] = "xxxxxxx";
  EXPECT_EQ(sxTextGetString(text, buf, 4), 0);
  EXPECT_STREQ(buf, "abc");
  EXPECT_NE(sxTextGetString(text, buf, 0), 0);
}

// What each getter makes of a text: `getters` is 3 when the integer, float and double getters
// all take it, 2 when only the float and double ones do, 1 for the double one only, 0 for none.
// A refused text leaves the output alone.
TEST_F(TextValue, NumbersAreReadStrictly) {
  const struct {
    const char* text;
    int getters;
    double value;
  } cases[] = {
      // clang-format off
      {"  -17\t", 3, -17}, {"+8", 3, 8}, {"2147483647", 3, 2147483647}, {"1e3", 2, 1000},
      {"2147483648", 2, 2147483648.0}, {"1e39", 1, 1e39}, {"1e999", 0, 0}, {"nan", 0, 0},
      {"12 m", 0, 0}, {"0x10", 0, 0}, {"+-3", 0, 0},
      // clang-format on
  };
  for (const auto& c : cases) {
    sxTextSetString(text, c.text);
    int i = -9;
    float f = -9.0f;
    double d = -9.0;
    EXPECT_EQ(sxTextGetInteger(text, &i) == 0, c.getters == 3) << c.text;
    EXPECT_EQ(i, c.getters == 3 ? static_cast<int>(c.value) : -9) << c.text;
    EXPECT_EQ(sxTextGetFloat(text, &f) == 0, c.getters >= 2) << c.text;
    EXPECT_EQ(f, c.getters >= 2 ? static_cast<float>(c.value) : -9.0f) << c.text;
    EXPECT_EQ(sxTextGetDouble(text, &d) == 0, c.getters >= 1) << c.text;
    EXPECT_EQ(d, c.getters >= 1 ? c.value : -9.0) << c.text;
  }
}

TEST_F(TextValue, AnglesAreShownInDegreesMinutesSecondsAndReadBack) {
  const struct {
    double degrees;
    const char* format;
    const char* shown;
  } cases[] = {
      {-36.446, "STANDARD_LAT", "36°26'45.60\"S"},
      {-122.08333333, "STANDARD_LON", "122°05'00.00\"W"},
      {179.9999999, "STANDARD_LON", "180°00'00.00\"E"},
      {-0.000000001, "STANDARD_LON", "0°00'00.00\"E"},
      {90.0, "STANDARD_LAT", "90°00'00.00\"N"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(sxTextSetDMS(text, c.degrees, c.format), 0) << c.degrees;
    EXPECT_EQ(shown(), c.shown);
    double back = 1000.0;
    ASSERT_EQ(sxTextGetDMS(text, &back, c.format), 0) << c.shown;
    EXPECT_NEAR(back, c.degrees, 0.5 / 360000.0) << c.shown;
  }
  sxTextSetString(text, "kept");
  const std::pair<double, const char*> refused[] = {
      {90.5, "STANDARD_LAT"}, {180.5, "STANDARD_LON"}, {NAN, "STANDARD_LON"}, {1.0, "STANDARD"}};
  for (const auto& [degrees, format] : refused)
    EXPECT_NE(sxTextSetDMS(text, degrees, format), 0) << degrees;
  EXPECT_EQ(shown(), "kept");
}

// A value of NAN marks a text the getter refuses, leaving the output alone.
TEST_F(TextValue, AnglesAreReadInTheFormsPeopleType) {
  const double dms = 36.0 + 26.0 / 60.0 + 46.5 / 3600.0;
  const char* lat = "STANDARD_LAT";
  const struct {
    const char* format;
    const char* text;
    double value;
  } cases[] = {
      // clang-format off
      {lat, "36 26 46.5 N", dms}, {lat, "36:26:46.5", dms}, {lat, "  36 26 46.5 s ", -dms},
      {lat, "S 36 26 46.5", -dms}, {lat, "-36.446", -36.446}, {lat, "36.446S", -36.446},
      {lat, "36 30", 36.5},
      // A longitude's "e" is its side, not an exponent.
      {"STANDARD_LON", "122 5 0 W", -(122.0 + 5.0 / 60.0)}, {"STANDARD_LON", "122.5e", 122.5},
      {lat, "36.446E", NAN}, {lat, "-36.446S", NAN}, {lat, "36 60 0", NAN}, {lat, "36.5 30", NAN},
      {lat, "1 2 3 4", NAN}, {lat, "90 0 1", NAN}, {lat, "abc", NAN}, {lat, "N", NAN},
      {"STANDARD_LON", "181", NAN}, {"STANDARD", "36 26 46.5 N", NAN},
      // clang-format on
  };
  for (const auto& c : cases) {
    sxTextSetString(text, c.text);
    double value = 1000.0;
    EXPECT_EQ(sxTextGetDMS(text, &value, c.format) == 0, !std::isnan(c.value)) << c.text;
    EXPECT_NEAR(value, std::isnan(c.value) ? 1000.0 : c.value, 1e-12) << c.text;
  }
}

}  // namespace
