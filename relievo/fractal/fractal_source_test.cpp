#include "fractal/fractal_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "fractal/fractal_random.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

class FractalSource : public testing::Test {
 protected:
  void TearDown() override { fractalFreeCache(); }

  // Builds values and returns whether a new field was generated on the way.
  bool buildGenerates(std::uint32_t size, std::uint32_t seed, float noise, float level,
                      int water, FractalValues* out) {
    const std::uint32_t before = fractalRandomState();
    fractalSeedRandom(before ^ 0x5A5A5A5Au);
    const std::uint32_t marker = fractalRandomState();
    int count = 0;
    EXPECT_TRUE(fractalBuildValues(size, seed, 0.0001f, 0.0001f, level, noise, water, nullptr,
                                   nullptr, &count, out));
    EXPECT_EQ(count, static_cast<int>(size * size));
    return fractalRandomState() != marker;
  }
};

TEST(RoundFractalSize, KeepsPowersOfTwoAndRoundsTheRestDown) {
  const int cases[][2] = {{-3, 4},   {0, 4},       {1, 1},       {2, 2},      {3, 2},
                          {300, 256}, {1000, 512}, {3000, 2048}, {4096, 4096}, {5000, 4096},
                          {1 << 30, 4096}};
  for (const auto& c : cases) EXPECT_EQ(roundFractalSize(c[0]), c[1]) << c[0];
}

TEST(FractalShape, ValleysPlateausAndWater) {
  // valleys = plateaus = 0.0001: A = B = 0.5.
  EXPECT_EQ(fractalShape(0.3, 0.5, 0.0001, 0.0001, 0.0, 0), 0.3);
  EXPECT_EQ(fractalShape(-0.1, 0.5, 0.0001, 0.0001, 0.0, 0), 0.0);   // more than A below
  EXPECT_EQ(fractalShape(0.0, 0.5, 0.0001, 0.0001, 0.0, 0), 0.0);    // just past 0.5 - 0.5
  EXPECT_EQ(fractalShape(1.01, 0.5, 0.0001, 0.0001, 0.0, 0), 1.0);  // more than B above
  // valleys = 0.5: everything more than 0.0001 below the mean sinks.
  EXPECT_EQ(fractalShape(0.49, 0.5, 0.5, 0.0001, 0.0, 0), 0.0);
  // Water runs last: a valley floor under the level becomes water.
  EXPECT_EQ(fractalShape(0.49, 0.5, 0.5, 0.0001, 0.2, 1), 0.2);
  EXPECT_EQ(fractalShape(0.3, 0.5, 0.0001, 0.0001, 0.2, 0), 0.3);
}

TEST_F(FractalSource, ValuesLieInTheByteRangeAndWaterFlattensTheLowGround) {
  FractalValues dry{};
  buildGenerates(64, 7, 0.3f, 0.0f, 0, &dry);
  FractalValues wet{};
  EXPECT_FALSE(buildGenerates(64, 7, 0.3f, 0.4f, 1, &wet));  // same field, reshaped only
  for (int i = 0; i < 64 * 64; ++i) {
    ASSERT_GE(dry.values[i], 0.0f);
    ASSERT_LE(dry.values[i], 255.0f);
    ASSERT_GE(wet.values[i], wet.minimum);
    ASSERT_EQ(wet.values[i], std::max(dry.values[i], wet.minimum)) << i;
  }
  EXPECT_GT(wet.minimum, dry.minimum);
  sxFree(dry.values);
  sxFree(wet.values);
}

TEST_F(FractalSource, WaterAtFullLevelCoversEverything) {
  FractalValues all{};
  buildGenerates(32, 3, 0.5f, 1.0f, 1, &all);
  for (int i = 0; i < 32 * 32; ++i) ASSERT_EQ(all.values[i], 255.0f);
  sxFree(all.values);
}

TEST_F(FractalSource, CacheGeneratesOnlyForANewKey) {
  FractalValues v{};
  EXPECT_TRUE(buildGenerates(32, 1, 0.0f, 0.0f, 0, &v));
  sxFree(v.values);
  EXPECT_FALSE(buildGenerates(32, 1, 0.0f, 0.5f, 1, &v));  // water only
  sxFree(v.values);
  EXPECT_TRUE(buildGenerates(32, 2, 0.0f, 0.0f, 0, &v));  // seed
  sxFree(v.values);
  EXPECT_TRUE(buildGenerates(32, 2, 0.25f, 0.0f, 0, &v));  // noise
  sxFree(v.values);
  EXPECT_TRUE(buildGenerates(16, 2, 0.25f, 0.0f, 0, &v));  // size replaces the map
  sxFree(v.values);
  EXPECT_EQ(fractalCachedMap(16, 2, 0.25f)->size, 16u);
}

TEST_F(FractalSource, SameKeyGivesTheSameValuesAfterTheCacheIsFreed) {
  FractalValues first{};
  buildGenerates(64, 11, 0.2f, 0.1f, 1, &first);
  fractalFreeCache();
  FractalValues second{};
  EXPECT_TRUE(buildGenerates(64, 11, 0.2f, 0.1f, 1, &second));
  EXPECT_EQ(std::memcmp(first.values, second.values, 64 * 64 * sizeof(float)), 0);
  sxFree(first.values);
  sxFree(second.values);
}

TEST_F(FractalSource, RecordHoldsTheValuesAndTheirRange) {
  int count = 0;
  RasterRec* raster =
      rasterOpenFractal(16, 5, 0.0001f, 0.0001f, 0.0f, 0.0f, 0, nullptr, nullptr, &count);
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(count, 256);
  EXPECT_EQ(raster->width, 16);
  EXPECT_EQ(raster->height, 16);
  EXPECT_EQ(raster->fileSize, 256);
  EXPECT_EQ(raster->sourceKind, SourceKind::Fractal);
  EXPECT_STREQ(raster->path, "");
  double lo = 0.0;
  double hi = 0.0;
  ASSERT_EQ(rasterGetMinMax(raster, &lo, &hi), 1);
  float seenLo = 1e9f;
  float seenHi = -1e9f;
  for (int i = 0; i < 256; ++i) {
    seenLo = std::min(seenLo, raster->values[i]);
    seenHi = std::max(seenHi, raster->values[i]);
  }
  EXPECT_EQ(lo, seenLo);
  EXPECT_EQ(hi, seenHi);
  rasterFree(raster);
}

TEST_F(FractalSource, RefusedSizes) {
  struct Case {
    std::uint32_t size;
    int count;
  };
  const Case cases[] = {{0, -1}, {1, 1}, {3, 9}, {8192, 8192 * 8192}};
  for (const Case& c : cases) {
    int count = -1;
    EXPECT_EQ(rasterOpenFractal(c.size, 1, 0.0f, 0.0f, 0.0f, 0.0f, 0, nullptr, nullptr, &count),
              nullptr)
        << c.size;
    EXPECT_EQ(count, c.count) << c.size;
  }
  EXPECT_EQ(rasterOpenFractal(4, 1, 0.0f, 0.0f, 0.0f, 0.0f, 0, nullptr, nullptr, nullptr),
            nullptr);
}

TEST_F(FractalSource, RefusedMemoryGivesNoRecord) {
  for (std::uint64_t n = 1; n <= 4; ++n) {
    fractalFreeCache();
    auto refuse = sxhost::AllocationFailure::nth(n);
    int count = 0;
    RasterRec* raster =
        rasterOpenFractal(8, 1, 0.0f, 0.0f, 0.0f, 0.0f, 0, nullptr, nullptr, &count);
    EXPECT_EQ(raster, nullptr) << "allocation " << n;
  }
}

TEST_F(FractalSource, ProgressIsCalledOncePerRowOfBothPasses) {
  int calls = 0;
  int count = 0;
  auto progress = [](int, int, void* context) {
    ++*static_cast<int*>(context);
    return 1;
  };
  RasterRec* raster =
      rasterOpenFractal(16, 1, 0.0f, 0.0f, 0.0f, 0.0f, 0, progress, &calls, &count);
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(calls, 2 * 16 + 1);
  rasterFree(raster);
}

}  // namespace
}  // namespace relievo
