#include "fractal/fractal_source.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "sxapilib.h"

namespace relievo {

namespace {

// The extremes of a pass start beyond every normalised value.
constexpr float kExtremeStart = 10000.0f;

struct Extremes {
  float minimum = kExtremeStart;
  float maximum = -kExtremeStart;

  void take(float v) {
    if (v < minimum) minimum = v;
    if (v > maximum) maximum = v;
  }
};

float normalized(const FractalMap* map, std::uint32_t row, std::uint32_t column) {
  return static_cast<float>(fractalMapNormalized(map, row, column));
}

bool goOn(ProgressCallback progress, void* context) {
  return progress == nullptr || progress(0, 0, context) != 0;
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
  if (cache->map != nullptr && cache->map->size == size) {
    fractalMapClear(cache->map);
  } else {
    fractalMapFree(cache->map);
    cache->map = fractalMapCreate(size);
  }
  if (cache->map != nullptr) {
    fractalMapGenerate(cache->map, seed, static_cast<float>(1.0 - noise), 0.0f);
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

  // The statistics pass keeps the normalised samples of the stored block in the values, so
  // that the shaping pass reads them back instead of normalising the field a second time.
  Extremes stats;
  double sum = 0.0;
  std::uint32_t rowsKept = 0;
  for (std::uint32_t row = 0; row <= n; ++row) {
    float* kept = row < n ? values + std::uint64_t{row} * n : nullptr;
    for (std::uint32_t column = 0; column <= n; ++column) {
      const float v = normalized(map, row, column);
      if (kept != nullptr && column < n) kept[column] = v;
      stats.take(v);
      sum += v;
    }
    if (kept != nullptr) rowsKept = row + 1;
    if (!goOn(progress, progressContext)) break;
  }
  // The sum covers the repeated last row and column, but the mean is over the stored values.
  const double mean = sum / static_cast<double>(total);
  const double level =
      stats.minimum + waterLevel * (static_cast<double>(stats.maximum) - stats.minimum);

  Extremes shaped;
  std::uint32_t row = 0;
  for (; row < n; ++row) {
    float* out = values + std::uint64_t{row} * n;
    const bool normalisedAlready = row < rowsKept;
    for (std::uint32_t column = 0; column < n; ++column) {
      const float v = normalisedAlready ? out[column] : normalized(map, row, column);
      out[column] =
          static_cast<float>(fractalShape(v, mean, valleys, plateaus, level, waterOn) * 255.0);
      shaped.take(out[column]);
    }
    if (!goOn(progress, progressContext)) break;
  }
  // Rows the shaping pass did not reach keep zeros, not the samples kept there.
  if (row < n) {
    const std::uint64_t written = std::uint64_t{row + 1} * n;
    std::fill(values + written, values + total, 0.0f);
  }
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
