#include "fractal/fractal_source.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <limits>

#include "raster/host_memory.h"
#include "raster/parallel.h"
#include "sxapilib.h"

namespace relievo {

namespace {

// The extremes of a pass start beyond every normalised value.
constexpr float kExtremeStart = 10000.0f;
// Blocks of rows a pass is cut into: at least this many values each, at most so many blocks.
constexpr std::int64_t kValuesPerBlock = 64 * 1024;
constexpr int kMostBlocks = 256;

struct Extremes {
  float minimum = kExtremeStart;
  float maximum = -kExtremeStart;

  void take(float v) {
    if (v < minimum) minimum = v;
    if (v > maximum) maximum = v;
  }
};

bool goOn(ProgressCallback progress, void* context) {
  return progress == nullptr || progress(0, 0, context) != 0;
}

struct Statistics {
  Extremes extremes;
  double sum = 0.0;
};

struct Shaping {
  double mean;
  double valleys;
  double plateaus;
  double level;
  int waterOn;
};

// The two passes over the field, each on every core in blocks of rows. The calling thread
// takes the rows in order as their blocks are done: the progress after every row (a 0 from it
// ends the pass after that row), and what must follow the rows' order, such as the sum.
class FractalPasses {
 public:
  FractalPasses(const FractalMap& map, float* values, ProgressCallback progress, void* context)
      : map_(map),
        n_(map.size),
        values_(values),
        progress_(progress),
        context_(context),
        blocks_(std::min(kMostBlocks, partsFor(std::int64_t{map.size} * map.size, workerThreads(),
                                               kValuesPerBlock))) {}

  // Keeps the normalised samples of the stored block in the values, so that the shaping pass
  // reads them back instead of normalising the field a second time; their extremes and sum,
  // the repeated last row and column included, over the rows up to where the progress ended
  // the pass.
  Statistics statistics();
  // Shapes the values in place and scales them to 0 ... 255; the rows after the one where the
  // progress ended the pass are 0. The extremes of the rows shaped.
  Extremes shape(const Shaping& shaping);

 private:
  std::uint32_t firstRow(int block) const {
    return static_cast<std::uint32_t>(std::uint64_t{n_} * static_cast<std::uint64_t>(block) /
                                      static_cast<std::uint64_t>(blocks_));
  }
  float* row(std::uint32_t r) const { return values_ + std::uint64_t{r} * n_; }
  // fractalMapNormalized of the stored samples of row r, as floats, into the values: the
  // field is generated, so it comes down to the same arithmetic.
  void normalizeRow(std::uint32_t r) const {
    const float* samples = map_.samples + std::uint64_t{r} * (n_ + 1);
    const double minimum = map_.minimum;
    const double range = map_.range;
    float* out = row(r);
    for (std::uint32_t column = 0; column < n_; ++column) {
      out[column] = map_.range == 0.0f
                        ? 0.0f
                        : static_cast<float>((double{samples[column]} - minimum) / range);
    }
  }
  // Runs work(block, first, last) for every block of rows first ... last - 1 on every core,
  // and take(row) on the calling thread for every row in order as its block is done, until
  // take returns false. The rows taken.
  template <typename Work, typename Take>
  std::uint32_t run(Work&& work, Take&& take);

  const FractalMap& map_;
  std::uint32_t n_;
  float* values_;
  ProgressCallback progress_;
  void* context_;
  int blocks_;
};

template <typename Work, typename Take>
std::uint32_t FractalPasses::run(Work&& work, Take&& take) {
  std::array<std::atomic<bool>, kMostBlocks> done{};
  int next = 0;             // the next block to take
  std::uint32_t taken = 0;  // rows taken
  bool stopped = false;
  const auto takeDone = [&] {
    for (; !stopped && next < blocks_ && done[static_cast<std::size_t>(next)].load(); ++next) {
      for (std::uint32_t r = firstRow(next); r < firstRow(next + 1) && !stopped; ++r) {
        stopped = !take(r);
        taken = r + 1;
      }
    }
  };
  parallelFor(
      blocks_, workersFor(blocks_),
      [&](int block, int) {
        work(block, firstRow(block), firstRow(block + 1));
        done[static_cast<std::size_t>(block)].store(true);
      },
      takeDone);
  return taken;
}

Statistics FractalPasses::statistics() {
  Statistics stats;
  // A row of the field: the stored values and then column n, which repeats column 0.
  const auto add = [&](const float* values) {
    for (std::uint32_t column = 0; column < n_; ++column) {
      stats.extremes.take(values[column]);
      stats.sum += values[column];
    }
    stats.extremes.take(values[0]);
    stats.sum += values[0];
  };
  bool wentThrough = true;
  run(
      [&](int, std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t r = first; r < last; ++r)
          normalizeRow(r);
      },
      [&](std::uint32_t r) {
        add(row(r));
        wentThrough = goOn(progress_, context_);
        return wentThrough;
      });
  if (wentThrough) {  // row n repeats row 0
    add(row(0));
    goOn(progress_, context_);
  }
  return stats;
}

Extremes FractalPasses::shape(const Shaping& s) {
  std::array<Extremes, kMostBlocks> found{};
  const auto shapeRows = [&](std::uint32_t first, std::uint32_t last, Extremes& extremes) {
    for (std::uint32_t r = first; r < last; ++r) {
      float* out = row(r);
      for (std::uint32_t column = 0; column < n_; ++column) {
        out[column] = static_cast<float>(
            fractalShape(out[column], s.mean, s.valleys, s.plateaus, s.level, s.waterOn) * 255.0);
        extremes.take(out[column]);
      }
    }
  };
  const std::uint32_t rows = run(
      [&](int block, std::uint32_t first, std::uint32_t last) {
        shapeRows(first, last, found[static_cast<std::size_t>(block)]);
      },
      [&](std::uint32_t) { return goOn(progress_, context_); });
  // The blocks the pass went through whole, then the rows it reached of the next; the rows it
  // did not reach are 0, even where a worker shaped them.
  Extremes shaped;
  int block = 0;
  for (; block < blocks_ && firstRow(block + 1) <= rows; ++block) {
    shaped.take(found[static_cast<std::size_t>(block)].minimum);
    shaped.take(found[static_cast<std::size_t>(block)].maximum);
  }
  for (std::uint32_t r = block < blocks_ ? firstRow(block) : rows; r < rows; ++r) {
    for (std::uint32_t column = 0; column < n_; ++column)
      shaped.take(row(r)[column]);
  }
  std::fill(row(rows), row(n_), 0.0f);
  return shaped;
}

}  // namespace

double fractalShape(double v, double mean, double valleys, double plateaus, double level,
                    int waterOn) {
  const double a = 0.5 - valleys + 0.0001;
  const double b = 0.5 - plateaus + 0.0001;
  double t = v;
  if (v < mean - a) {
    t = 0.0;
  } else if (v > mean + b) {
    t = 1.0;
  }
  if (waterOn != 0 && t < level) t = level;
  return t;
}

FractalMap* fractalCachedMap(FractalCache** slot, std::uint32_t size, std::uint32_t seed,
                             float noise) {
  FractalCache*& cache = *slot;
  if (cache != nullptr && cache->map != nullptr && cache->size == size && cache->seed == seed &&
      cache->noise == noise) {
    return cache->map;
  }
  if (cache == nullptr) cache = static_cast<FractalCache*>(sxMalloc(sizeof(FractalCache)));
  if (cache == nullptr) return nullptr;
  if (cache->map == nullptr || cache->map->size != size) {
    fractalMapFree(cache->map);
    cache->map = fractalMapAllocate(size);
  }
  if (cache->map != nullptr) {
    fractalMapRegenerate(cache->map, seed, static_cast<float>(1.0 - noise), 0.0f);
    cache->size = size;
    cache->seed = seed;
    cache->noise = noise;
  }
  return cache->map;
}

bool fractalBuildValues(FractalCache** cache, std::uint32_t size, std::uint32_t seed, float valleys,
                        float plateaus, float waterLevel, float noise, int waterOn,
                        ProgressCallback progress, void* progressContext, int* count,
                        FractalValues* out) {
  const std::uint32_t n = size;
  if (n == 0 || count == nullptr) return false;
  const std::uint64_t total = std::uint64_t{n} * n;
  *count = static_cast<int>(std::min<std::uint64_t>(total, std::numeric_limits<int>::max()));
  // A size of 1 generates nothing, and larger sizes than the dialog offers would not fit.
  if (n < 2 || !std::has_single_bit(n) || n > kFractalMaxSize) return false;

  const FractalMap* map = fractalCachedMap(cache, n, seed, noise);
  if (map == nullptr) return false;
  auto* values = static_cast<float*>(sxMalloc(total * sizeof(float)));
  if (values == nullptr) return false;
  adviseHugePages(values, total * sizeof(float));

  FractalPasses passes(*map, values, progress, progressContext);
  const Statistics stats = passes.statistics();
  // The sum covers the repeated last row and column, but the mean is over the stored values.
  const double mean = stats.sum / static_cast<double>(total);
  const double level =
      stats.extremes.minimum +
      waterLevel * (static_cast<double>(stats.extremes.maximum) - stats.extremes.minimum);
  const Extremes shaped = passes.shape({mean, valleys, plateaus, level, waterOn});
  *out = {values, shaped.minimum, shaped.maximum};
  return true;
}

RasterRec* rasterOpenFractal(FractalCache** cache, std::uint32_t size, std::uint32_t seed,
                             float valleys, float plateaus, float waterLevel, float noise,
                             int waterOn, ProgressCallback progress, void* progressContext,
                             int* count) {
  FractalValues built{};
  if (!fractalBuildValues(cache, size, seed, valleys, plateaus, waterLevel, noise, waterOn,
                          progress, progressContext, count, &built)) {
    return nullptr;
  }
  RasterRec* raster = rasterAllocate("");
  if (raster == nullptr) {
    sxFree(built.values);
    return nullptr;
  }
  const auto n = static_cast<std::int32_t>(size);
  raster->fileSize = n * n;
  raster->width = n;
  raster->height = n;
  raster->sourceKind = SourceKind::Fractal;
  raster->minValue = built.minimum;
  raster->maxValue = built.maximum;
  raster->minMaxKnown = 1;
  raster->values = built.values;
  rasterUseMemoryVariant(raster);
  return raster;
}

int roundFractalSize(int n) {
  if (n < 1) return 4;
  int power = 1;
  while (power < n && power < kFractalMaxSize)
    power *= 2;
  if (power == n) return n;
  return power <= n ? power : power / 2;
}

void fractalFreeCache(FractalCache** cache) {
  if (*cache == nullptr) return;
  fractalMapFree((*cache)->map);
  sxFree(*cache);
  *cache = nullptr;
}

}  // namespace relievo
