// Fractal terrain: one generation of a cleared map (diamond and square steps, one draw per
// sample), at the sizes the fractal source offers up to the largest, on one thread and all;
// bytes are those of the map's floats.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_grid.h"
#include "fractal/fractal_map.h"

namespace {

void BM_FractalMapGenerate(benchmark::State& state) {
  const auto n = static_cast<std::uint32_t>(state.range(0));
  const BenchThreads threads(state, 1);
  relievo::FractalMap* map = relievo::fractalMapCreate(n);
  if (map == nullptr) {
    state.SkipWithError("map cannot be allocated");
    return;
  }
  std::uint32_t seed = 1;
  for (auto _ : state) {
    state.PauseTiming();
    relievo::fractalMapClear(map);
    state.ResumeTiming();
    relievo::fractalMapGenerate(map, seed++, 0.5f, 0.0f);
    benchmark::DoNotOptimize(map->range);
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t{n} * n);
  state.SetBytesProcessed(state.iterations() * std::int64_t{n + 1} * (n + 1) *
                          std::int64_t{sizeof(float)});
  relievo::fractalMapFree(map);
}
BENCHMARK(BM_FractalMapGenerate)
    ->ArgNames({"n", "threads"})
    ->ArgsProduct({{256, 1024, 4096}, benchThreadCounts()})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
