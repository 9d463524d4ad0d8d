#include "ded/mapping.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "ded/units.h"

namespace relievo {
namespace {

// A source whose raw range is [lo, hi] in the given unit, loaded as the loader leaves it.
ElevationRanges loaded(double lo, double hi, int units = kUnitsMeters) {
  ElevationRanges ranges{};
  ranges.units = units;
  ranges.otherUnitsScale = kDefaultOtherUnitsScale;
  ranges.data = {lo, hi, 0};
  updateConvertedRange(ranges, SourceKind::Binary, FractalParams{});
  return ranges;
}

std::int16_t post(const ElevationRanges& ranges, double value, double scale = 1.0) {
  return valueToPost(ranges, UndefinedData{}, value, scale);
}

TEST(Units, TableHoldsTheSinglePrecisionScalesAndTheOtherScaleApplies) {
  EXPECT_EQ(unitsTable().size(), 8u);
  EXPECT_STREQ(unitsFind(7)->name, "Nautical Miles");
  EXPECT_EQ(unitsFind(9), nullptr);
  const std::pair<int, float> scales[] = {{2, 0.3048f},       {5, 999.99994f}, {6, 1610.3059f},
                                          {7, 1853.2449f},    {0, 1.0f},       {9, 1.0f},
                                          {kUnitsOther, 1.0f}};
  for (auto [id, scale] : scales)
    EXPECT_EQ(unitsScale(loaded(0.0, 1.0, id)), double{scale}) << id;

  ElevationRanges ranges = loaded(0.0, 10.0, kUnitsOther);
  EXPECT_TRUE(setOtherUnitsScale(ranges, 3.0f));
  EXPECT_FALSE(setOtherUnitsScale(ranges, 3.0f));
  updateConvertedRange(ranges, SourceKind::Binary, FractalParams{});
  EXPECT_EQ(ranges.dataMaxMeters, 30.0);
  EXPECT_EQ(ranges.dedMax, 30.0);
}

TEST(SelectMapping, TheIdentityServesOnlyTheDedAndOnlyWithoutInvert) {
  ElevationRanges ranges = loaded(0.0, 500.0);  // metres: the DED range is the data range
  EXPECT_EQ(ranges.dedMapFn, &mapIdentity);
  EXPECT_EQ(ranges.previewMapFn, &mapLinear);
  EXPECT_EQ(post(ranges, 123.9), 123);
  EXPECT_EQ(post(ranges, -0.5), 0);

  setDedRange(ranges, 0.0, 1000.0);
  EXPECT_EQ(ranges.dedMapFn, &mapLinear);
  EXPECT_EQ(post(ranges, 250.0), 500);
  ranges.invert = 1;
  selectMapping(ranges);
  EXPECT_EQ(ranges.dedMapFn, &mapInverted);
  EXPECT_EQ(ranges.previewMapFn, &mapInverted);
  EXPECT_EQ(post(ranges, 0.0), 1000);
  EXPECT_EQ(post(ranges, 500.0), 0);
}

// Entries beyond the limits and a minimum above the maximum are covered through the fields.
TEST(DedRange, ARangeWhollyBeyondTheLimitsIsHeldFlatAndNoNumberIsClamped) {
  ElevationRanges ranges = loaded(0.0, 100.0);
  setDedRange(ranges, 50000.0, 60000.0);
  EXPECT_EQ(ranges.dedMin, 32767.0);
  EXPECT_EQ(ranges.dedMax, 32767.0);
  ranges.dedMin = ranges.dedMax = std::numeric_limits<double>::quiet_NaN();
  clampDedRange(ranges);
  EXPECT_EQ(std::tie(ranges.dedMin, ranges.dedMax), std::make_tuple(-32767.0, 32767.0));
}

TEST(DedRange, FractalSourceTakesTheFractalRange) {
  ElevationRanges ranges = loaded(0.0, 250.0);
  FractalParams fractal{};
  fractal.fractalMinimum = 1.0;
  fractal.fractalMaximum = 255.0;
  updateConvertedRange(ranges, SourceKind::Fractal, fractal);
  EXPECT_EQ(std::tie(ranges.dedMin, ranges.dedMax, ranges.dataMaxMeters),
            std::make_tuple(1.0, 255.0, 250.0));
}

// Zero elevation has a colour of its own: the picture is built again when the old or the new
// DED range holds 0. A minimum above the maximum changes nothing.
TEST(DedRange, ANewRangeTellsWhenThePictureMustBeBuiltAgain) {
  ElevationRanges ranges = loaded(10.0, 100.0);
  // {minimum, maximum, rebuild}
  const std::tuple<double, double, bool> steps[] = {{0, 100, true},   {20, 100, true},
                                                    {30, 100, false}, {-5, -1, false},
                                                    {50, 40, false},  {-5, 5, true}};
  for (const auto& [minimum, maximum, rebuild] : steps)
    EXPECT_EQ(setDedRange(ranges, minimum, maximum), rebuild) << minimum;
  EXPECT_EQ(std::tie(ranges.dedMin, ranges.dedMax), std::make_tuple(-5.0, 5.0));
}

TEST(ReplaceValueRule, TakesValuesAboveDedNullUnlessDedNullIsChosen) {
  // {replaceNullKind, value before, v, value after, changed}
  const int cases[][5] = {
      {1, 7, 9, -32768, 1}, {1, -32768, 9, -32768, 0}, {2, 7, 9, 9, 1},        {2, 7, 7, 7, 0},
      {2, 7, -32768, 7, 0}, {2, 7, -32767, -32767, 1}, {2, 7, INT32_MIN, 7, 0}};
  for (const auto& [kind, before, v, after, changed] : cases) {
    ElevationRanges ranges{};
    ranges.replaceNullKind = static_cast<ReplaceNullKind>(kind);
    ranges.replaceNullValue = before;
    EXPECT_EQ(replaceValueRule(ranges, v), changed == 1) << before << " " << v;
    EXPECT_EQ(ranges.replaceNullValue, after) << before << " " << v;
  }
}

TEST(ValueToPost, UndefinedDataTruncationAndThePostRange) {
  ElevationRanges ranges = loaded(-10000.0, 1000.0);
  const UndefinedData undefined{1, -9999};
  ranges.replaceNullValue = kDedNull;
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // {value, unit scale, post}: -9999.7 truncates to the undefined -9999; the identity with a
  // unit scale leaves the range, and posts are clamped, never wrapped; no number is DED NULL.
  const double cases[][3] = {{-9999.7, 1, kDedNull}, {-10000, 1, -10000},   {1000, 100, 32767},
                             {-1000, 100, -32767},   {inf, 1, 32767},       {-inf, 1, -32767},
                             {nan, 1, kDedNull},     {2.9, 1, 2},           {-2.9, 1, -2},
                             {-32767.9, 1, -32767},  {-32768.5, 1, -32767}, {32767.99, 1, 32767}};
  for (const auto& [value, scale, post] : cases)
    EXPECT_EQ(valueToPost(ranges, undefined, value, scale), post) << value << " x " << scale;
}

TEST(ValueToPost, RoundingTakesTheNearestMetreWhereTruncationCutsTowardZero) {
  ElevationRanges ranges = loaded(-1000.0, 1000.0);  // the identity
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // {value, truncated, rounded}: halves go away from zero; clamping comes first; NaN is DED NULL.
  const double cases[][3] = {
      {2.5, 2, 3},       {-2.5, -2, -3},          {2.49, 2, 2},           {-0.5, 0, -1},
      {304.8, 304, 305}, {32767.6, 32767, 32767}, {-4e4, -32767, -32767}, {nan, -32768, -32768}};
  for (const auto& [value, truncated, rounded] : cases) {
    for (const int round : {0, 1}) {
      ranges.roundPosts = round;
      const double post = round != 0 ? rounded : truncated;
      EXPECT_EQ(valueToPost(ranges, UndefinedData{}, value, 1.0), post) << value << " " << round;
      EXPECT_EQ(dedRangePost(ranges, value), post) << value << " " << round;
    }
  }
}

TEST(ValuesToPosts, ConstantDataMapsToTheDedMinimumEitherWay) {
  ElevationRanges ranges = loaded(42.0, 42.0, 2);  // feet: the DED range differs from the raw one
  setDedRange(ranges, 10.0, 20.0);
  for (int invert : {0, 1}) {
    ranges.invert = invert;
    selectMapping(ranges);
    const double values[] = {42.0, 41.0, 43.0};
    std::int16_t posts[3] = {};
    valuesToPosts(ranges, UndefinedData{}, values, unitsScale(ranges), posts);
    EXPECT_THAT(posts, ::testing::Each(10)) << invert;
  }
}

// The batch gives the posts one value at a time would: undefined values, clamping, the unit
// scale, and rounding under the linear mapping, worked out for -200 ... 700 onto -100 ... 1000.
TEST(ValuesToPosts, UndefinedValuesScaleMappingAndRounding) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double values[] = {-200.0, 700.0, 250.0, 0.0, -9999.7, 1e300, nan};
  // {mapping, rounding, unit scale, posts}
  const std::tuple<MapFn, int, double, std::vector<std::int16_t>> cases[] = {
      {mapIdentity, 0, 1.0, {-200, 700, 250, 0, -500, 32767, kDedNull}},
      {mapIdentity, 0, 100.0, {-20000, 32767, 25000, 0, -500, 32767, kDedNull}},
      // (v + 200) / 900 x 1100 - 100: 0 gives 144.44, 250 gives 450; 1e300 is held at the post
      // range, not the DED range.
      {mapLinear, 1, 1.0, {-100, 1000, 450, 144, -500, 32767, kDedNull}},
      {mapInverted, 0, 1.0, {1000, -100, 450, 755, -500, -32767, kDedNull}}};
  for (const auto& [fn, round, scale, expected] : cases) {
    ElevationRanges ranges = loaded(-200.0, 700.0);
    setDedRange(ranges, -100.0, 1000.0);
    ranges.roundPosts = round;
    ranges.dedMapFn = fn;
    ranges.replaceNullValue = -500;
    std::vector<std::int16_t> posts(std::size(values) + 1, 12345);
    valuesToPosts(ranges, UndefinedData{1, -9999}, values, scale, posts.data());
    posts.pop_back();  // nothing written past the run
    EXPECT_EQ(posts, expected) << scale;
  }
}

}  // namespace
}  // namespace relievo
