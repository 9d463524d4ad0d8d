#include "fractal/fractal_map.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>
#include <type_traits>

#include "fractal/fractal_random.h"
#include "raster/host_memory.h"
#include "raster/parallel.h"
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
  // Adds the extremes of the samples generated after these, as adding each of them would.
  void merge(const Extremes& later) {
    add(later.maximum);
    add(later.minimum);
  }
};

// The displacement of a generated sample at amplitude a: one draw.
float displacement(std::int32_t draw, float amplitude) {
  return static_cast<float>(fractalRandomAt(draw, kDisplacementLo, kDisplacementHi) * amplitude);
}

// The displacements of every draw at one amplitude, worked out once for a step with many more
// samples than there are draws, so that a sample looks its displacement up. Filled on the
// calling thread before the step's workers start, read by them.
class DisplacementTable {
 public:
  static constexpr std::size_t kDraws = kFractalRandomMax + 1;

  void fill(float amplitude) {
    if (amplitude == amplitude_) return;
    for (std::size_t k = 0; k < kDraws; ++k)
      values_[k] = displacement(static_cast<std::int32_t>(k), amplitude);
    amplitude_ = amplitude;
  }
  float of(std::int32_t draw) const { return values_[static_cast<std::size_t>(draw)]; }

 private:
  float amplitude_ = -1.0f;
  std::array<float, kDraws> values_{};
};

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

// One step of a level: the diamond step visits the centres of the squares of side 2h, the
// square step the midpoints of their edges, row by row and left to right. Every sample a step
// visits depends only on samples of earlier steps, so a step's rows can be generated at once
// by several workers, each drawing from the place in the sequence its first sample takes.
struct Step {
  const Grid& g;
  std::size_t h;
  bool diamond;
  float amplitude;
  bool fresh;                      // every visited sample is unset: no need to look
  const DisplacementTable* table;  // the displacements at amplitude, or null

  float displace(FractalRng& generator) const {
    const std::int32_t draw = generator.draw() & kFractalRandomMax;
    return table != nullptr ? table->of(draw) : displacement(draw, amplitude);
  }

  std::size_t rows() const { return diamond ? g.n() / (2 * h) : g.n() / h; }
  std::size_t perRow() const { return g.n() / (2 * h); }
  std::size_t y(std::size_t row) const { return diamond ? h + 2 * h * row : h * row; }
  std::size_t firstX(std::size_t row) const { return diamond || (y(row) / h) % 2 == 0 ? h : 0; }

  // The draws rows [first, last) take.
  std::uint64_t draws(std::size_t first, std::size_t last) const {
    if (fresh) return std::uint64_t{perRow()} * (last - first);
    std::uint64_t count = 0;
    for (std::size_t row = first; row < last; ++row) {
      for (std::size_t x = firstX(row); x < g.n(); x += 2 * h)
        count += g.at(y(row), x) == kFractalUnset ? 1 : 0;
    }
    return count;
  }

  void generate(std::size_t first, std::size_t last, FractalRng& generator,
                Extremes& extremes) const {
    const std::size_t n = g.n();
    for (std::size_t row = first; row < last; ++row) {
      const std::size_t yy = y(row);
      for (std::size_t x = firstX(row); x < n; x += 2 * h) {
        float& sample = g.at(yy, x);
        if (fresh || sample == kFractalUnset) {
          const float d = displace(generator);
          const double average = diamond ? diamondAverage(g, yy, x, h) : squareAverage(g, yy, x, h);
          sample = static_cast<float>(average + d);
          extremes.add(sample);
        }
        if (diamond) continue;
        if (yy == 0) g.at(n, x) = sample;
        if (x == 0) g.at(yy, n) = sample;
      }
    }
  }
};

// Parts of a step no smaller than this many samples: below it a step stays on one thread.
constexpr std::int64_t kSamplesPerPart = 16 * 1024;
constexpr int kMostParts = 4 * kMaxWorkers;

// Generates one step and returns the draws it took, the generator standing at `drawn` draws
// from the seed before it.
std::uint64_t generateStep(const Step& step, std::uint32_t seed, std::uint64_t drawn,
                           Extremes& extremes) {
  const std::size_t rows = step.rows();
  const int parts = std::min(kMostParts, partsFor(static_cast<std::int64_t>(rows * step.perRow()),
                                                  workerThreads(), kSamplesPerPart));
  const auto firstRow = [&](int part) { return rows * static_cast<std::size_t>(part) / parts; };
  std::array<std::uint64_t, kMostParts + 1> before{};  // draws before each part
  std::array<Extremes, kMostParts> found{};
  parallelFor(parts, workersFor(parts), [&](int part, int) {
    before[static_cast<std::size_t>(part) + 1] = step.draws(firstRow(part), firstRow(part + 1));
  });
  for (int part = 0; part < parts; ++part)
    before[part + 1] += before[part];
  parallelFor(parts, workersFor(parts), [&](int part, int) {
    FractalRng generator(seed);
    generator.discard(drawn + before[static_cast<std::size_t>(part)]);
    step.generate(firstRow(part), firstRow(part + 1), generator, found[part]);
  });
  for (int part = 0; part < parts; ++part)
    extremes.merge(found[part]);
  return before[static_cast<std::size_t>(parts)];
}

// Fills the map from its corners, as fractalMapGenerate describes; `fresh` when every sample of
// the block may be taken as unset whatever it holds.
void generateField(FractalMap* map, std::uint32_t seed, float roughness, float corner, bool fresh) {
  const Grid g(*map);
  const std::size_t n = g.n();
  Extremes extremes;
  const auto ratio = static_cast<float>(std::pow(2.0, -roughness));
  auto amplitude = static_cast<float>(1.0 * ratio);
  g.at(0, 0) = corner;
  g.at(0, n) = corner;
  g.at(n, 0) = corner;
  g.at(n, n) = corner;

  // Only the module's thread generates, so one table serves every generation.
  static DisplacementTable table;
  std::uint64_t drawn = 0;
  for (std::size_t h = n / 2; h != 0; h /= 2) {
    const bool many = (n / (2 * h)) * (n / (2 * h)) >= 2 * DisplacementTable::kDraws;
    if (many) table.fill(amplitude);
    const DisplacementTable* displacements = many ? &table : nullptr;
    drawn += generateStep({g, h, true, amplitude, fresh, displacements}, seed, drawn, extremes);
    drawn += generateStep({g, h, false, amplitude, fresh, displacements}, seed, drawn, extremes);
    amplitude = static_cast<float>(double{amplitude} * ratio);
  }
  FractalRng after(seed);
  after.discard(drawn);
  fractalSeedRandom(after.state());

  map->minimum = extremes.minimum;
  map->maximum = extremes.maximum;
  map->range = static_cast<float>(double{extremes.maximum} - double{extremes.minimum});
  map->generated = 1;
}

bool generates(const FractalMap* map) {
  return fractalMapValid(map) && map->size != 1 && std::has_single_bit(map->size);
}

}  // namespace

bool fractalMapValid(const FractalMap* map) {
  return map != nullptr && map->self == map && map->tag == kFractalMap2dTag;
}

FractalMap* fractalMapAllocate(std::uint32_t n) {
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
  adviseHugePages(map->samples, edge * edge * sizeof(float));
  map->tag = kFractalMap2dTag;
  map->self = map;
  map->size = n;
  return map;
}

FractalMap* fractalMapCreate(std::uint32_t n) {
  FractalMap* map = fractalMapAllocate(n);
  fractalMapClear(map);
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
  if (!generates(map)) return;
  fractalSeedRandom(seed);
  generateField(map, seed, roughness, corner, false);
}

void fractalMapRegenerate(FractalMap* map, std::uint32_t seed, float roughness, float corner) {
  if (!generates(map)) return;
  fractalSeedRandom(seed);
  generateField(map, seed, roughness, corner, true);
}

double fractalMapNormalized(const FractalMap* map, std::uint32_t row, std::uint32_t column) {
  if (!fractalMapValid(map) || map->generated == 0) return -1.0;
  // A field without relief (all generated samples equal) sits at the low end.
  if (map->range == 0.0f) return 0.0;
  const double sample = Grid(*map).d(row, column);
  return (sample - map->minimum) / map->range;
}

}  // namespace relievo
