// Preview building for a 4096 x 4096 in-memory source in the dialog's 210 x 260 view: the
// resampled samples (the one pass over the raster at each load) and the picture (every
// display change), plain and shaded.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_grid.h"
#include "dialog/preview_draw.h"
#include "dialog/test_host.h"

namespace {

constexpr int kEdge = 4096;

void loadGrid(relievo::ToolState& state) {
  relievo::RasterRec* raster = benchGrid(kEdge);
  relievo::testing::attach(state, raster);
  state.ranges.data.dataMin = 0.0;
  state.ranges.data.dataMax = 3000.0;
  state.ranges.dedMin = -100.0;
  state.ranges.dedMax = 2900.0;
}

void BM_PreviewBuildSamples(benchmark::State& bench) {
  relievo::testing::HostedState hosted;
  loadGrid(hosted.state);
  for (auto _ : bench)
    relievo::buildSamples(&hosted.state);
  bench.SetItemsProcessed(bench.iterations() * std::int64_t{kEdge} * kEdge);
}
BENCHMARK(BM_PreviewBuildSamples)->Unit(benchmark::kMillisecond);

void buildImage(benchmark::State& bench, int shaded) {
  relievo::testing::HostedState hosted;
  loadGrid(hosted.state);
  relievo::buildSamples(&hosted.state);
  hosted.state.preview.shaded = shaded;
  for (auto _ : bench)
    relievo::buildPicture(&hosted.state);
  const relievo::ImageBuf& samples = hosted.state.preview.previewSamples;
  bench.SetItemsProcessed(bench.iterations() * std::int64_t{samples.width} * samples.height);
}

void BM_PreviewBuildImage(benchmark::State& bench) {
  buildImage(bench, 0);
}
void BM_PreviewBuildImageShaded(benchmark::State& bench) {
  buildImage(bench, 1);
}
BENCHMARK(BM_PreviewBuildImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PreviewBuildImageShaded)->Unit(benchmark::kMicrosecond);

}  // namespace
