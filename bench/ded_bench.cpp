// DED column records: dedWriteColumn (seek, one write per record) against a
// plain fwrite of the same bytes, over a slice of a 10801-post-per-column grid.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "ded/ded_writer.h"
#include "raster/file.h"

namespace {

constexpr std::int32_t kPostsPerColumn = 10801;
constexpr std::int32_t kColumns = 512;  // a slice of the 10801 columns of a full grid

using File = relievo::FilePtr;

std::vector<std::int16_t> grid() {
  std::vector<std::int16_t> posts(std::size_t{kColumns} * kPostsPerColumn);
  for (std::size_t i = 0; i < posts.size(); ++i)
    posts[i] = static_cast<std::int16_t>(i * 7);
  return posts;
}

void BM_DedWriteColumn(benchmark::State& state) {
  File file(relievo::dedWriteHeader(std::tmpfile()));
  if (!file) {
    state.SkipWithError("no temporary file");
    return;
  }
  std::vector<std::int16_t> posts = grid();
  for (auto _ : state) {
    for (std::int32_t c = 0; c < kColumns; ++c) {
      const auto column =
          std::span(posts).subspan(static_cast<std::size_t>(c) * kPostsPerColumn, kPostsPerColumn);
      benchmark::DoNotOptimize(relievo::dedWriteColumn(file.get(), c, column, kPostsPerColumn));
    }
    std::fflush(file.get());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(posts.size() * 2));
}
BENCHMARK(BM_DedWriteColumn)->Unit(benchmark::kMillisecond);

void BM_PlainFwrite(benchmark::State& state) {
  File file(std::tmpfile());
  if (!file) {
    state.SkipWithError("no temporary file");
    return;
  }
  const std::vector<std::int16_t> posts = grid();
  for (auto _ : state) {
    std::fseek(file.get(), relievo::kDedDataOffset, SEEK_SET);
    for (std::int32_t c = 0; c < kColumns; ++c) {
      benchmark::DoNotOptimize(
          std::fwrite(posts.data() + static_cast<std::size_t>(c) * kPostsPerColumn,
                      sizeof(std::int16_t), kPostsPerColumn, file.get()));
    }
    std::fflush(file.get());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(posts.size() * 2));
}
BENCHMARK(BM_PlainFwrite)->Unit(benchmark::kMillisecond);

}  // namespace
