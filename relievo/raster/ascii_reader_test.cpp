#include "raster/ascii_reader.h"

#include <gtest/gtest.h>

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

struct Options {
  int headerOffset = 0;
  int hasNullData = 0;
  double nullValue = 0;
  ProgressCallback progress = nullptr;
  void* context = nullptr;
};

RasterPtr openText(const std::string& path, int width, int height, const Options& o = {},
                   int* valuesRead = nullptr) {
  return RasterPtr(rasterOpenFile(path, o.headerOffset, 0, width, height, 0, SourceKind::Ascii,
                                  ByteType::Int8, Endian::Little, ',', o.progress, o.context,
                                  valuesRead, o.hasNullData, o.nullValue));
}

std::pair<double, double> rangeOf(RasterRec* raster) {
  std::pair<double, double> range{-1, -1};
  EXPECT_EQ(rasterGetMinMax(raster, &range.first, &range.second), 1);
  return range;
}

// Any character that cannot be part of a number separates, whatever the delimiter; a header
// is read as numbers unless the offset, which counts CR LF as two bytes, skips it.
TEST(AsciiReader, ValuesAsFloatsWhateverSeparatesThem) {
  const double f38 = static_cast<float>(12345678901234567890123456789012345678.0);
  const double inf = std::numeric_limits<double>::infinity();
  // {text, header offset, rows (the grid's size too)}
  const std::tuple<std::string, int, Rows> cases[] = {
      {"1,2;3|4\t5 6\n7:8", 0, {{1, 2, 3, 4}, {5, 6, 7, 8}}},
      {"12-5 1.5D3 1.5d3\n1.5E3 2.5e-3 1.2.3 - x",
       0,
       {{12, 5, 1500, 1500}, {1500, double{0.0025f}, double{1.2f}, 0}}},
      {"ncols 4\r\n1 2 3 4\r\n", 0, {{4, 1, 2, 3}}},
      {"ncols 4\r\n1 2 3 4\r\n", 9, {{1, 2, 3, 4}}},
      {"0.1 1e39 -16777217", 0, {{double{0.1f}, inf, -16777216}}},
      {"12345678901234567890123456789012345678 7", 0, {{f38, 7}}},  // 38 digits
  };
  ScratchDir dir;
  for (const auto& [text, headerOffset, rows] : cases) {
    RasterPtr raster = openText(dir.write("grid.txt", text), static_cast<int>(rows[0].size()),
                                static_cast<int>(rows.size()), {.headerOffset = headerOffset});
    ASSERT_NE(raster, nullptr) << text;
    EXPECT_EQ(readAllRows(raster.get()), rows) << text;
  }
}

TEST(AsciiReader, RangesOfTheDoublesBeforeNarrowing) {
  // {text, options, min, max}
  const std::tuple<const char*, Options, double, double> cases[] = {
      {"1 2 3", {}, 1, 3},
      {"3 2 1", {}, 1, 3},
      {"-9999 -9999.5 3", {.hasNullData = 1, .nullValue = -9999}, -9999.5, 3},
      {"-9999 -9999 -9999", {.hasNullData = 1, .nullValue = -9999}, 20000000.0, -20000000.0},
      {"-9999 -9999 -9999", {.hasNullData = 0, .nullValue = -9999}, -9999, -9999},
      {"3e7 4e7 5e7", {}, 20000000.0, 5e7},
      {"-3e7 -4e7 -5e7", {}, -5e7, -20000000.0},
      {"0.1 0.1 0.1", {}, 0.1, 0.1},
      {"0.1 1e39 -16777217", {}, -16777217, 1e39},
  };
  ScratchDir dir;
  for (const auto& [text, options, min, max] : cases) {
    RasterPtr raster = openText(dir.write("grid.txt", text), 3, 1, options);
    ASSERT_NE(raster, nullptr) << text;
    EXPECT_EQ(rangeOf(raster.get()), std::make_pair(min, max)) << text;
  }
}

TEST(AsciiReader, TextEndingEarlyFailsWithTheCountRead) {
  const std::pair<const char*, int> cases[] = {
      {"1 2 3 4 5", 5},
      {"", 0},
      {"no numbers here", 0},
      {"1 2 123456789012345678901234567890123456789 4 5 6", 2}};  // 39 digits
  ScratchDir dir;
  for (const auto& [text, read] : cases) {
    const auto live = sxhost::liveAllocations();
    int valuesRead = -1;
    EXPECT_EQ(openText(dir.write("grid.txt", text), 3, 2, {}, &valuesRead), nullptr);
    EXPECT_EQ(valuesRead, read) << text;
    EXPECT_EQ(sxhost::liveAllocations(), live) << text;
  }
}

struct Progress {
  std::vector<int> calls;
  int stopAt = -1;  // returns 0 when this many values have been read
};

int recordProgress(int unused, int valuesRead, void* context) {
  EXPECT_EQ(unused, 0);
  auto& progress = *static_cast<Progress*>(context);
  progress.calls.push_back(valuesRead);
  return valuesRead == progress.stopAt ? 0 : 1;
}

TEST(AsciiReader, ProgressAfterEveryRowAndStoppingAbandonsTheReading) {
  ScratchDir dir;
  const std::string path = dir.write("grid.txt", "1 2 3 4 5 6 7 8 9 10 11 12");
  // {stop at, progress calls, values read (12: the record is made)}
  const std::tuple<int, std::vector<int>, int> cases[] = {
      {-1, {3, 6, 9, 12}, 12}, {6, {3, 6}, 6}, {12, {3, 6, 9, 12}, 12}};
  for (const auto& [stopAt, calls, read] : cases) {
    Progress progress{{}, stopAt};
    int valuesRead = -1;
    RasterPtr raster =
        openText(path, 3, 4, {.progress = recordProgress, .context = &progress}, &valuesRead);
    EXPECT_EQ(raster != nullptr, read == 12) << stopAt;
    EXPECT_EQ(std::tie(progress.calls, valuesRead), std::tie(calls, read)) << stopAt;
  }
}

// A text grid of many rows with every kind of number and separator.
std::string generatedGrid(int width, int height) {
  std::string text = "header 12\n";  // a number the offset must skip
  for (int k = 0; k < width * height; ++k) {
    // Appended piece by piece: GCC 12 warns falsely about "-" + std::string.
    const char* prefixes[] = {"", "-", "0.", ""};
    const char* suffixes[] = {".25", "e-2", "D1", ""};
    text += prefixes[k % 4];
    text += k % 4 == 3 ? std::string("1.1") : std::to_string(k);
    text += suffixes[k % 4];
    text += (k + 1) % width != 0 ? ", " : "\n";
  }
  return text;
}

TEST(AsciiReader, StreamVariantWhenValuesCannotBeHeldGivesIdenticalRows) {
  ScratchDir dir;
  const int width = 700, height = 300;
  const std::string path = dir.write("grid.txt", generatedGrid(width, height));
  RasterPtr memory = openText(path, width, height, {.headerOffset = 10});
  ASSERT_NE(memory, nullptr);
  ASSERT_NE(memory->values, nullptr);

  Progress progress;
  RasterPtr streamed;
  {
    auto refuse = sxhost::AllocationFailure::nth(1);  // the value array
    streamed = openText(path, width, height,
                        {.headerOffset = 10, .progress = recordProgress, .context = &progress});
  }
  ASSERT_NE(streamed, nullptr);
  EXPECT_EQ(streamed->values, nullptr);
  EXPECT_EQ(progress.calls.size(), static_cast<std::size_t>(height));
  EXPECT_EQ(rangeOf(streamed.get()), rangeOf(memory.get()));
  const Rows expected = readAllRows(memory.get());
  EXPECT_EQ(readAllRows(streamed.get()), expected);
  EXPECT_EQ(readAllRows(streamed.get()), expected);  // every pass starts again

  // A pass stops where the file now ends, or at a token that has become too long.
  RasterPtr small;
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    small = openText(dir.write("small.txt", "1 2 3 4 5 6"), 2, 3);
  }
  ASSERT_NE(small, nullptr);
  ASSERT_EQ(small->values, nullptr);
  dir.write("small.txt", "1 2 3 4 5");
  int result = -1;
  EXPECT_EQ(readAllRows(small.get(), &result), (Rows{{1, 2}, {3, 4}}));
  EXPECT_EQ(result, 0);
  dir.write("small.txt", "1 2 3 " + std::string(50, '4') + " 5 6");
  EXPECT_EQ(readAllRows(small.get(), &result), (Rows{{1, 2}}));
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace relievo
