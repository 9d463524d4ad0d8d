#include "ded/mapping.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "ded/units.h"
#include "plugin/test_host.h"
#include "plugin/tool_state.h"
#include "preview/preview_image.h"

namespace relievo {
namespace {

// A source whose raw range is [lo, hi] in the given unit, loaded as the loader leaves it.
ToolState loaded(double lo, double hi, int units = kUnitsMeters) {
  ToolState state{};
  state.units = units;
  state.dataMin = lo;
  state.dataMax = hi;
  updateConvertedRange(&state);
  return state;
}

TEST(Units, TableHoldsTheSinglePrecisionScalesAndTheOtherScaleApplies) {
  EXPECT_EQ(unitsTable().size(), 8u);
  EXPECT_STREQ(unitsFind(7)->name, "Nautical Miles");
  EXPECT_EQ(unitsFind(9), nullptr);
  const std::pair<int, float> scales[] = {{2, 0.3048f},    {5, 999.99994f}, {6, 1610.3059f},
                                          {7, 1853.2449f}, {0, 1.0f},       {9, 1.0f}};
  for (auto [id, scale] : scales)
    EXPECT_EQ(unitsScale(id), double{scale}) << id;

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

TEST(SelectMapping, TheIdentityServesOnlyTheDedAndOnlyWithoutInvert) {
  ToolState state = loaded(0.0, 500.0);  // metres: the DED range is the data range
  EXPECT_EQ(state.dedMapFn, &mapIdentity);
  EXPECT_EQ(state.previewMapFn, &mapLinear);
  EXPECT_EQ(valueToPost(&state, 123.9, 1.0), 123);
  EXPECT_EQ(valueToPost(&state, -0.5, 1.0), 0);

  setDedRange(&state, 0.0, 1000.0);
  EXPECT_EQ(state.dedMapFn, &mapLinear);
  EXPECT_EQ(valueToPost(&state, 250.0, 1.0), 500);
  state.invert = 1;
  selectMapping(&state);
  EXPECT_EQ(state.dedMapFn, &mapInverted);
  EXPECT_EQ(state.previewMapFn, &mapInverted);
  EXPECT_EQ(valueToPost(&state, 0.0, 1.0), 1000);
  EXPECT_EQ(valueToPost(&state, 500.0, 1.0), 0);
}

// Entries beyond the limits and a minimum above the maximum are covered through the fields.
TEST(DedRange, ARangeWhollyBeyondTheLimitsIsHeldFlatAndNoNumberIsClamped) {
  ToolState state = loaded(0.0, 100.0);
  setDedRange(&state, 50000.0, 60000.0);
  EXPECT_EQ(state.dedMin, 32767.0);
  EXPECT_EQ(state.dedMax, 32767.0);
  state.dedMin = state.dedMax = std::numeric_limits<double>::quiet_NaN();
  clampDedRange(&state);
  EXPECT_EQ(std::tie(state.dedMin, state.dedMax), std::make_tuple(-32767.0, 32767.0));
}

TEST(DedRange, FractalSourceTakesTheFractalRange) {
  ToolState state{};
  std::tie(state.units, state.sourceKind, state.fractalMinimum, state.fractalMaximum,
           state.dataMax) = std::make_tuple(kUnitsMeters, SourceKind::Fractal, 1.0, 255.0, 250.0);
  updateConvertedRange(&state);
  EXPECT_EQ(std::tie(state.dedMin, state.dedMax, state.dataMaxMeters),
            std::make_tuple(1.0, 255.0, 250.0));
}

TEST(ValueToPost, UndefinedDataTruncationAndThePostRange) {
  ToolState state = loaded(-10000.0, 1000.0);
  state.hasNullData = 1;
  state.nullValue = -9999;
  state.replaceNullValue = kDedNull;
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // {value, unit scale, post}: -9999.7 truncates to the undefined -9999; the identity with a
  // unit scale leaves the range, and posts are clamped, never wrapped; no number is DED NULL.
  const double cases[][3] = {{-9999.7, 1, kDedNull}, {-10000, 1, -10000},   {1000, 100, 32767},
                             {-1000, 100, -32767},   {inf, 1, 32767},       {-inf, 1, -32767},
                             {nan, 1, kDedNull},     {2.9, 1, 2},           {-2.9, 1, -2},
                             {-32767.9, 1, -32767},  {-32768.5, 1, -32767}, {32767.99, 1, 32767},
                             {-0.99, 1, 0}};
  for (const auto& [value, scale, post] : cases)
    EXPECT_EQ(valueToPost(&state, value, scale), post) << value << " x " << scale;
}

TEST(ValuesToPosts, ConstantDataMapsToTheDedMinimumEitherWay) {
  ToolState state = loaded(42.0, 42.0, 2);  // feet: the DED range differs from the raw one
  setDedRange(&state, 10.0, 20.0);
  for (int invert : {0, 1}) {
    state.invert = invert;
    selectMapping(&state);
    const double values[] = {42.0, 41.0, 43.0};
    std::int16_t posts[3] = {};
    valuesToPosts(&state, values, unitsScale(2), posts);
    EXPECT_THAT(posts, ::testing::Each(10)) << invert;
  }
}

TEST(DedRange, ThePreviewIsRebuiltWhenTheOldOrTheNewRangeHoldsZero) {
  testing::HostedState hosted;
  ToolState& state = hosted.state;
  testing::attach(state, testing::memoryRaster({{0, 100}}));
  state.dataMax = 100;
  setDedRange(&state, 10, 100);
  previewBuildSamples(&state);
  previewBuildImage(&state);
  ASSERT_NE(state.previewImage.pixels, nullptr);
  // The red of the lowest value's pixel after a new minimum: 15 in the zero colour when the
  // new range holds 0, 0 on the ramp when only the old one did, and the mark 1 when neither
  // did and the picture was left as it was.
  const std::pair<double, int> steps[] = {{0, kZeroElevationColor.r}, {20, 0}, {30, 1}};
  for (auto [minimum, red] : steps) {
    state.previewImage.pixels[0] = 1;
    setDedRange(&state, minimum, 100);
    EXPECT_EQ(state.previewImage.pixels[0], red) << minimum;
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
      for (double dataMax : {700.0, -200.0}) {  // the second: constant data
        for (double scale : {1.0, 0.3048, 100.0}) {
          ToolState state = loaded(-200.0, dataMax);
          setDedRange(&state, -100.0, 1000.0);
          state.dedMapFn = fn;
          state.hasNullData = hasNull;
          state.nullValue = -9999;
          state.replaceNullValue = -500;
          std::vector<std::int16_t> posts(values.size() + 1, 12345);
          valuesToPosts(&state, values, scale, posts.data());
          for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(posts[i], valueToPost(&state, values[i], scale))
                << values[i] << " scale " << scale << " null " << hasNull << " max " << dataMax;
          }
          EXPECT_EQ(posts.back(), 12345);  // nothing written past the run
        }
      }
    }
  }
}

}  // namespace
}  // namespace relievo
