#include "fractal/fractal_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "fractal/fractal_random.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

class FractalSource : public testing::Test {
 protected:
  void TearDown() override { fractalFreeCache(); }

  // Builds values and returns whether a new field was generated on the way: a generation
  // leaves the generator where size * size - 1 draws from the seed end, and the generator is
  // put anywhere else before the build.
  bool buildGenerates(std::uint32_t size, std::uint32_t seed, float noise, float level, int water,
                      FractalValues* out) {
    FractalRng expected(seed);
    for (std::uint32_t i = 1; i < size * size; ++i)
      expected.draw();
    fractalSeedRandom(expected.state() ^ 1u);
    int count = 0;
    EXPECT_TRUE(fractalBuildValues(size, seed, 0.0001f, 0.0001f, level, noise, water, nullptr,
                                   nullptr, &count, out));
    EXPECT_EQ(count, static_cast<int>(size * size));
    return fractalRandomState() == expected.state();
  }
};

// The shaping of one normalised sample, worked out from the settings as the source documents
// it, in double precision.
double shapedByHand(float v, double mean, float valleys, float plateaus, double level, int water) {
  const double a = 0.5 - static_cast<double>(valleys) + 0.0001;
  const double b = 0.5 - static_cast<double>(plateaus) + 0.0001;
  double t = v;
  if (v < mean - a) {
    t = 0.0;
  } else if (v > mean + b) {
    t = 1.0;
  }
  if (water != 0 && t < level) t = level;
  return t;
}

// Statistics of the cached field's normalised samples, the repeated row and column included.
struct FieldStats {
  float smallest = 10000.0f;
  float largest = -10000.0f;
  double mean = 0.0;
};

FieldStats statsOf(const FractalMap* map) {
  FieldStats stats;
  const std::uint32_t n = map->size;
  double sum = 0.0;
  for (std::uint32_t y = 0; y <= n; ++y) {
    for (std::uint32_t x = 0; x <= n; ++x) {
      const auto v = static_cast<float>(fractalMapNormalized(map, y, x));
      stats.smallest = std::min(stats.smallest, v);
      stats.largest = std::max(stats.largest, v);
      sum += v;
    }
  }
  stats.mean = sum / (static_cast<double>(n) * n);
  return stats;
}

TEST(RoundFractalSize, KeepsPowersOfTwoAndRoundsTheRestDown) {
  const int cases[][2] = {{-3, 4},      {0, 4},       {1, 1},         {2, 2},
                          {3, 2},       {300, 256},   {1000, 512},    {3000, 2048},
                          {4096, 4096}, {5000, 4096}, {1 << 30, 4096}};
  for (const auto& c : cases)
    EXPECT_EQ(roundFractalSize(c[0]), c[1]) << c[0];
}

TEST(FractalShape, ValleysPlateausAndWater) {
  // valleys = plateaus = 0.0001: A = B = 0.5.
  EXPECT_EQ(fractalShape(0.3, 0.5, 0.0001, 0.0001, 0.0, 0), 0.3);
  EXPECT_EQ(fractalShape(-0.1, 0.5, 0.0001, 0.0001, 0.0, 0), 0.0);  // more than A below
  EXPECT_EQ(fractalShape(0.0, 0.5, 0.0001, 0.0001, 0.0, 0), 0.0);   // just past 0.5 - 0.5
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
  for (int i = 0; i < 32 * 32; ++i)
    ASSERT_EQ(all.values[i], 255.0f);
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

TEST_F(FractalSource, EveryValueIsTheShapedSampleTimes255) {
  struct Case {
    float noise, valleys, plateaus, level;
    int water;
  };
  const Case cases[] = {
      {0.0f, 0.0001f, 0.0001f, 0.0f, 0}, {0.0f, 0.0001f, 0.0001f, 0.0f, 1},
      {0.7f, 0.0001f, 0.0001f, 0.0f, 0}, {0.5f, 0.3f, 0.4f, 0.0f, 0},
      {0.5f, 0.3f, 0.4f, 0.35f, 1},      {0.2f, 0.5f, 0.5f, 0.6f, 1},
      {0.9f, 0.45f, 0.05f, 0.25f, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "noise " << c.noise << " valleys " << c.valleys << " plateaus " << c.plateaus
                 << " level " << c.level << " water " << c.water);
    constexpr std::uint32_t n = 32;
    int count = 0;
    FractalValues out{};
    ASSERT_TRUE(fractalBuildValues(n, 9, c.valleys, c.plateaus, c.level, c.noise, c.water, nullptr,
                                   nullptr, &count, &out));
    const FractalMap* map = fractalCachedMap(n, 9, c.noise);
    const FieldStats stats = statsOf(map);
    const double level =
        stats.smallest + c.level * (static_cast<double>(stats.largest) - stats.smallest);
    float lo = 1e9f;
    float hi = -1e9f;
    for (std::uint32_t y = 0; y < n; ++y) {
      for (std::uint32_t x = 0; x < n; ++x) {
        const auto v = static_cast<float>(fractalMapNormalized(map, y, x));
        const auto want = static_cast<float>(
            shapedByHand(v, stats.mean, c.valleys, c.plateaus, level, c.water) * 255.0);
        ASSERT_EQ(out.values[y * n + x], want) << y << ", " << x;
        lo = std::min(lo, want);
        hi = std::max(hi, want);
      }
    }
    EXPECT_EQ(out.minimum, lo);
    EXPECT_EQ(out.maximum, hi);
    sxFree(out.values);
  }
}

TEST_F(FractalSource, NarrowBandsGiveTheSampleItself) {
  // valleys = plateaus = 0.0001: only samples half the range away from the mean move.
  FractalValues out{};
  buildGenerates(64, 21, 0.4f, 0.0f, 0, &out);
  const FractalMap* map = fractalCachedMap(64, 21, 0.4f);
  const FieldStats stats = statsOf(map);
  int moved = 0;
  for (std::uint32_t y = 0; y < 64; ++y) {
    for (std::uint32_t x = 0; x < 64; ++x) {
      const auto v = static_cast<float>(fractalMapNormalized(map, y, x));
      const float value = out.values[y * 64 + x];
      if (value == static_cast<float>(255.0 * v)) continue;
      ++moved;
      EXPECT_TRUE((value == 0.0f && v < stats.mean - 0.5) ||
                  (value == 255.0f && v > stats.mean + 0.5))
          << y << ", " << x << ": " << v << " gave " << value;
    }
  }
  EXPECT_LT(moved, 64 * 64 / 100);
  sxFree(out.values);
}

TEST_F(FractalSource, WaterAtLevelOneIsTheLargestSampleEverywhere) {
  for (const float noise : {0.0f, 0.5f, 1.0f}) {
    FractalValues out{};
    buildGenerates(32, 4, noise, 1.0f, 1, &out);
    const FieldStats stats = statsOf(fractalCachedMap(32, 4, noise));
    const auto surface = static_cast<float>(255.0 * stats.largest);
    for (int i = 0; i < 32 * 32; ++i)
      ASSERT_EQ(out.values[i], surface) << i;
    EXPECT_EQ(out.minimum, surface);
    EXPECT_EQ(out.maximum, surface);
    sxFree(out.values);
  }
}

TEST_F(FractalSource, WithWaterNoValueLiesBelowTheSurface) {
  for (const float level : {0.0f, 0.1f, 0.3f, 0.5f, 0.9f}) {
    FractalValues out{};
    buildGenerates(64, 8, 0.6f, level, 1, &out);
    const FieldStats stats = statsOf(fractalCachedMap(64, 8, 0.6f));
    const double surface =
        stats.smallest + level * (static_cast<double>(stats.largest) - stats.smallest);
    const auto floor = static_cast<float>(255.0 * surface);
    EXPECT_EQ(out.minimum, floor) << level;  // some ground is always under water
    for (int i = 0; i < 64 * 64; ++i)
      ASSERT_GE(out.values[i], floor) << level << " " << i;
    sxFree(out.values);
  }
}

TEST_F(FractalSource, WideBandsWithoutWaterGiveExactlyFloorAndTop) {
  FractalValues out{};
  buildGenerates(64, 2, 0.5f, 0.0f, 0, &out);
  sxFree(out.values);
  int count = 0;
  ASSERT_TRUE(fractalBuildValues(64, 2, 0.5f, 0.5f, 0.7f, 0.5f, 0, nullptr, nullptr, &count, &out));
  int floors = 0;
  int tops = 0;
  for (int i = 0; i < 64 * 64; ++i) {
    floors += out.values[i] == 0.0f ? 1 : 0;
    tops += out.values[i] == 255.0f ? 1 : 0;
  }
  EXPECT_GT(floors, 0);
  EXPECT_GT(tops, 0);
  EXPECT_GT(floors + tops, 64 * 64 * 9 / 10);  // only samples at the mean stay
  EXPECT_EQ(out.minimum, 0.0f);
  EXPECT_EQ(out.maximum, 255.0f);
  sxFree(out.values);
}

TEST_F(FractalSource, ADragSizedMapIsReplacedByTheFullSize) {
  FractalValues v{};
  EXPECT_TRUE(buildGenerates(128, 6, 0.3f, 0.0f, 0, &v));
  sxFree(v.values);
  EXPECT_TRUE(buildGenerates(256, 6, 0.3f, 0.0f, 0, &v));
  sxFree(v.values);
  EXPECT_EQ(fractalCachedMap(256, 6, 0.3f)->size, 256u);
  EXPECT_FALSE(buildGenerates(256, 6, 0.3f, 0.2f, 1, &v));
  sxFree(v.values);
  EXPECT_TRUE(buildGenerates(128, 6, 0.3f, 0.0f, 0, &v));
  sxFree(v.values);
}

TEST_F(FractalSource, TheKeyComparesNoiseAsAFloat) {
  FractalValues v{};
  EXPECT_TRUE(buildGenerates(16, 1, 0.1f, 0.0f, 0, &v));
  sxFree(v.values);
  EXPECT_FALSE(buildGenerates(16, 1, static_cast<float>(0.1), 0.0f, 0, &v));
  sxFree(v.values);
  EXPECT_TRUE(buildGenerates(16, 1, std::nextafter(0.1f, 1.0f), 0.0f, 0, &v));
  sxFree(v.values);
}

TEST_F(FractalSource, AFailureKeepsTheKeyOfTheLastGeneratedField) {
  FractalValues v{};
  EXPECT_TRUE(buildGenerates(16, 1, 0.0f, 0.0f, 0, &v));
  sxFree(v.values);
  // A new key whose values block is refused: the field was generated, so the key is kept.
  int count = 0;
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_FALSE(
        fractalBuildValues(16, 2, 0.0f, 0.0f, 0.0f, 0.0f, 0, nullptr, nullptr, &count, &v));
  }
  EXPECT_EQ(count, 256);
  EXPECT_FALSE(buildGenerates(16, 2, 0.0f, 0.0f, 0, &v));
  sxFree(v.values);
  // A new size whose map is refused leaves no field, and the next request generates.
  {
    auto refuse = sxhost::AllocationFailure::above(64 * 64 * sizeof(float));
    EXPECT_EQ(rasterOpenFractal(64, 2, 0.0f, 0.0f, 0.0f, 0.0f, 0, nullptr, nullptr, &count),
              nullptr);
  }
  EXPECT_EQ(count, 64 * 64);
  EXPECT_TRUE(buildGenerates(64, 2, 0.0f, 0.0f, 0, &v));
  sxFree(v.values);
}

TEST_F(FractalSource, ProgressThatStopsEndsEachPassEarly) {
  int count = 0;
  auto stop = [](int, int, void*) { return 0; };
  FractalValues out{};
  ASSERT_TRUE(
      fractalBuildValues(8, 3, 0.0001f, 0.0001f, 0.0f, 0.2f, 0, stop, nullptr, &count, &out));
  bool rowZeroWritten = false;
  for (int x = 0; x < 8; ++x)
    rowZeroWritten = rowZeroWritten || out.values[x] != 0.0f;
  EXPECT_TRUE(rowZeroWritten);
  for (int i = 8; i < 64; ++i)
    ASSERT_EQ(out.values[i], 0.0f) << i;
  sxFree(out.values);
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
  EXPECT_EQ(raster->self, raster);
  EXPECT_EQ(raster->magic, kRasterMagic);
  EXPECT_EQ(raster->headerOffset, 0);
  EXPECT_EQ(raster->dataStride, 0);
  EXPECT_EQ(raster->imageType, 0);
  ASSERT_NE(raster->values, nullptr);
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
  EXPECT_EQ(rasterOpenFractal(4, 1, 0.0f, 0.0f, 0.0f, 0.0f, 0, nullptr, nullptr, nullptr), nullptr);
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
  RasterRec* raster = rasterOpenFractal(16, 1, 0.0f, 0.0f, 0.0f, 0.0f, 0, progress, &calls, &count);
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(calls, 2 * 16 + 1);
  rasterFree(raster);
}

}  // namespace
}  // namespace relievo
