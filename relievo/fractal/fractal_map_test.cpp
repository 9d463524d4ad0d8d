#include "fractal/fractal_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
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

float at(const FractalMap& map, std::size_t y, std::size_t x) {
  return map.samples[y * (std::size_t{map.size} + 1) + x];
}

std::vector<float> allSamples(const FractalMap& map) {
  const std::size_t edge = std::size_t{map.size} + 1;
  return std::vector<float>(map.samples, map.samples + edge * edge);
}

// A map of edge n generated from the seed, roughness and corner value.
MapPtr generated(std::uint32_t n, std::uint32_t seed, float roughness, float corner) {
  MapPtr map(fractalMapCreate(n));
  fractalMapGenerate(map.get(), seed, roughness, corner);
  return map;
}

// single((k / 32767 rounded to a float - 0.5) x amplitude), the displacement of one draw k.
float displacement(std::int32_t k, float amplitude) {
  const auto t = static_cast<float>(k / 32767.0);
  return static_cast<float>((t - 0.5) * amplitude);
}

TEST(FractalMapTest, SizeTwoFollowsTheThreeDrawsByHand) {
  // Seed 42 lifts every generated sample above the corners: as the corners take no part in
  // the extremes, they normalise below 0.
  for (std::uint32_t seed : {1u, 42u, 0xDEADBEEFu}) {
    SCOPED_TRACE(seed);
    MapPtr map = generated(2, seed, 1.0f, 0.0f);
    FractalRng rng(seed);
    const std::int32_t k1 = rng.draw(), k2 = rng.draw(), k3 = rng.draw();
    const auto s11 = static_cast<float>(0 + displacement(k1, 0.5f));
    const auto s01 = static_cast<float>((0.0 + 0.0 + s11 + s11) * 0.25 + displacement(k2, 0.5f));
    const auto s10 = static_cast<float>((0.0 + 0.0 + s11 + s11) * 0.25 + displacement(k3, 0.5f));
    EXPECT_EQ(allSamples(*map), (std::vector<float>{0, s01, 0, s10, s11, s10, 0, s01, 0}));
    const float low = std::min({s11, s01, s10}), high = std::max({s11, s01, s10});
    EXPECT_EQ(std::make_tuple(map->minimum, map->maximum, map->range),
              std::make_tuple(low, high, static_cast<float>(double{high} - low)));
    EXPECT_EQ(fractalRandomState(), rng.state());
    EXPECT_EQ(fractalMapNormalized(map.get(), 2, 2) < 0.0, seed == 42);
  }
}

// Size 4 reaches every kind of neighbour: the wrap to row or column n - h, the copies in row
// and column n, and interior squares. Each sample is checked against its neighbours in the
// generated field and its own draw, numbered in generation order.
TEST(FractalMapTest, SizeFourUsesTheRightNeighboursDrawsAndAmplitudes) {
  MapPtr map = generated(4, 31, 0.5f, 0.25f);
  FractalRng rng(31);
  std::array<std::int32_t, 16> draws{};
  for (std::size_t i = 1; i < draws.size(); ++i)
    draws[i] = rng.draw();
  EXPECT_EQ(fractalRandomState(), rng.state());
  const auto ratio = static_cast<float>(std::pow(2.0, -0.5));
  const auto coarse = static_cast<float>(1.0 * ratio);
  const auto fine = static_cast<float>(double{coarse} * ratio);

  const struct {
    int y, x, draw;
    float amplitude;
    std::array<std::pair<int, int>, 4> neighbours;
  } cases[] = {
      {2, 2, 1, coarse, {{{0, 0}, {0, 4}, {4, 0}, {4, 4}}}},
      {0, 2, 2, coarse, {{{0, 0}, {0, 4}, {2, 2}, {2, 2}}}},
      {2, 0, 3, coarse, {{{0, 0}, {4, 0}, {2, 2}, {2, 2}}}},
      {1, 1, 4, fine, {{{0, 0}, {0, 2}, {2, 0}, {2, 2}}}},
      {3, 3, 7, fine, {{{2, 2}, {2, 4}, {4, 2}, {4, 4}}}},
      {0, 1, 8, fine, {{{0, 0}, {0, 2}, {3, 1}, {1, 1}}}},
      {0, 3, 9, fine, {{{0, 2}, {0, 4}, {3, 3}, {1, 3}}}},
      {1, 0, 10, fine, {{{0, 0}, {2, 0}, {1, 1}, {1, 3}}}},
      {2, 1, 12, fine, {{{1, 1}, {3, 1}, {2, 0}, {2, 2}}}},
      {3, 0, 14, fine, {{{2, 0}, {4, 0}, {3, 1}, {3, 3}}}},
      {3, 2, 15, fine, {{{2, 2}, {4, 2}, {3, 1}, {3, 3}}}},
  };
  for (const auto& c : cases) {
    double sum = 0.0;
    for (auto [y, x] : c.neighbours)
      sum += at(*map, y, x);
    EXPECT_EQ(at(*map, c.y, c.x),
              static_cast<float>(sum * 0.25 + displacement(draws[c.draw], c.amplitude)))
        << "S(" << c.y << ", " << c.x << ")";
  }
  for (auto [y, x] : {std::pair{0, 0}, {0, 4}, {4, 0}, {4, 4}})
    EXPECT_EQ(at(*map, y, x), 0.25f);
}

// Row n and column n repeat row 0 and column 0, and every sample but the corner S(0, 0) takes
// one draw: 65535 for n = 256.
TEST(FractalMapTest, PeriodicAndOneDrawPerSampleButTheCorner) {
  for (std::uint32_t n = 2; n <= 256; n *= 2) {
    SCOPED_TRACE(n);
    MapPtr map = generated(n, 42, 0.3f, 1.5f);
    FractalRng reference(42);
    for (std::uint32_t i = 0; i < n * n - 1; ++i)
      reference.draw();
    EXPECT_EQ(fractalRandomState(), reference.state());
    for (std::size_t i = 0; i <= n; ++i) {
      ASSERT_EQ(at(*map, n, i), at(*map, 0, i)) << "column " << i;
      ASSERT_EQ(at(*map, i, n), at(*map, i, 0)) << "row " << i;
    }
  }
  EXPECT_EQ(fractalRandomState(), 3567207701u);  // worked out apart from this code
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

TEST(FractalMapTest, SizesThatAreNotPowersOfTwoAboveOneLeaveTheMapAlone) {
  for (std::uint32_t n : {0u, 1u, 3u, 6u, 12u, 100u}) {
    SCOPED_TRACE(n);
    MapPtr map(fractalMapCreate(n));
    ASSERT_NE(map, nullptr);
    const std::vector<float> before = allSamples(*map);
    fractalSeedRandom(777);
    fractalMapGenerate(map.get(), 5, 1.0f, 2.0f);
    EXPECT_EQ(fractalRandomState(), 777u);
    EXPECT_EQ(allSamples(*map), before);
    EXPECT_EQ(std::make_tuple(map->minimum, map->maximum, map->range), std::make_tuple(0, 0, 0));
    EXPECT_EQ(fractalMapNormalized(map.get(), 0, 0), -1.0);
  }
}

// The extremes are those of the generated samples, the corners left out: those samples
// normalise to 0 ... 1.
TEST(FractalMapTest, ExtremesCoverGeneratedSamplesOnlyAndNormaliseThem) {
  MapPtr map = generated(64, 11, 0.5f, 40.0f);
  double lowest = INFINITY, highest = -INFINITY;
  for (std::uint32_t y = 0; y <= 64; ++y) {
    for (std::uint32_t x = 0; x <= 64; ++x) {
      if ((y % 64 == 0) && (x % 64 == 0)) continue;  // a corner
      lowest = std::min(lowest, fractalMapNormalized(map.get(), y, x));
      highest = std::max(highest, fractalMapNormalized(map.get(), y, x));
    }
  }
  EXPECT_EQ(lowest, 0.0);
  EXPECT_NEAR(highest, 1.0, 1e-6);

  // An amplitude that rounds to 0 leaves every sample at the corner value: no relief at all.
  map = generated(8, 3, 200.0f, 2.0f);
  EXPECT_EQ(map->range, 0.0f);
  EXPECT_EQ(fractalMapNormalized(map.get(), 3, 5), 0.0);
}

TEST(FractalMapTest, InvalidRecordsAreRefused) {
  MapPtr map = generated(4, 1, 1.0f, 0.0f);
  const std::vector<float> samples = allSamples(*map);
  const std::int64_t live = sxhost::liveAllocations();
  // Null; a copy, which shares the samples but is not the record; and a record whose tag is
  // gone, which counts as freed. Nothing may reach the samples through any of them.
  FractalMap copy = *map;
  FractalMap* const refused[] = {nullptr, &copy, map.get()};
  map->tag = 0;
  for (FractalMap* m : refused) {
    EXPECT_FALSE(fractalMapValid(m));
    fractalMapClear(m);
    fractalSeedRandom(55);
    fractalMapGenerate(m, 2, 1.0f, 0.0f);
    EXPECT_EQ(fractalRandomState(), 55u);
    EXPECT_EQ(fractalMapNormalized(m, 1, 1), -1.0);
    fractalMapFree(m);
    EXPECT_EQ(sxhost::liveAllocations(), live);
    EXPECT_EQ(allSamples(*map), samples);
  }
  map->tag = kFractalMap2dTag;
  EXPECT_TRUE(fractalMapValid(map.get()));
}

TEST(FractalMapTest, CreateUnsetsTheBlockOrFailsCleanly) {
  const std::int64_t live = sxhost::liveAllocations();
  MapPtr map(fractalMapCreate(2));
  ASSERT_TRUE(fractalMapValid(map.get()));
  EXPECT_EQ(map->size, 2u);
  EXPECT_EQ(allSamples(*map), (std::vector<float>{-1, -1, 0, -1, -1, 0, 0, 0, 0}));
  EXPECT_EQ(fractalMapNormalized(map.get(), 1, 1), -1.0);  // never generated
  map.reset();
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
