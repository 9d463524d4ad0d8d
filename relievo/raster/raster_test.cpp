#include "raster/raster.h"
#include "raster/resample.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "raster/test_files.h"
#include "relievo_testing/scratch_dir.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::RasterPtr;
using testing::readAllRows;
using testing::Rows;
using testing::ScratchDir;

int keepGoing(const double*, int, int, void*) {
  return 1;
}

RasterRec* openFile(const std::string& path, SourceKind kind, int headerOffset, int width,
                    int height, int* valuesRead) {
  return rasterOpenFile(path, headerOffset, 0, width, height, 0, kind, ByteType::Int8,
                        Endian::Little, ' ', nullptr, nullptr, valuesRead, 0, 0.0);
}

TEST(RasterRecord, AllocateGivesAValidRecordOrNothing) {
  const auto live = sxhost::liveAllocations();
  RasterPtr raster(rasterAllocate("/data/grid.txt"));
  ASSERT_NE(raster, nullptr);
  EXPECT_TRUE(rasterIsValid(raster.get()));
  EXPECT_STREQ(raster->path, "/data/grid.txt");
  const std::string longest(kPathSize - 1, 'a');
  EXPECT_EQ(std::string(RasterPtr(rasterAllocate(longest))->path), longest);
  EXPECT_EQ(rasterAllocate(std::string(kPathSize, 'a')), nullptr);
  EXPECT_EQ(rasterAllocate(std::string_view("a\0b", 3)), nullptr);
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(rasterAllocate("grid"), nullptr);
  }
  raster.reset();
  EXPECT_EQ(sxhost::liveAllocations(), live);
}

// rasterFree leaves self null and magic 0 behind; the freed block itself cannot be touched,
// so that state is built by hand, and every operation must refuse it.
TEST(RasterRecord, InvalidRecordsAreRefusedByEveryOperation) {
  EXPECT_FALSE(rasterIsValid(nullptr));
  RasterRec* raster = testing::gridRaster(2, 2).release();
  RasterRec copy = *raster;  // self points at the original, not at the copy
  EXPECT_FALSE(rasterIsValid(&copy));
  raster->magic = kRasterMagic + 1;
  EXPECT_FALSE(rasterIsValid(raster));
  raster->magic = 0;
  raster->self = nullptr;
  raster->minMaxKnown = 1;
  double low = 5, high = 6;
  EXPECT_EQ(rasterForEachRow(raster, 2, 2, keepGoing, nullptr) +
                rasterForEachRowAll(raster, keepGoing, nullptr) +
                rasterResample(raster, 4, 4, testing::collectResampled, nullptr, {}, 1.0) +
                rasterSetMinMax(raster, 1, 2) + rasterGetMinMax(raster, &low, &high) +
                rasterClearMinMax(raster),
            0);
  EXPECT_EQ(std::make_pair(low, raster->minMaxKnown), std::make_pair(5.0, 1));
  raster->openFn = nullptr;
  rasterUseMemoryVariant(raster);
  EXPECT_EQ(raster->openFn, nullptr);

  const auto live = sxhost::liveAllocations();
  rasterFree(raster);  // left alone
  EXPECT_EQ(sxhost::liveAllocations(), live);
  raster->self = raster;
  raster->magic = kRasterMagic;
  rasterFree(raster);
  EXPECT_EQ(sxhost::liveAllocations(), live - 2);  // the record and its values
}

TEST(RasterFileSize, SizesOfFilesAndNonFilesSaturatingBeyond2GiB) {
  ScratchDir dir;
  EXPECT_EQ(rasterFileSize(dir.write("ten", "0123456789")), 10);
  EXPECT_EQ(rasterFileSize(dir.write("empty", "")), 0);
  EXPECT_EQ(rasterFileSize(dir.path("missing")), 0);
  EXPECT_EQ(rasterFileSize(dir.path("")), 0);  // the directory itself
  const std::string big = dir.write("big", "");
  std::error_code error;
  std::filesystem::resize_file(big, 5ull << 30, error);  // sparse on every usual file system
  if (error) GTEST_SKIP() << "cannot make a 5 GiB sparse file: " << error.message();
  EXPECT_EQ(rasterFileSize(big), std::numeric_limits<std::int32_t>::max());
}

TEST(RasterOpenFile, FailuresGiveNullWithTheValuesReadAndLeaveNothingBehind) {
  // {name, kind, contents (null: no file at that path; "<dir>": a directory), header offset,
  // width, height, values read}
  const std::tuple<const char*, SourceKind, const char*, int, int, int, int> cases[] = {
      {"AsciiMissing", SourceKind::Ascii, nullptr, 0, 2, 2, 0},
      {"AsciiDirectory", SourceKind::Ascii, "<dir>", 0, 2, 2, 0},
      {"BinaryEmpty", SourceKind::Binary, "", 0, 1, 1, 0},
      {"AsciiOffsetBeyondEnd", SourceKind::Ascii, "1 2 3 4", 8, 2, 2, 0},
      {"AsciiNegativeOffset", SourceKind::Ascii, "1 2 3 4", -1, 2, 2, 0},
      {"WidthZero", SourceKind::Ascii, "1 2 3 4", 0, 0, 2, 0},
      {"HeightNegative", SourceKind::Binary, "abcd", 0, 2, -2, 0},
      {"ImageKind", SourceKind::Image, "abcd", 0, 2, 2, 0},
      {"BinaryTooSmall", SourceKind::Binary, "abc", 0, 2, 2, 3},
  };
  for (const auto& [name, kind, contents, headerOffset, width, height, read] : cases) {
    ScratchDir dir;
    std::string path = dir.path("source");
    if (contents != nullptr && std::string_view(contents) == "<dir>") {
      path = dir.path("");
    } else if (contents != nullptr) {
      dir.write("source", contents);
    }
    const auto live = sxhost::liveAllocations();
    int valuesRead = -1;
    EXPECT_EQ(openFile(path, kind, headerOffset, width, height, &valuesRead), nullptr) << name;
    EXPECT_EQ(valuesRead, read) << name;
    EXPECT_EQ(sxhost::liveAllocations(), live) << name;
  }
}

TEST(RasterOpenFile, RefusesGridsBeyond32BitsAndLongPathsBeforeAllocating) {
  ScratchDir dir;
  const std::string path = dir.write("grid", "1 2 3 4");
  for (SourceKind kind : {SourceKind::Ascii, SourceKind::Binary}) {
    const auto requests = sxhost::allocationRequests();
    int valuesRead = -1;
    EXPECT_EQ(openFile(path, kind, 0, 46341, 46341, &valuesRead), nullptr);
    EXPECT_EQ(openFile(std::string(kPathSize, 'x'), kind, 0, 1, 1, &valuesRead), nullptr);
    EXPECT_EQ(valuesRead, 0);
    EXPECT_EQ(sxhost::allocationRequests(), requests);
  }
}

// A text source is read into memory with its range; a binary one is streamed without a range,
// each pass from the start.
TEST(RasterOpenFile, TextSourcesAreReadIntoMemoryAndBinaryOnesStreamed) {
  ScratchDir dir;
  const std::string path = dir.write("grid.txt", "header\n1 2 3\n4 5 6\n");
  int valuesRead = -1;
  RasterPtr raster(rasterOpenFile(path, 7, 9, 3, 2, 1, SourceKind::Ascii, ByteType::Int16,
                                  Endian::Big, ',', nullptr, nullptr, &valuesRead, 0, 0.0));
  ASSERT_NE(raster, nullptr);
  EXPECT_STREQ(raster->path, path.c_str());
  EXPECT_EQ(std::tie(valuesRead, raster->fileSize, raster->headerOffset, raster->dataStride,
                     raster->isSigned, raster->byteType, raster->endianType, raster->sourceKind,
                     raster->delimiter),
            std::make_tuple(6, 19, 7, 9, 1, ByteType::Int16, Endian::Big, SourceKind::Ascii, ','));
  double low = 0, high = 0;
  EXPECT_EQ(rasterGetMinMax(raster.get(), &low, &high), 1);
  EXPECT_EQ(std::make_pair(low, high), std::make_pair(1.0, 6.0));
  EXPECT_EQ(readAllRows(raster.get()), (Rows{{1, 2, 3}, {4, 5, 6}}));

  raster.reset(openFile(dir.write("grid.bin", "\x01\x02\x03\x04\x05\x06"), SourceKind::Binary, 0, 2,
                        2, &valuesRead));
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(std::make_tuple(valuesRead, raster->values, raster->fileSize),
            std::make_tuple(6, nullptr, 6));  // the available count
  EXPECT_EQ(rasterGetMinMax(raster.get(), nullptr, nullptr), 0);
  EXPECT_EQ(readAllRows(raster.get()), (Rows{{1, 2}, {3, 4}}));
  EXPECT_EQ(readAllRows(raster.get()), (Rows{{1, 2}, {3, 4}}));
}

// Each block a pass over a file takes (the row, then the stream with the stride buffer or the
// text reader's buffer) refused in turn: that pass fails and leaves nothing behind, and the
// next one reads as before. A text source read at opening fails the same way.
TEST(RasterOpenFile, PassesRefusedMemoryFailAndLeaveNothing) {
  ScratchDir dir;
  const std::string text = dir.write("grid.txt", "1 2\n3 4\n");
  std::vector<std::pair<RasterPtr, int>> sources;  // a source and the blocks of its pass
  sources.emplace_back(
      openFile(dir.write("grid.bin", "\x01\x02\x03\x04"), SourceKind::Binary, 0, 2, 2, nullptr), 2);
  sources.emplace_back(rasterOpenFile(dir.write("strided.bin", std::string("\1\0\2\0\3\0\4", 7)), 0,
                                      1, 2, 2, 0, SourceKind::Binary, ByteType::Int8,
                                      Endian::Little, ' ', nullptr, nullptr, nullptr, 0, 0.0),
                       3);
  {
    auto refuse = sxhost::AllocationFailure::nth(1);  // the values: the text is streamed
    sources.emplace_back(openFile(text, SourceKind::Ascii, 0, 2, 2, nullptr), 3);
  }
  for (auto& [raster, blocks] : sources) {
    ASSERT_NE(raster, nullptr);
    const auto live = sxhost::liveAllocations();
    for (int n = 1; n <= blocks; ++n) {
      int result = -1;
      {
        auto refuse = sxhost::AllocationFailure::nth(n);
        readAllRows(raster.get(), &result);
      }
      EXPECT_EQ(result, 0) << raster->path << " block " << n;
      EXPECT_EQ(sxhost::liveAllocations(), live) << raster->path << " block " << n;
    }
    EXPECT_EQ(readAllRows(raster.get()), (Rows{{1, 2}, {3, 4}})) << raster->path;
  }
  // At opening: the values, the text reader's buffer, then the record.
  const auto live = sxhost::liveAllocations();
  for (int n : {2, 3}) {
    int valuesRead = -1;
    auto refuse = sxhost::AllocationFailure::nth(n);
    EXPECT_EQ(openFile(text, SourceKind::Ascii, 0, 2, 2, &valuesRead), nullptr);
    EXPECT_EQ(valuesRead, 0);
  }
  EXPECT_EQ(sxhost::liveAllocations(), live);
}

}  // namespace
}  // namespace relievo
