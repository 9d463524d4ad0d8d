// The "Fractal Generator" source at the sizes it offers: a first load (cache, field,
// generation, both passes), a load with a new seed (the cached field cleared and generated
// again) and a load that only reshapes the cached field (a valleys, plateaus or water move).
// The "allocations" counter is the host blocks asked for per load: besides the field of
// (n + 1)^2 floats, a load allocates only its values and its record.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "fractal/fractal_source.h"
#include "sxhost/memory.h"

namespace {

using relievo::RasterRec;

// The generator's cache, as the tool keeps it between loads.
relievo::FractalCache* cache = nullptr;

RasterRec* load(std::uint32_t n, std::uint32_t seed) {
  int count = 0;
  return relievo::rasterOpenFractal(&cache, n, seed, 0.2f, 0.3f, 0.25f, 0.4f, 1, nullptr, nullptr,
                                    &count);
}

void report(benchmark::State& state, std::uint32_t n, std::uint64_t allocations) {
  state.SetItemsProcessed(state.iterations() * std::int64_t{n} * n);
  state.counters["allocations"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void BM_FractalSourceFirstLoad(benchmark::State& state) {
  const auto n = static_cast<std::uint32_t>(state.range(0));
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    relievo::fractalFreeCache(&cache);
    const std::uint64_t before = sxhost::allocationRequests();
    state.ResumeTiming();
    RasterRec* raster = load(n, 1);
    state.PauseTiming();
    allocations += sxhost::allocationRequests() - before;
    if (raster == nullptr) state.SkipWithError("the source was not made");
    relievo::rasterFree(raster);
    state.ResumeTiming();
  }
  relievo::fractalFreeCache(&cache);
  report(state, n, allocations);
}
BENCHMARK(BM_FractalSourceFirstLoad)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

// Later loads of a cached field: with a new seed the field is generated again in place;
// with the same seed (a slider other than noise moved) only the values are reshaped.
void laterLoads(benchmark::State& state, std::uint32_t seedStep) {
  const auto n = static_cast<std::uint32_t>(state.range(0));
  std::uint32_t seed = 1;
  relievo::rasterFree(load(n, seed));
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    const std::uint64_t before = sxhost::allocationRequests();
    seed += seedStep;
    RasterRec* raster = load(n, seed);
    allocations += sxhost::allocationRequests() - before;
    if (raster == nullptr) state.SkipWithError("the source was not made");
    state.PauseTiming();
    relievo::rasterFree(raster);
    state.ResumeTiming();
  }
  relievo::fractalFreeCache(&cache);
  report(state, n, allocations);
}

void BM_FractalSourceNewSeed(benchmark::State& state) {
  laterLoads(state, 1);
}
BENCHMARK(BM_FractalSourceNewSeed)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_FractalSourceReshapeOnly(benchmark::State& state) {
  laterLoads(state, 0);
}
BENCHMARK(BM_FractalSourceReshapeOnly)
    ->Arg(256)
    ->Arg(1024)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);

}  // namespace
