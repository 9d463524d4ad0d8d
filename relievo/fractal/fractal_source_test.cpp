#include "fractal/fractal_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <tuple>

#include "fractal/fractal_random.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

class FractalSource : public testing::Test {
 protected:
  void TearDown() override { fractalFreeCache(&cache); }

  // Builds the values of a size x size map and says whether a new field was generated on the
  // way: a generation leaves the generator where size * size - 1 draws from the seed end,
  // and the generator is put anywhere else before the build.
  bool buildGenerates(std::uint32_t size, std::uint32_t seed, float noise, float level = 0.0f,
                      int water = 0) {
    FractalRng expected(seed);
    for (std::uint32_t i = 1; i < size * size; ++i)
      expected.draw();
    fractalSeedRandom(expected.state() ^ 1u);
    int count = 0;
    FractalValues out{};
    EXPECT_TRUE(fractalBuildValues(&cache, size, seed, 0.0001f, 0.0001f, level, noise, water,
                                   nullptr, nullptr, &count, &out));
    EXPECT_EQ(count, static_cast<int>(size * size));
    sxFree(out.values);
    return fractalRandomState() == expected.state();
  }

  // A record of the map with every shaping setting at 0.
  RasterRec* openPlain(std::uint32_t size, std::uint32_t seed, int* count) {
    return rasterOpenFractal(&cache, size, seed, 0.0f, 0.0f, 0.0f, 0.0f, 0, nullptr, nullptr,
                             count);
  }

  FractalCache* cache = nullptr;
};

TEST(RoundFractalSize, KeepsPowersOfTwoAndRoundsTheRestDown) {
  const int cases[][2] = {{-3, 4},      {0, 4},       {1, 1},         {2, 2},
                          {3, 2},       {300, 256},   {1000, 512},    {3000, 2048},
                          {4096, 4096}, {5000, 4096}, {1 << 30, 4096}};
  for (const auto& c : cases)
    EXPECT_EQ(roundFractalSize(c[0]), c[1]) << c[0];
}

TEST(FractalShape, ValleysPlateausAndWater) {
  // valleys = plateaus = 0.0001: A = B = 0.5.
  EXPECT_EQ(fractalShape(0.0, 0.5, 0.0001, 0.0001, 0.0, 0), 0.0);        // just past 0.5 - 0.5
  EXPECT_EQ(fractalShape(0.0001, 0.5, 0.0001, 0.0001, 0.0, 0), 0.0001);  // within the band
  EXPECT_EQ(fractalShape(1.01, 0.5, 0.0001, 0.0001, 0.0, 0), 1.0);       // more than B above
  // valleys = 0.5: everything more than 0.0001 below the mean sinks.
  EXPECT_EQ(fractalShape(0.49, 0.5, 0.5, 0.0001, 0.0, 0), 0.0);
  // The bands are open: a sample exactly at their edge keeps its value.
  const double low = 0.5 - (0.5 - 0.25 + 0.0001), high = 0.5 + (0.5 - 0.25 + 0.0001);
  EXPECT_EQ(fractalShape(low, 0.5, 0.25, 0.25, 0.0, 0), low);
  EXPECT_EQ(fractalShape(high, 0.5, 0.25, 0.25, 0.0, 0), high);
  // Water runs last: a valley floor under the level becomes water.
  EXPECT_EQ(fractalShape(0.49, 0.5, 0.5, 0.0001, 0.2, 1), 0.2);
}

// The size-2 field of seed 1 at noise 0 (roughness 1), normalised: the corners 0.9581212,
// S(0,1) 0, S(1,0) 0.4012808, S(1,1) 1. The mean takes all nine samples over four:
// (4 x 0.9581212 + 2 x 0.4012808 + 1) / 4 = 1.4087616; the level lies between 0 and 1.
TEST_F(FractalSource, ValuesOfASizeTwoFieldWorkedOutByHand) {
  // {valleys, level, water, S(0,0), S(0,1), S(1,0), S(1,1) x 255}
  const std::tuple<float, float, int, std::array<float, 4>> cases[] = {
      // Below mean - 0.5 = 0.9087616 sinks to 0: only the corner and S(1,1) stay.
      {0.0001f, 0.0f, 0, {244.32091f, 0, 0, 255}},
      {0.0001f, 0.5f, 1, {244.32091f, 127.5f, 127.5f, 255}},  // the floor under water
      {0.3f, 0.0f, 0, {0, 0, 0, 0}},                          // below 1.2086616: all
      {0.5f, 0.25f, 1, {63.75f, 63.75f, 63.75f, 63.75f}}};
  for (const auto& [valleys, level, water, values] : cases) {
    int count = 0;
    FractalValues out{};
    ASSERT_TRUE(fractalBuildValues(&cache, 2, 1, valleys, 0.0001f, level, 0.0f, water, nullptr,
                                   nullptr, &count, &out));
    for (int i = 0; i < 4; ++i)
      EXPECT_NEAR(out.values[i], values[i], 1e-3) << valleys << " " << level << " " << i;
    EXPECT_EQ(out.minimum, *std::min_element(out.values, out.values + 4));
    EXPECT_EQ(out.maximum, *std::max_element(out.values, out.values + 4));
    sxFree(out.values);
  }
}

// The cache generates only for a new size, seed or noise (compared as a float); water and the
// other shaping settings reuse the field, also when a drag-sized map came between.
TEST_F(FractalSource, TheCacheGeneratesOnlyForANewKey) {
  const float justAbove = std::nextafter(0.1f, 1.0f);
  // {size, seed, noise, level, water, generates}
  const std::tuple<std::uint32_t, std::uint32_t, float, float, int, bool> steps[] = {
      {32, 1, 0.0f, 0.0f, 0, true},      {32, 1, 0.0f, 0.5f, 1, false},
      {32, 2, 0.0f, 0.0f, 0, true},      {32, 2, 0.1f, 0.0f, 0, true},
      {16, 2, 0.1f, 0.0f, 0, true},      {16, 2, float(0.1), 0.3f, 1, false},
      {16, 2, justAbove, 0.0f, 0, true}, {128, 6, 0.3f, 0.0f, 0, true},
      {256, 6, 0.3f, 0.0f, 0, true},     {256, 6, 0.3f, 0.2f, 1, false},
      {128, 6, 0.3f, 0.0f, 0, true}};
  for (const auto& [size, seed, noise, level, water, generates] : steps)
    EXPECT_EQ(buildGenerates(size, seed, noise, level, water), generates)
        << size << " " << seed << " " << noise;
}

TEST_F(FractalSource, AFreedCacheOrAFailureRegeneratesOnlyWhatItMust) {
  EXPECT_TRUE(buildGenerates(64, 11, 0.2f));
  fractalFreeCache(&cache);
  EXPECT_TRUE(buildGenerates(64, 11, 0.2f));  // a new cache

  int count = 0;
  // A new key whose values block is refused: the field was generated, so the key is kept.
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(openPlain(64, 2, &count), nullptr);
  }
  EXPECT_EQ(count, 64 * 64);
  EXPECT_FALSE(buildGenerates(64, 2, 0.0f));
  // A new size whose map is refused leaves no field, and the next request generates.
  {
    auto refuse = sxhost::AllocationFailure::above(16 * 16 * sizeof(float));
    EXPECT_EQ(openPlain(16, 2, &count), nullptr);
  }
  EXPECT_EQ(count, 16 * 16);
  EXPECT_TRUE(buildGenerates(16, 2, 0.0f));
}

// The record holds the built values and their range, from the field generated with the
// roughness 1 - noise. Both passes call the progress once per row, 2 n + 1 calls in all; a 0
// from it ends a pass after that row, and the rows the shaping pass did not reach are 0 even
// when the statistics pass went through them.
TEST_F(FractalSource, RecordHoldsTheValuesAndTheirRangeAndProgressRunsPerRow) {
  std::pair<int, int> calls{0, 1000};  // calls so far, the call from which on to stop
  int count = 0;
  auto progress = [](int, int, void* context) {
    auto& [made, stopAt] = *static_cast<std::pair<int, int>*>(context);
    return ++made >= stopAt ? 0 : 1;
  };
  FractalValues built{};
  ASSERT_TRUE(fractalBuildValues(&cache, 16, 5, 0.2f, 0.3f, 0.4f, 0.25f, 1, nullptr, nullptr,
                                 &count, &built));
  RasterRec* raster =
      rasterOpenFractal(&cache, 16, 5, 0.2f, 0.3f, 0.4f, 0.25f, 1, progress, &calls, &count);
  ASSERT_TRUE(rasterIsValid(raster));
  EXPECT_EQ(calls.first, 2 * 16 + 1);
  EXPECT_EQ(std::make_tuple(raster->width, raster->height, raster->fileSize, raster->sourceKind,
                            std::string(raster->path),
                            raster->headerOffset + raster->dataStride + raster->imageType),
            std::make_tuple(16, 16, 256, SourceKind::Fractal, "", 0));
  ASSERT_NE(raster->values, nullptr);
  EXPECT_TRUE(std::equal(built.values, built.values + 256, raster->values));
  double lo = 0.0, hi = 0.0;
  ASSERT_EQ(rasterGetMinMax(raster, &lo, &hi), 1);
  EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(double{built.minimum}, double{built.maximum}));
  rasterFree(raster);
  sxFree(built.values);
  FractalMap* direct = fractalMapCreate(16);
  fractalMapGenerate(direct, 5, 0.75f, 0.0f);
  EXPECT_TRUE(std::equal(direct->samples, direct->samples + 17 * 17,
                         fractalCachedMap(&cache, 16, 5, 0.25f)->samples));
  fractalMapFree(direct);

  for (int stopAt : {1, 8 + 2}) {  // in the statistics pass, in the shaping pass
    calls = {0, stopAt};
    ASSERT_TRUE(fractalBuildValues(&cache, 8, 3, 0.0001f, 0.0001f, 0.0f, 0.2f, 0, progress, &calls,
                                   &count, &built));
    EXPECT_TRUE(std::any_of(built.values, built.values + 8, [](float v) { return v != 0.0f; }));
    EXPECT_TRUE(std::all_of(built.values + 8, built.values + 64, [](float v) { return v == 0.0f; }))
        << stopAt;
    sxFree(built.values);
  }
}

TEST_F(FractalSource, RefusedSizesAndMemoryGiveNoRecord) {
  for (const auto& [size, want] : {std::pair{0u, -1}, {1u, 1}, {3u, 9}, {8192u, 8192 * 8192}}) {
    int count = -1;
    EXPECT_EQ(openPlain(size, 1, &count), nullptr) << size;
    EXPECT_EQ(count, want) << size;
  }
  EXPECT_EQ(openPlain(4, 1, nullptr), nullptr);
  const std::int64_t live = sxhost::liveAllocations();
  for (std::uint64_t n = 1; n <= 5; ++n) {  // cache, map, samples, values, record
    fractalFreeCache(&cache);
    auto refuse = sxhost::AllocationFailure::nth(n);
    int count = 0;
    EXPECT_EQ(openPlain(8, 1, &count), nullptr) << "allocation " << n;
  }
  fractalFreeCache(&cache);
  EXPECT_EQ(sxhost::liveAllocations(), live);
}

}  // namespace
}  // namespace relievo
