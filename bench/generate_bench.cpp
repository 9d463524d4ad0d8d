// The whole Generate DED command on a 10801 x 10801 in-memory source (one degree at one
// arc-second, 233 MB of posts): conversion through the mapping, transpose into columns and
// the file writes, against one fwrite of the same number of bytes to the same directory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_grid.h"
#include "dialog/generate.h"
#include "dialog/source_loader.h"
#include "dialog/test_host.h"
#include "raster/file.h"

namespace {

constexpr int kEdge = 10801;
constexpr std::int64_t kPostBytes = std::int64_t{kEdge} * kEdge * 2;

std::string outputPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// A loaded source of kEdge x kEdge values in 0 ... 3000, its range known, as after a load.
void loadGrid(relievo::ToolState& state, relievo::DataOrder order) {
  relievo::RasterRec* raster = benchGrid(kEdge);
  relievo::testing::attach(state, raster);
  state.source.dataOrder = order;
  state.extents.latEnd = 1.0f;
  state.extents.longEnd = 1.0f;
  relievo::scanDataRange(state.raster, state.source, state.ranges.data, relievo::Progress{});
  relievo::convertRange(&state);
  relievo::spacingRule(state.extents);
}

void generate(benchmark::State& bench, relievo::DataOrder order, double dedMax) {
  relievo::testing::HostedState hosted;
  relievo::ToolState& state = hosted.state;
  loadGrid(state, order);
  // The DED range equal to the data range maps by identity; any other range linearly.
  relievo::applyDedRange(&state, 0.0, dedMax);
  const std::string path = outputPath("relievo-generate-bench.ded");
  for (auto _ : bench) {
    hosted.responder().queueFile({path});
    relievo::generateDed(&state);
  }
  if (hosted.status() != "DED file created") bench.SkipWithError(hosted.status().c_str());
  bench.SetBytesProcessed(bench.iterations() * kPostBytes);
  std::filesystem::remove(path);
}

void BM_GenerateDedRowsIdentity(benchmark::State& bench) {
  generate(bench, relievo::DataOrder::Rows, 3000.0);
}
void BM_GenerateDedRowsLinear(benchmark::State& bench) {
  generate(bench, relievo::DataOrder::Rows, 1000.0);
}
void BM_GenerateDedCols(benchmark::State& bench) {
  generate(bench, relievo::DataOrder::Cols, 1000.0);
}
BENCHMARK(BM_GenerateDedRowsIdentity)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GenerateDedRowsLinear)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GenerateDedCols)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: the same bytes in one fwrite to a new file, closed.
void BM_GenerateDedFwriteFloor(benchmark::State& bench) {
  const std::vector<std::int16_t> posts(static_cast<std::size_t>(kPostBytes / 2), 7);
  const std::string path = outputPath("relievo-fwrite-bench.ded");
  for (auto _ : bench) {
    relievo::FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
      bench.SkipWithError("cannot create the file");
      return;
    }
    benchmark::DoNotOptimize(std::fwrite(posts.data(), 2, posts.size(), file.get()));
  }
  bench.SetBytesProcessed(bench.iterations() * kPostBytes);
  std::filesystem::remove(path);
}
BENCHMARK(BM_GenerateDedFwriteFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
