#include "ded/mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "ded/units.h"
#include "plugin/test_host.h"
#include "plugin/tool_state.h"
#include "preview/preview_image.h"

namespace relievo {
namespace {

ToolState freshState() {
  ToolState state{};
  state.units = kUnitsMeters;
  return state;
}

// A source whose raw range is [lo, hi] in the given unit, loaded as the loader leaves it.
ToolState loaded(double lo, double hi, int units = kUnitsMeters) {
  ToolState state = freshState();
  state.units = units;
  state.dataMin = lo;
  state.dataMax = hi;
  updateConvertedRange(&state);
  return state;
}

TEST(MappingFunctions, MapTheEndsOfTheRange) {
  struct Case {
    MapFn fn;
    double value, expected;
  };
  const Case cases[] = {
      {mapLinear, 0.0, 0.0},       {mapLinear, 500.0, 1000.0}, {mapLinear, 250.0, 500.0},
      {mapInverted, 0.0, 1000.0},  {mapInverted, 500.0, 0.0},  {mapInverted, 125.0, 750.0},
      {mapIdentity, 123.5, 123.5},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(c.fn(c.value, 0.0, 500.0, 0.0, 1000.0), c.expected) << c.value;
  }
}

TEST(MappingFunctions, ZeroWidthInputGivesTheLowEndWithoutDividing) {
  EXPECT_EQ(mapLinear(7.0, 7.0, 7.0, 10.0, 20.0), 10.0);
  EXPECT_EQ(mapInverted(7.0, 7.0, 7.0, 10.0, 20.0), 10.0);
}

TEST(Units, TableHoldsTheSinglePrecisionScales) {
  EXPECT_EQ(unitsTable().size(), 8u);
  EXPECT_EQ(unitsScale(2), static_cast<double>(0.3048f));
  EXPECT_EQ(unitsScale(5), static_cast<double>(999.99994f));
  EXPECT_NE(unitsScale(5), 1000.0);
  EXPECT_EQ(unitsScale(6), static_cast<double>(1610.3059f));
  EXPECT_EQ(unitsScale(7), static_cast<double>(1853.2449f));
  EXPECT_EQ(unitsScale(0), 1.0);
  EXPECT_EQ(unitsScale(9), 1.0);
  EXPECT_EQ(unitsFind(9), nullptr);
  EXPECT_STREQ(unitsFind(7)->name, "Nautical Miles");
}

TEST(Units, OtherScaleChangesTheConvertedRangeOnlyWhenItDiffers) {
  ToolState state = loaded(0.0, 10.0, kUnitsOther);
  setOtherUnitsScale(&state, 3.0f);
  EXPECT_EQ(state.dataMaxMeters, 30.0);
  EXPECT_EQ(state.dedMax, 30.0);
  state.dedMax = 12.0;  // as typed by the user: an unchanged scale keeps it
  setOtherUnitsScale(&state, 3.0f);
  EXPECT_EQ(state.dedMax, 12.0);
  unitsReset();
  EXPECT_EQ(unitsScale(kUnitsOther), 1.0);
}

TEST(SelectMapping, MetresWithTheDataRangeUseTheIdentity) {
  ToolState state = loaded(-12.5, 830.25);
  EXPECT_EQ(state.dedMin, -12.5);
  EXPECT_EQ(state.dedMax, 830.25);
  EXPECT_EQ(state.dedMapFn, &mapIdentity);
  EXPECT_EQ(state.previewMapFn, &mapLinear);
  EXPECT_EQ(valueToPost(&state, 123.9, 1.0), 123);
  EXPECT_EQ(valueToPost(&state, -0.5, 1.0), 0);
}

TEST(SelectMapping, FeetConvertTheRangeAndMapLinearly) {
  ToolState state = loaded(0.0, 1000.0, 2);
  EXPECT_DOUBLE_EQ(state.dataMaxMeters, 1000.0 * static_cast<double>(0.3048f));
  EXPECT_NEAR(state.dedMax, 304.8, 1e-4);
  EXPECT_EQ(state.dedMapFn, &mapLinear);
  EXPECT_EQ(valueToPost(&state, 1000.0, unitsScale(2)), 304);
}

TEST(SelectMapping, InvertMapsBothWaysRound) {
  ToolState state = loaded(0.0, 500.0);
  setDedRange(&state, 0.0, 1000.0);
  EXPECT_EQ(valueToPost(&state, 250.0, 1.0), 500);
  state.invert = 1;
  selectMapping(&state);
  EXPECT_EQ(state.dedMapFn, &mapInverted);
  EXPECT_EQ(state.previewMapFn, &mapInverted);
  EXPECT_EQ(valueToPost(&state, 0.0, 1.0), 1000);
  EXPECT_EQ(valueToPost(&state, 500.0, 1.0), 0);
}

TEST(DedRange, IsClampedAndNeverReversed) {
  ToolState state = loaded(0.0, 100.0);
  setDedRange(&state, -40000.0, state.dedMax);
  EXPECT_EQ(state.dedMin, -32767.0);
  setDedRange(&state, state.dedMin, 40000.0);
  EXPECT_EQ(state.dedMax, 32767.0);
  setDedRange(&state, 500.0, 400.0);  // minimum above maximum: ignored
  EXPECT_EQ(state.dedMin, -32767.0);
  EXPECT_EQ(state.dedMax, 32767.0);
  setDedRange(&state, 50000.0, 60000.0);  // wholly above: flat at the limit
  EXPECT_EQ(state.dedMin, 32767.0);
  EXPECT_EQ(state.dedMax, 32767.0);
  state.dedMin = std::numeric_limits<double>::quiet_NaN();
  clampDedRange(&state);
  EXPECT_EQ(state.dedMin, -32767.0);
}

TEST(DedRange, FractalSourceTakesTheFractalRange) {
  ToolState state = freshState();
  state.sourceKind = SourceKind::Fractal;
  state.fractalMinimum = 1.0;
  state.fractalMaximum = 255.0;
  state.dataMin = 3.0;
  state.dataMax = 250.0;
  updateConvertedRange(&state);
  EXPECT_EQ(state.dedMin, 1.0);
  EXPECT_EQ(state.dedMax, 255.0);
  EXPECT_EQ(state.dataMaxMeters, 250.0);
}

TEST(ValueToPost, UndefinedDataAndOutOfRangeValues) {
  ToolState state = loaded(-10000.0, 1000.0);
  state.hasNullData = 1;
  state.nullValue = -9999;
  state.replaceNullValue = kDedNull;
  EXPECT_EQ(valueToPost(&state, -9999.7, 1.0), -32768);  // truncates to -9999
  EXPECT_EQ(valueToPost(&state, -10000.0, 1.0), -10000);
  state.replaceNullValue = -500;
  EXPECT_EQ(valueToPost(&state, -9999.0, 1.0), -500);
  state.replaceNullValue = 40000;  // a custom value beyond the post range is held at the top
  EXPECT_EQ(valueToPost(&state, -9999.0, 1.0), 32767);

  // The identity with a unit scale leaves the range: posts are clamped, never wrapped.
  EXPECT_EQ(valueToPost(&state, 1000.0, 100.0), 32767);
  EXPECT_EQ(valueToPost(&state, -1000.0, 100.0), -32767);
  EXPECT_EQ(valueToPost(&state, std::numeric_limits<double>::infinity(), 1.0), 32767);
  EXPECT_EQ(valueToPost(&state, std::numeric_limits<double>::quiet_NaN(), 1.0), kDedNull);
  // Truncation toward zero, then the post range.
  const double cases[][2] = {{2.9, 2},           {-2.9, -2},        {-32767.9, -32767},
                             {-32768.5, -32767}, {32767.99, 32767}, {-0.99, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(valueToPost(&state, c[0], 1.0), c[1]) << c[0];
}

TEST(ValueToPost, ConstantDataMapsToTheDedMinimum) {
  ToolState state = loaded(42.0, 42.0, 2);  // feet: the DED range differs from the raw one
  setDedRange(&state, 10.0, 20.0);
  EXPECT_EQ(valueToPost(&state, 42.0, unitsScale(2)), 10);
  state.invert = 1;
  selectMapping(&state);
  EXPECT_EQ(valueToPost(&state, 42.0, unitsScale(2)), 10);
}

TEST(DedRange, ThePreviewIsRebuiltWhenTheOldOrTheNewRangeHoldsZero) {
  testing::HostedState hosted;
  ToolState& state = hosted.state;
  testing::attach(state, testing::memoryRaster({{0, 100}}));
  state.dataMin = 0;
  state.dataMax = 100;
  setDedRange(&state, 10, 100);
  previewBuildSamples(&state);
  previewBuildImage(&state);
  ASSERT_NE(state.previewImage.pixels, nullptr);
  unsigned char* first = state.previewImage.pixels;  // the lowest value, bottom left
  const auto isZeroColor = [&] {
    return first[0] == kZeroElevationColor.r && first[1] == kZeroElevationColor.g &&
           first[2] == kZeroElevationColor.b;
  };
  ASSERT_FALSE(isZeroColor());

  struct Step {
    double minimum;
    bool rebuilt;
    bool zeroColor;
  };
  const Step steps[] = {
      {0, true, true},     // the new range holds 0
      {20, true, false},   // the old one did
      {30, false, false},  // neither: the picture is left as it is
  };
  for (const Step& s : steps) {
    first[0] = 1;  // a mark that only a rebuild overwrites
    setDedRange(&state, s.minimum, 100);
    EXPECT_EQ(first[0] != 1, s.rebuilt) << s.minimum;
    if (s.rebuilt) {
      EXPECT_EQ(isZeroColor(), s.zeroColor) << s.minimum;
    }
  }
}

double halfOfIt(double value, double, double, double, double) {
  return value / 2;
}

TEST(ValuesToPosts, GivesThePostsOfValueToPostForEveryMappingAndUndefinedSetting) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> values = {0.0,     -0.5,     0.49,    123.9,    -123.9,   999.99,
                                      -9999.7, -9999.0,  -10000,  32767.5,  -32767.9, 40000.0,
                                      -1e300,  1e300,    inf,     -inf,     nan,      7.25,
                                      1.0,     -32768.0, 32768.0, 65535.99, 250.0,    500.0};
  const MapFn fns[] = {mapIdentity, mapLinear, mapInverted, halfOfIt};
  for (const MapFn fn : fns) {
    for (int hasNull : {0, 1}) {
      for (double scale : {1.0, 0.3048, 100.0}) {
        ToolState state = loaded(-200.0, 700.0);
        setDedRange(&state, -100.0, 1000.0);
        state.dedMapFn = fn;
        state.hasNullData = hasNull;
        state.nullValue = -9999;
        state.replaceNullValue = -500;
        std::vector<std::int16_t> posts(values.size() + 1, 12345);
        valuesToPosts(&state, values, scale, posts.data());
        for (std::size_t i = 0; i < values.size(); ++i) {
          EXPECT_EQ(posts[i], valueToPost(&state, values[i], scale))
              << values[i] << " scale " << scale << " null " << hasNull;
        }
        EXPECT_EQ(posts.back(), 12345);  // nothing written past the run
      }
    }
  }
}

TEST(ValuesToPosts, ConstantDataGivesTheDedMinimum) {
  ToolState state = loaded(42.0, 42.0, 2);
  setDedRange(&state, 10.0, 20.0);
  for (int invert : {0, 1}) {
    state.invert = invert;
    selectMapping(&state);
    const double values[] = {42.0, 41.0, 43.0};
    std::int16_t posts[3] = {};
    valuesToPosts(&state, values, unitsScale(2), posts);
    for (std::int16_t post : posts)
      EXPECT_EQ(post, 10);
  }
}

}  // namespace
}  // namespace relievo
