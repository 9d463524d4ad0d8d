#include "fractal/fractal_map.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>
#include <type_traits>

#include "fractal/fractal_random.h"
#include "sxapilib.h"

namespace relievo {

// The record lives in host memory and is zero-filled on creation.
static_assert(std::is_trivially_copyable_v<FractalMap> && std::is_standard_layout_v<FractalMap>);

namespace {

constexpr float kInitialMinimum = 10000.0f;
constexpr float kInitialMaximum = -10000.0f;
constexpr double kQuarter = 0.25;
constexpr float kDisplacementLo = -0.5f;
constexpr float kDisplacementHi = 0.5f;

// Index arithmetic of one map, in size_t so that large grids do not overflow.
class Grid {
 public:
  explicit Grid(const FractalMap& map)
      : samples_(map.samples), n_(map.size), stride_(std::size_t{map.size} + 1) {}

  float& at(std::size_t y, std::size_t x) const { return samples_[y * stride_ + x]; }
  // The sample as a double, the precision of every average.
  double d(std::size_t y, std::size_t x) const { return at(y, x); }
  std::size_t n() const { return n_; }

  void fillBlock(float value) const {
    for (std::size_t y = 0; y < n_; ++y) {
      for (std::size_t x = 0; x < n_; ++x)
        at(y, x) = value;
    }
  }

 private:
  float* samples_;
  std::size_t n_;
  std::size_t stride_;
};

struct Extremes {
  float minimum = kInitialMinimum;
  float maximum = kInitialMaximum;

  void add(float v) {
    if (v > maximum) maximum = v;
    if (v < minimum) minimum = v;
  }
};

// The displacement of one generated sample at amplitude a: one draw.
float displacement(float amplitude) {
  return static_cast<float>(fractalRandom(kDisplacementLo, kDisplacementHi) * amplitude);
}

double diamondAverage(const Grid& g, std::size_t y, std::size_t x, std::size_t h) {
  return (g.d(y - h, x - h) + g.d(y - h, x + h) + g.d(y + h, x - h) + g.d(y + h, x + h)) * kQuarter;
}

// On the edges of the block the neighbour beyond the edge is the one n - h away: the field is
// periodic.
double squareAverage(const Grid& g, std::size_t y, std::size_t x, std::size_t h) {
  const std::size_t n = g.n();
  if (y == 0) return kQuarter * (g.d(0, x - h) + g.d(0, x + h) + g.d(n - h, x) + g.d(h, x));
  if (x == 0) return kQuarter * (g.d(y - h, 0) + g.d(y + h, 0) + g.d(y, h) + g.d(y, n - h));
  return kQuarter * (g.d(y - h, x) + g.d(y + h, x) + g.d(y, x - h) + g.d(y, x + h));
}

void diamondStep(const Grid& g, std::size_t h, float amplitude, Extremes& extremes) {
  const std::size_t n = g.n();
  for (std::size_t y = h; y < n; y += 2 * h) {
    for (std::size_t x = h; x < n; x += 2 * h) {
      float& sample = g.at(y, x);
      if (sample != kFractalUnset) continue;
      const float d = displacement(amplitude);
      sample = static_cast<float>(diamondAverage(g, y, x, h) + d);
      extremes.add(sample);
    }
  }
}

void squareStep(const Grid& g, std::size_t h, float amplitude, Extremes& extremes) {
  const std::size_t n = g.n();
  for (std::size_t y = 0; y < n; y += h) {
    const bool evenRow = (y / h) % 2 == 0;
    for (std::size_t x = evenRow ? h : 0; x < n; x += 2 * h) {
      float& sample = g.at(y, x);
      if (sample == kFractalUnset) {
        const float d = displacement(amplitude);
        sample = static_cast<float>(squareAverage(g, y, x, h) + d);
        extremes.add(sample);
      }
      if (y == 0) g.at(n, x) = sample;
      if (x == 0) g.at(y, n) = sample;
    }
  }
}

}  // namespace

bool fractalMapValid(const FractalMap* map) {
  return map != nullptr && map->self == map && map->tag == kFractalMap2dTag;
}

FractalMap* fractalMapCreate(std::uint32_t n) {
  const std::size_t edge = std::size_t{n} + 1;
  constexpr std::size_t kMaxSamples = std::numeric_limits<std::size_t>::max() / sizeof(float);
  if (edge > kMaxSamples / edge) return nullptr;

  auto* map = static_cast<FractalMap*>(sxMalloc(sizeof(FractalMap)));
  if (map == nullptr) return nullptr;
  map->samples = static_cast<float*>(sxMalloc(edge * edge * sizeof(float)));
  if (map->samples == nullptr) {
    sxFree(map);
    return nullptr;
  }
  map->tag = kFractalMap2dTag;
  map->self = map;
  map->size = n;
  Grid(*map).fillBlock(kFractalUnset);
  return map;
}

void fractalMapClear(FractalMap* map) {
  if (!fractalMapValid(map)) return;
  Grid(*map).fillBlock(kFractalUnset);
}

void fractalMapFree(FractalMap* map) {
  if (!fractalMapValid(map)) return;
  sxFree(map->samples);
  map->samples = nullptr;
  map->tag = 0;
  map->self = nullptr;
  sxFree(map);
}

void fractalMapGenerate(FractalMap* map, std::uint32_t seed, float roughness, float corner) {
  if (!fractalMapValid(map) || map->size == 1 || !std::has_single_bit(map->size)) return;
  const Grid g(*map);
  const std::size_t n = g.n();
  Extremes extremes;
  fractalSeedRandom(seed);

  const auto ratio = static_cast<float>(std::pow(2.0, -roughness));
  auto amplitude = static_cast<float>(1.0 * ratio);
  g.at(0, 0) = corner;
  g.at(0, n) = corner;
  g.at(n, 0) = corner;
  g.at(n, n) = corner;

  for (std::size_t h = n / 2; h != 0; h /= 2) {
    diamondStep(g, h, amplitude, extremes);
    squareStep(g, h, amplitude, extremes);
    amplitude = static_cast<float>(double{amplitude} * ratio);
  }

  map->minimum = extremes.minimum;
  map->maximum = extremes.maximum;
  map->range = static_cast<float>(double{extremes.maximum} - double{extremes.minimum});
  map->generated = 1;
}

double fractalMapNormalized(const FractalMap* map, std::uint32_t row, std::uint32_t column) {
  if (!fractalMapValid(map) || map->generated == 0) return -1.0;
  // A field without relief (all generated samples equal) sits at the low end.
  if (map->range == 0.0f) return 0.0;
  const double sample = Grid(*map).d(row, column);
  return (sample - map->minimum) / map->range;
}

}  // namespace relievo
