#include "ded/export.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <tuple>
#include <vector>

#include "ded/transpose.h"
#include "raster/test_files.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

// Notes every call; the step numbered failAt (1 open, 2 begin, 3 the first write, 4 finish;
// 0 none) fails with EIO.
struct RecordingWriter final : PostWriter {
  int failAt = 0;
  std::vector<std::string> calls;
  std::vector<std::int16_t> posts;
  DedFrame frame{};

  int step(int n, std::string call) {
    calls.push_back(std::move(call));
    return n == failAt ? EIO : 0;
  }
  int open(const char* path) override { return step(1, std::string("open ") + path); }
  int begin(const DedFrame& f) override {
    frame = f;
    return step(2, "begin");
  }
  int write(std::int32_t first, std::span<const std::int16_t> run) override {
    for (const std::int16_t post : run)
      posts.push_back(bigEndianPost(post));
    return step(calls.back().starts_with("write") ? 5 : 3,
                "write " + std::to_string(first) + " " + std::to_string(run.size()));
  }
  int finish(bool complete) override { return step(4, complete ? "finish" : "abandon"); }
};

struct Converted {
  ExportResult result;
  double progress = 0.0;
};

Converted convert(RasterRec* raster, PostWriter& writer) {
  SourceLayout source{};
  source.width = raster->width;
  source.height = raster->height;
  ElevationRanges ranges{};
  ranges.units = 4;
  ranges.data = {0.0, 999.0, 0};
  rasterSetMinMax(raster, 0.0, 999.0);
  ranges.dedMin = 0.0;
  ranges.dedMax = 999.0;
  Extents extents{
      0, 1, 0, 1, 30, 30, static_cast<float>(raster->height), static_cast<float>(raster->width)};
  Converted out;
  const Progress progress{[](double amount, void* c) { *static_cast<double*>(c) += amount; },
                          &out.progress};
  out.result = exportDed({raster, source, ranges, extents}, writer, "out.ded", progress);
  return out;
}

// Records of 2^18 posts go to the writer two a call (half a MiB each), in DED order, after
// the frame; the progress moves by the rows converted and the rows written.
TEST(ExportDed, PostsGoToTheWriterInBatchesOfWholeRecords) {
  constexpr int kWidth = 5;
  constexpr int kHeight = 1 << 18;
  std::vector<float> values(std::size_t{kWidth} * kHeight);
  for (std::size_t k = 0; k < values.size(); ++k)
    values[k] = static_cast<float>((k / kWidth + 7 * (k % kWidth)) % 1000);
  const testing::RasterPtr raster(testing::memoryRaster(kWidth, kHeight, values));
  RecordingWriter writer;
  const Converted out = convert(raster.get(), writer);
  EXPECT_EQ(out.result.status, ExportStatus::Done);
  EXPECT_EQ(writer.calls, (std::vector<std::string>{"open out.ded", "begin", "write 0 524288",
                                                    "write 2 524288", "write 4 262144", "finish"}));
  EXPECT_EQ(std::make_tuple(writer.frame.records, writer.frame.postsPerRecord, writer.frame.lowest,
                            writer.frame.highest, writer.frame.latPosts),
            std::make_tuple(kWidth, kHeight, 0, 999, kHeight));
  ASSERT_EQ(writer.posts.size(), values.size());
  for (std::size_t k = 0; k < values.size(); k += 9973) {
    const std::size_t column = k / kHeight, row = k % kHeight;
    EXPECT_EQ(writer.posts[k], values[row * kWidth + column]) << k;
  }
  EXPECT_DOUBLE_EQ(out.progress, 2.0 * kHeight);
}

// A failing step ends the output with finish(false); the posts are taken before the writer
// is asked for anything.
TEST(ExportDed, FailuresEndTheOutputAndSayWhere) {
  // {failing step, status, calls}
  const std::tuple<int, ExportStatus, std::vector<std::string>> cases[] = {
      {1, ExportStatus::CannotCreate, {"open out.ded"}},
      {2, ExportStatus::CannotWrite, {"open out.ded", "begin", "abandon"}},
      {3, ExportStatus::CannotWrite, {"open out.ded", "begin", "write 0 4", "abandon"}},
      {4, ExportStatus::CannotWrite, {"open out.ded", "begin", "write 0 4", "finish"}},
  };
  for (const auto& [failAt, status, calls] : cases) {
    const testing::RasterPtr raster(testing::memoryRaster({{1, 2}, {3, 4}}));
    RecordingWriter writer;
    writer.failAt = failAt;
    const ExportResult result = convert(raster.get(), writer).result;
    EXPECT_EQ(std::tie(result.status, result.error, writer.calls),
              std::make_tuple(status, EIO, calls))
        << failAt;
  }
  const testing::RasterPtr raster(testing::memoryRaster({{1, 2}, {3, 4}}));
  RecordingWriter writer;
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(convert(raster.get(), writer).result.status, ExportStatus::NoMemory);
  }
  raster->readRunFn = [](const RasterRec*, void*, std::int64_t, std::int64_t, void*, ValueRun*) {
    return std::int64_t{0};
  };
  EXPECT_EQ(convert(raster.get(), writer).result.status, ExportStatus::CannotRead);
  EXPECT_EQ(writer.calls, (std::vector<std::string>{"open out.ded", "abandon"}));
}

}  // namespace
}  // namespace relievo
