// Raster readers: the text pass and the range scan of a binary grid (its rows read in blocks,
// as every pass of the core reads them), in bytes of file per second, on one thread and all.
// The files live in a temporary directory and are read from the page cache after the
// first iteration.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_grid.h"
#include "raster/ascii_reader.h"
#include "raster/data_scan.h"
#include "raster/raster.h"
#include "sxapilib.h"

namespace {

namespace fs = std::filesystem;

class BenchFiles {
 public:
  BenchFiles() : dir_(fs::temp_directory_path() / ("relievo-bench-" + std::to_string(getpid()))) {
    fs::create_directories(dir_);
  }
  ~BenchFiles() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  // The file `name`, made by `fill` the first time it is asked for.
  template <typename Fill>
  std::string get(const std::string& name, Fill fill) {
    const fs::path path = dir_ / name;
    if (!fs::exists(path)) {
      std::ofstream out(path, std::ios::binary);
      fill(out);
    }
    return path.string();
  }

 private:
  fs::path dir_;
};

BenchFiles& files() {
  static BenchFiles instance;
  return instance;
}

constexpr int kTextWidth = 2000;
constexpr int kTextHeight = 1000;  // 2 million values, 14 MB

void BM_AsciiTextPass(benchmark::State& state) {
  const BenchThreads threads(state);
  // Decimals of one to four digits before the point, as a terrain in metres has them, so that
  // the token lengths vary as they do in real grids.
  const std::string path = files().get("terrain.txt", [](std::ofstream& out) {
    for (int r = 0; r < kTextHeight; ++r) {
      std::string row;
      for (int c = 0; c < kTextWidth; ++c)
        row += std::to_string(std::abs((r + c * 7) % 6000 - 3000)) + ".5 ";
      out << row << '\n';
    }
  });
  const std::int64_t bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
  for (auto _ : state) {
    const relievo::AsciiTextResult result =
        relievo::asciiReadText(path.c_str(), 0, kTextWidth, kTextHeight, nullptr, nullptr, 0, 0.0);
    if (!result.ok) state.SkipWithError("text pass failed");
    benchmark::DoNotOptimize(result.values);
    sxFree(result.values);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_AsciiTextPass)->Apply(oneThreadAndAll)->Unit(benchmark::kMillisecond);

constexpr int kBinaryWidth = 4096;
constexpr int kBinaryHeight = 4096;  // 16 million 16-bit values

// Scans the range of a grid of big-endian signed 16-bit values (swapped on this machine) with
// the given stride after every value.
void BM_BinaryRangeScan(benchmark::State& state) {
  const int stride = static_cast<int>(state.range(0));
  const BenchThreads threads(state, 1);
  const std::int64_t bytes = std::int64_t{2 + stride} * kBinaryWidth * kBinaryHeight;
  const std::string path =
      files().get("grid" + std::to_string(stride) + ".bin", [&](std::ofstream& out) {
        std::vector<char> row(static_cast<std::size_t>(bytes / kBinaryHeight));
        for (std::size_t i = 0; i < row.size(); ++i)
          row[i] = static_cast<char>(i * 31);
        for (int r = 0; r < kBinaryHeight; ++r)
          out.write(row.data(), std::ssize(row));
      });
  relievo::RasterRec* raster = relievo::rasterOpenFile(
      path, 0, stride, kBinaryWidth, kBinaryHeight, 1, relievo::SourceKind::Binary,
      relievo::ByteType::Int16, relievo::Endian::Big, ' ', nullptr, nullptr, nullptr, 0, 0.0);
  if (raster == nullptr) {
    state.SkipWithError("cannot open the grid");
    return;
  }
  relievo::SourceLayout source{};
  source.width = kBinaryWidth;
  source.height = kBinaryHeight;
  for (auto _ : state) {
    relievo::rasterClearMinMax(raster);
    relievo::DataRange range{};
    relievo::scanDataRange(raster, source, range, relievo::Progress{});
    if (raster->minMaxKnown != 1) state.SkipWithError("scan failed");
    benchmark::DoNotOptimize(range);
  }
  relievo::rasterFree(raster);
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_BinaryRangeScan)
    ->ArgNames({"stride", "threads"})
    ->ArgsProduct({{0, 2}, benchThreadCounts()})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
