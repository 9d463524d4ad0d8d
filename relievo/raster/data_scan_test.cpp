#include "raster/data_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "raster/test_files.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo {
namespace {

// Counts the passes over a source, to tell a scan that reads it from one that does not.
struct PassCounter {
  static inline int passes = 0;
  static inline RasterOpenFn open = nullptr;

  static void install(RasterRec* raster) {
    passes = 0;
    open = raster->openFn;
    raster->openFn = [](RasterRec* r, void** stream) {
      ++passes;
      return open(r, stream);
    };
  }
};

class DataScan : public ::testing::Test {
 protected:
  // Takes raster as the loaded source, with its passes counted.
  void attach(RasterRec* raster) {
    ASSERT_NE(raster, nullptr);
    loaded.reset(raster);
    source.width = raster->width;
    source.height = raster->height;
    PassCounter::install(raster);
  }
  // A binary grid of unsigned bytes.
  void openBytes(int width, int height, const std::string& bytes) {
    path = dir.write("grid.bin", bytes);
    attach(rasterOpenFile(path, 0, 0, width, height, 0, SourceKind::Binary, ByteType::Int8,
                          Endian::Little, ' ', nullptr, nullptr, nullptr, 0, 0.0));
  }
  void scan() {
    const Progress progress{[](double amount, void* c) { *static_cast<double*>(c) += amount; },
                            &steps};
    scanDataRange(loaded.get(), source, range, progress);
  }

  testing::ScratchDir dir;
  testing::RasterPtr loaded;
  SourceLayout source{};
  DataRange range{};
  double steps = 0.0;
  std::string path;
};

TEST(IsUndefinedValue, TruncatesTowardZeroBeforeComparing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // {hasNullData, nullValue, value, undefined}
  const std::tuple<int, int, double, int> cases[] = {
      {1, 9, 9.0, 1},    {1, 9, 9.7, 1},         {1, 9, 8.99, 0},          {1, -9, -9.7, 1},
      {1, -10, -9.7, 0}, {1, -9999, -9999.7, 1}, {1, -9999, -10000.0, 0},  {0, 9, 9.0, 0},
      {1, 0, -0.5, 1},   {1, 0, nan, 0},         {1, INT32_MAX, 1e300, 0}, {1, INT32_MIN, -inf, 0},
  };
  for (const auto& [hasNullData, nullValue, value, undefined] : cases)
    EXPECT_EQ(isUndefinedValue({hasNullData, nullValue}, value), undefined)
        << value << " " << nullValue;
}

// A 3 x 2 grid of unsigned bytes, cut short after opening in some cases. The range comes
// from the defined values of the rows read; when there are none, the fields keep what they
// held and nothing is stored, so that every later scan reads again, while a stored range
// serves the next scan without reading.
TEST_F(DataScan, RangeOfTheDefinedValuesOfTheRowsRead) {
  const std::string grid = "\x05\x09\x01\x07\x02\x08";
  // {what, bytes, bytes left in the file, hasNullData, min, max (11 and 22 before the scan),
  // nulls found (7 before), rows delivered (one progress step each)}
  const std::tuple<const char*, std::string, int, int, double, double, int, int> cases[] = {
      {"undefined 9", grid, 6, 1, 1, 8, 1, 2},
      {"no undefined data", grid, 6, 0, 1, 9, 0, 2},
      {"second row unreadable", grid, 4, 1, 1, 5, 1, 1},
      {"all undefined", "\x09\x09\x09\x09\x09\x09", 6, 1, 11, 22, 7, 2},
      {"first row unreadable", grid, 2, 0, 11, 22, 7, 0}};
  for (const auto& [what, bytes, keep, hasNullData, min, max, nullsFound, rows] : cases) {
    SCOPED_TRACE(what);
    source.undefined = {hasNullData, 9};
    range = {11, 22, 7};
    steps = 0.0;
    openBytes(3, 2, bytes);
    std::filesystem::resize_file(path, keep);
    scan();
    EXPECT_EQ(std::tie(range.dataMin, range.dataMax, range.hasNullsFound, steps),
              std::make_tuple(min, max, nullsFound, double(rows)));
    const bool stored = min != 11;
    EXPECT_EQ(rasterGetMinMax(loaded.get(), nullptr, nullptr), stored ? 1 : 0);

    const int passes = PassCounter::passes;
    range.dataMin = -1;
    range.hasNullsFound = 5;
    scan();
    EXPECT_EQ(PassCounter::passes > passes, !stored);
    EXPECT_EQ(range.dataMin, stored ? min : -1);
    EXPECT_EQ(range.hasNullsFound, 5);
  }
}

// Undefined values are told by truncation toward zero (-9.7 is -9), and values that are not
// numbers, the first one included, are no part of the range. A text source brings its range
// from the reading: scanning it reads nothing.
TEST_F(DataScan, AFloatSourceWithUndefinedAndNonFiniteValuesAndATextSource) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  source.undefined = {1, -9};
  attach(testing::memoryRaster({{nan, -9.7f, 3, -10}, {9.7f, -8.5f, inf, -inf}}));
  scan();
  EXPECT_EQ(std::make_tuple(range.dataMin, range.dataMax, range.hasNullsFound),
            std::make_tuple(-10.0, static_cast<double>(9.7f), 1));
  attach(rasterOpenFile(dir.write("grid.txt", "5 -2 7\n1 4 3\n"), 0, 0, 3, 2, 0, SourceKind::Ascii,
                        ByteType::Int8, Endian::Little, ' ', nullptr, nullptr, nullptr, 0, 0.0));
  scan();
  EXPECT_EQ(std::make_pair(range.dataMin, range.dataMax), std::make_pair(-2.0, 7.0));
  EXPECT_EQ(PassCounter::passes, 0);
}

}  // namespace
}  // namespace relievo
