// Fractal terrain: one generation of a cleared map (diamond and square steps, one draw per
// sample), at the sizes the fractal source offers up to the largest.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "fractal/fractal_map.h"

namespace {

void BM_FractalMapGenerate(benchmark::State& state) {
  const auto n = static_cast<std::uint32_t>(state.range(0));
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
  relievo::fractalMapFree(map);
}
BENCHMARK(BM_FractalMapGenerate)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

}  // namespace
