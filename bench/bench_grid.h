// The in-memory source the benchmarks load: edge x edge values in 0 ... 3000, as a file
// source would bring them after its reading pass (range known).
#ifndef RELIEVO_BENCH_BENCH_GRID_H
#define RELIEVO_BENCH_BENCH_GRID_H

#include <cstddef>
#include <cstdint>

#include "raster/raster.h"
#include "sxapilib.h"

inline relievo::RasterRec* benchGrid(int edge) {
  relievo::RasterRec* raster = relievo::rasterAllocate("");
  raster->width = edge;
  raster->height = edge;
  const std::int64_t count = std::int64_t{edge} * edge;
  raster->values = static_cast<float*>(sxMalloc(static_cast<std::size_t>(count) * sizeof(float)));
  for (std::int64_t i = 0; i < count; ++i) {
    raster->values[i] = static_cast<float>((i * 7919) % 3001);
  }
  relievo::rasterUseMemoryVariant(raster);
  relievo::rasterSetMinMax(raster, 0.0, 3000.0);
  return raster;
}

#endif  // RELIEVO_BENCH_BENCH_GRID_H
