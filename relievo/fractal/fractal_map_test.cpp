#include "fractal/fractal_map.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <tuple>
#include <vector>

#include "fractal/fractal_random.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

struct MapFree {
  void operator()(FractalMap* map) const { fractalMapFree(map); }
};
using MapPtr = std::unique_ptr<FractalMap, MapFree>;

std::vector<float> allSamples(const FractalMap& map) {
  const std::size_t edge = std::size_t{map.size} + 1;
  return std::vector<float>(map.samples, map.samples + edge * edge);
}

MapPtr generated(std::uint32_t n, std::uint32_t seed, float roughness, float corner) {
  MapPtr map(fractalMapCreate(n));
  fractalMapGenerate(map.get(), seed, roughness, corner);
  return map;
}

void expectSamples(const FractalMap& map, const std::vector<float>& want) {
  const std::vector<float> got = allSamples(map);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i)
    EXPECT_NEAR(got[i], want[i], 1e-6) << "sample " << i;
}

// Seed 1 draws 16838, 5758, 10113; at roughness 1 the amplitude is 0.5, and each displacement
// is (k / 32767 - 0.5) x 0.5: S(1,1) = 0.0069353; S(0,1) = S(1,1) / 2 - 0.1621372 (its square
// holds two corners and S(1,1) twice, the second through the wrap); S(1,0) = S(1,1) / 2 -
// 0.0956832.
TEST(FractalMapTest, SizeTwoWorkedOutByHand) {
  MapPtr map = generated(2, 1, 1.0f, 0.0f);
  expectSamples(*map, {0, -0.1586695f, 0, -0.0922155f, 0.0069353f, -0.0922155f, 0, -0.1586695f, 0});
  EXPECT_NEAR(map->minimum, -0.1586695f, 1e-6);
  EXPECT_NEAR(map->maximum, 0.0069353f, 1e-6);
  EXPECT_NEAR(map->range, 0.1656049f, 1e-6);
  EXPECT_EQ(fractalRandomState(), 662824084u);                          // three draws
  EXPECT_NEAR(fractalMapNormalized(map.get(), 0, 0), 0.9581212, 1e-6);  // a corner
}

// Size 4 reaches every kind of neighbour (the wrap, the copies in row and column 4, interior
// squares) and two amplitudes, 2^-0.5 and 2^-1. Frozen once; S(2,2) checked by hand: seed 31
// draws 30467 first, 0.25 + (30467 / 32767 - 0.5) x 0.7071068 = 0.5539197.
TEST(FractalMapTest, SizeFourFrozen) {
  MapPtr map = generated(4, 31, 0.5f, 0.25f);
  expectSamples(*map, {0.25f,        0.676155925f, 0.6093961f,   0.211256027f, 0.25f,
                       0.139727801f, 0.351208091f, 0.38559711f,  0.277048111f, 0.139727801f,
                       0.348064214f, 0.369959712f, 0.553919733f, 0.308438212f, 0.348064214f,
                       0.345830709f, 0.603641927f, 0.33952561f,  0.22992754f,  0.345830709f,
                       0.25f,        0.676155925f, 0.6093961f,   0.211256027f, 0.25f});
  EXPECT_EQ(std::make_tuple(map->minimum, map->maximum),
            std::make_tuple(0.139727801f, 0.676155925f));
  EXPECT_EQ(fractalRandomState(), 2535390318u);  // 15 draws
  EXPECT_NEAR(fractalMapNormalized(map.get(), 3, 1), 0.8648207, 1e-6);
}

// Row n and column n repeat row 0 and column 0, and every sample but the corner S(0, 0) takes
// one draw: 65535 for n = 256, which leave the generator at 3567207701.
TEST(FractalMapTest, PeriodicAndOneDrawPerSampleButTheCorner) {
  constexpr std::size_t n = 256;
  MapPtr map = generated(n, 42, 0.3f, 1.5f);
  EXPECT_EQ(fractalRandomState(), 3567207701u);
  const auto at = [&](std::size_t y, std::size_t x) { return map->samples[y * (n + 1) + x]; };
  for (std::size_t i = 0; i <= n; ++i) {
    ASSERT_EQ(at(n, i), at(0, i)) << "column " << i;
    ASSERT_EQ(at(i, n), at(i, 0)) << "row " << i;
  }
}

TEST(FractalMapTest, OnlyUnsetSamplesAreDrawnSoAClearedMapRegeneratesTheSameField) {
  MapPtr fresh = generated(32, 1234, 0.7f, 0.0f);
  MapPtr reused = generated(32, 5, 0.2f, 3.0f);
  const std::vector<float> first = allSamples(*reused);
  fractalMapGenerate(reused.get(), 9, 1.0f, 3.0f);
  EXPECT_EQ(fractalRandomState(), 9u);  // seeded, nothing drawn
  EXPECT_EQ(allSamples(*reused), first);

  fractalMapClear(reused.get());
  fractalMapGenerate(reused.get(), 1234, 0.7f, 0.0f);
  EXPECT_EQ(allSamples(*fresh), allSamples(*reused));
  EXPECT_EQ(std::make_tuple(fresh->minimum, fresh->maximum, fresh->range),
            std::make_tuple(reused->minimum, reused->maximum, reused->range));
}

// Sizes that are not powers of two above one, null, a copy (which shares the samples but is
// not the record) and a record whose tag is gone (which counts as freed): nothing is drawn and
// no sample is reached. An amplitude that rounds to 0 leaves no relief at all.
TEST(FractalMapTest, InvalidSizesAndRecordsAreLeftAlone) {
  std::vector<MapPtr> maps;
  for (std::uint32_t n : {0u, 1u, 3u, 6u, 100u})
    maps.emplace_back(fractalMapCreate(n));
  MapPtr map = generated(4, 1, 1.0f, 0.0f);
  const std::vector<float> samples = allSamples(*map);
  FractalMap copy = *map;
  map->tag = 0;
  const std::int64_t live = sxhost::liveAllocations();
  for (FractalMap* m : {maps[0].get(), maps[2].get(), maps[4].get(), &copy, map.get(),
                        static_cast<FractalMap*>(nullptr)}) {
    const std::vector<float> before = m == nullptr ? samples : allSamples(*m);
    fractalSeedRandom(55);
    fractalMapGenerate(m, 2, 1.0f, 0.0f);
    EXPECT_EQ(fractalRandomState(), 55u);
    EXPECT_EQ(fractalMapNormalized(m, 1, 1), -1.0);
    EXPECT_EQ(m == nullptr ? samples : allSamples(*m), before);
  }
  EXPECT_FALSE(fractalMapValid(&copy) || fractalMapValid(map.get()) || fractalMapValid(nullptr));
  fractalMapFree(&copy);
  fractalMapFree(map.get());
  EXPECT_EQ(sxhost::liveAllocations(), live);
  map->tag = kFractalMap2dTag;
  MapPtr flat = generated(8, 3, 200.0f, 2.0f);
  EXPECT_EQ(flat->range, 0.0f);
  EXPECT_EQ(fractalMapNormalized(flat.get(), 3, 5), 0.0);
}

TEST(FractalMapTest, CreateUnsetsTheBlockOrFailsCleanly) {
  MapPtr map(fractalMapCreate(2));
  ASSERT_TRUE(fractalMapValid(map.get()));
  EXPECT_EQ(allSamples(*map), (std::vector<float>{-1, -1, 0, -1, -1, 0, 0, 0, 0}));
  map.reset();
  const std::int64_t live = sxhost::liveAllocations();
  constexpr std::size_t kAny = SIZE_MAX;
  for (const sxhost::AllocationPolicy& policy :
       {sxhost::AllocationPolicy{kAny, 1}, {kAny, 2}, {25 * sizeof(float) - 1, 0}}) {
    sxhost::AllocationFailure refuse(policy);  // the record, the samples, 5 x 5 samples
    EXPECT_EQ(fractalMapCreate(4), nullptr);
  }
  EXPECT_EQ(sxhost::liveAllocations(), live);
  const std::uint64_t requests = sxhost::allocationRequests();
  EXPECT_EQ(fractalMapCreate(0xFFFFFFFFu), nullptr);
  EXPECT_EQ(fractalMapCreate(0x80000000u), nullptr);
  EXPECT_EQ(sxhost::allocationRequests(), requests);
}

}  // namespace
}  // namespace relievo
