// The in-memory source the benchmarks load: edge x edge values in 0 ... 3000, as a file
// source would bring them after its reading pass (range known); and the thread counts the
// stages are measured with.
#ifndef RELIEVO_BENCH_BENCH_GRID_H
#define RELIEVO_BENCH_BENCH_GRID_H

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "raster/parallel.h"
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

// The thread counts a stage is measured with: one, and all the machine's when it has more.
inline std::vector<std::int64_t> benchThreadCounts() {
  const auto all = static_cast<std::int64_t>(std::thread::hardware_concurrency());
  if (all > 1) return {1, all};
  return {1};
}

// Runs a benchmark with each of benchThreadCounts() as its only argument, timed by the clock
// on the wall (the CPU time of the calling thread leaves the other workers out).
inline void oneThreadAndAll(benchmark::internal::Benchmark* b) {
  b->ArgName("threads")->UseRealTime();
  for (const std::int64_t count : benchThreadCounts())
    b->Arg(count);
}

// Sets the threads of the core's passes from the benchmark's argument `arg` for as long as it
// lives.
class BenchThreads {
 public:
  explicit BenchThreads(const benchmark::State& state, int arg = 0) {
    relievo::setWorkerThreads(static_cast<int>(state.range(arg)));
  }
  ~BenchThreads() { relievo::setWorkerThreads(0); }
  BenchThreads(const BenchThreads&) = delete;
  BenchThreads& operator=(const BenchThreads&) = delete;
};

#endif  // RELIEVO_BENCH_BENCH_GRID_H
