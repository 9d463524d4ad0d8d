// The "Fractal Generator" source: a periodic fractal height field of edge length n, read
// back normalised to 0 ... 1, reshaped (valleys sink to a floor, plateaus rise to a top,
// everything below the water level becomes a flat surface) and scaled to 0 ... 255, as an
// in-memory RasterRec of n x n values.
//
// The last field is kept in a one-entry cache keyed by size, seed and noise, so that moving
// the valleys, plateaus or water level sliders only reshapes it instead of generating again.
// The caller holds the cache (FractalParams::cache); a null pointer is an empty cache.
#ifndef RELIEVO_FRACTAL_FRACTAL_SOURCE_H
#define RELIEVO_FRACTAL_FRACTAL_SOURCE_H

#include <cstdint>

#include "fractal/fractal_map.h"
#include "raster/raster.h"

namespace relievo {

inline constexpr int kFractalMaxSize = 4096;

// The cache's record, from sxMalloc.
struct FractalCache {
  std::uint32_t size;
  std::uint32_t seed;
  float noise;
  FractalMap* map;  // owned, or null
};

// The fractal generator's settings, the part of ToolState that the "Fractal Generator"
// source is made from, and its cache.
struct FractalParams {
  std::uint32_t fractalSeed;
  double fractalNoise;       // 0 ... 1
  double fractalWaterLevel;  // 0 ... 1
  double fractalValleys;     // 0.0001 ... 0.5
  double fractalPlateaus;    // 0.0001 ... 0.5
  std::int32_t fractalWater;
  double fractalMinimum;  // the DED range used for a fractal source, metres
  double fractalMaximum;
  std::int32_t fractalSize;  // edge length of the generated square map
  FractalCache* cache;
};

struct FractalValues {
  float* values;  // n x n, row after row; owned by the caller (sxFree)
  float minimum;
  float maximum;
};

// A new n x n record, or null: n is 0, 1, not a power of two or above 4096 (a field of such
// a size cannot be generated), count is null, or memory is refused. count receives n x n
// right after the size is known to be a number of values (so from n = 1 on). The field comes
// from *cache (see fractalCachedMap).
RasterRec* rasterOpenFractal(FractalCache** cache, std::uint32_t size, std::uint32_t seed,
                             float valleys, float plateaus, float waterLevel, float noise,
                             int waterOn, ProgressCallback progress, void* progressContext,
                             int* count);
// The work behind rasterOpenFractal; false on failure, when out holds nothing.
bool fractalBuildValues(FractalCache** cache, std::uint32_t size, std::uint32_t seed, float valleys,
                        float plateaus, float waterLevel, float noise, int waterOn,
                        ProgressCallback progress, void* progressContext, int* count,
                        FractalValues* out);
// The reshaped height of one normalised sample.
double fractalShape(double v, double mean, double valleys, double plateaus, double level,
                    int waterOn);
// The cached field for (size, seed, noise), generated when the key differs (the cache record
// is allocated on first use); null when no map can be had. The cache owns the map.
FractalMap* fractalCachedMap(FractalCache** cache, std::uint32_t size, std::uint32_t seed,
                             float noise);
// The map size for a requested size: n itself for a power of two up to 4096, otherwise the
// largest power of two not above n (4096 at most); 4 for n < 1.
int roundFractalSize(int n);
// Frees the held map and the cache record; *cache becomes null.
void fractalFreeCache(FractalCache** cache);

}  // namespace relievo

#endif  // RELIEVO_FRACTAL_FRACTAL_SOURCE_H
