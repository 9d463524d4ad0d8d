#include "raster/data_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "dialog/progress.h"
#include "plugin/test_host.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo {
namespace {

// Counts the row reads of a source, to tell a scan that iterates from one that does not.
struct ReadCounter {
  static inline int reads = 0;
  static inline RasterReadRowFn read = nullptr;

  static void install(RasterRec* raster) {
    reads = 0;
    read = raster->readRowFn;
    raster->readRowFn = [](RasterRec* r, void* stream, int row, double* out, int rows, int count) {
      ++reads;
      return read(r, stream, row, out, rows, count);
    };
  }
};

class DataScan : public ::testing::Test {
 protected:
  // A binary grid of unsigned bytes, loaded into the state with its reads counted.
  void openBytes(int width, int height, const std::string& bytes) {
    path = dir.write("grid.bin", bytes);
    RasterRec* raster =
        rasterOpenFile(path, 0, 0, width, height, 0, SourceKind::Binary, ByteType::Int8,
                       Endian::Little, ' ', nullptr, nullptr, nullptr, 0, 0.0);
    ASSERT_NE(raster, nullptr);
    testing::attach(state, raster);
    ReadCounter::install(raster);
  }

  testing::ScratchDir dir;
  testing::HostedState hosted;
  ToolState& state = hosted.state;
  std::string path;
};

TEST(IsUndefinedValue, TruncatesTowardZeroBeforeComparing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    int hasNullData, nullValue;
    double value;
    int undefined;
  } cases[] = {
      {1, 9, 9.0, 1},    {1, 9, 9.7, 1},         {1, 9, 8.99, 0},          {1, -9, -9.7, 1},
      {1, -10, -9.7, 0}, {1, -9999, -9999.7, 1}, {1, -9999, -10000.0, 0},  {0, 9, 9.0, 0},
      {1, 0, -0.5, 1},   {1, 0, nan, 0},         {1, INT32_MAX, 1e300, 0}, {1, INT32_MIN, -inf, 0},
  };
  for (const auto& c : cases) {
    ToolState state{};
    state.hasNullData = c.hasNullData;
    state.nullValue = c.nullValue;
    EXPECT_EQ(isUndefinedValue(&state, c.value), c.undefined) << c.value << " " << c.nullValue;
  }
}

// A 3 x 2 grid of unsigned bytes, cut short after opening in some cases. The range comes
// from the defined values of the rows read; when there are none, the fields keep what they
// held and nothing is stored, so that every later scan reads again, while a stored range
// serves the next scan without reading.
TEST_F(DataScan, RangeOfTheDefinedValuesOfTheRowsRead) {
  const std::string grid = "\x05\x09\x01\x07\x02\x08";
  const struct {
    const char* what;
    std::string bytes;
    int keep;  // bytes left in the file
    int hasNullData;
    double min, max;  // 11 and 22 before the scan
    int nullsFound;   // 7 before the scan
    int rows;         // rows delivered, one progress step each
  } cases[] = {
      {"undefined 9", grid, 6, 1, 1, 8, 1, 2},
      {"no undefined data", grid, 6, 0, 1, 9, 0, 2},
      {"second row unreadable", grid, 4, 1, 1, 5, 1, 1},
      {"all undefined", "\x09\x09\x09\x09\x09\x09", 6, 1, 11, 22, 7, 2},
      {"first row unreadable", grid, 2, 0, 11, 22, 7, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    discardRaster(&state);
    state.hasNullData = c.hasNullData;
    state.nullValue = 9;
    state.dataMin = 11;
    state.dataMax = 22;
    state.hasNullsFound = 7;
    openBytes(3, 2, c.bytes);
    std::filesystem::resize_file(path, c.keep);
    progressBegin(&state, "Scanning", 4);
    scanDataRange(&state);
    EXPECT_EQ(state.dataMin, c.min);
    EXPECT_EQ(state.dataMax, c.max);
    EXPECT_EQ(state.hasNullsFound, c.nullsFound);
    EXPECT_EQ(state.progressAccum, c.rows);
    const bool stored = c.min != 11;
    EXPECT_EQ(rasterGetMinMax(state.raster, nullptr, nullptr), stored ? 1 : 0);

    const int reads = ReadCounter::reads;
    state.dataMin = -1;
    state.hasNullsFound = 5;
    scanDataRange(&state);
    EXPECT_EQ(ReadCounter::reads > reads, !stored);
    EXPECT_EQ(state.dataMin, stored ? c.min : -1);
    EXPECT_EQ(state.hasNullsFound, 5);
  }
}

// Undefined values are told by truncation toward zero (-9.7 is -9), and values that are not
// numbers, the first one included, are no part of the range.
TEST_F(DataScan, AFloatSourceWithUndefinedAndNonFiniteValues) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  state.hasNullData = 1;
  state.nullValue = -9;
  testing::attach(state, testing::memoryRaster({{nan, -9.7f, 3, -10}, {9.7f, -8.5f, inf, -inf}}));
  scanDataRange(&state);
  EXPECT_EQ(state.dataMin, -10.0);
  EXPECT_EQ(state.dataMax, static_cast<double>(9.7f));
  EXPECT_EQ(state.hasNullsFound, 1);
}

// Loading a text source twice does not scan it: its reading brought the range.
TEST_F(DataScan, AnAsciiSourceBringsItsRangeFromTheReading) {
  RasterRec* raster =
      rasterOpenFile(dir.write("grid.txt", "5 -2 7\n1 4 3\n"), 0, 0, 3, 2, 0, SourceKind::Ascii,
                     ByteType::Int8, Endian::Little, ' ', nullptr, nullptr, nullptr, 0, 0.0);
  ASSERT_NE(raster, nullptr);
  testing::attach(state, raster);
  ReadCounter::install(raster);
  scanDataRange(&state);
  EXPECT_EQ(std::make_pair(state.dataMin, state.dataMax), std::make_pair(-2.0, 7.0));
  EXPECT_EQ(ReadCounter::reads, 0);
}

TEST_F(DataScan, RescanReadsAgainWithProgressAndRebuildsThePreview) {
  std::vector<std::string> statusTexts;
  hosted.host.setChangeListener([&](const sxhost::Control& control, sxhost::Change change) {
    if (control.id() == kStatusLine && change == sxhost::Change::Text) {
      statusTexts.push_back(control.text());
    }
  });
  openBytes(3, 2, "\x05\x09\x01\x07\x02\x08");
  scanDataRange(&state);
  state.dedMin = 1;
  state.dedMax = 9;
  ASSERT_EQ(ReadCounter::reads, 2);

  state.hasNullData = 1;
  state.nullValue = 9;
  rescanDataRange(&state);
  EXPECT_EQ(ReadCounter::reads, 2 + 2 + 2);  // the scan, then the preview samples
  EXPECT_EQ(state.dataMin, 1);
  EXPECT_EQ(state.dataMax, 8);
  EXPECT_EQ(state.hasNullsFound, 1);
  ASSERT_FALSE(statusTexts.empty());
  EXPECT_EQ(statusTexts.front(), "Scanning data for Min/Max values...");
  EXPECT_EQ(statusTexts.back(), "Done");
  EXPECT_EQ(hosted.control(kProgressBar).range(), std::make_pair(0.0, 4.0));
  EXPECT_EQ(hosted.control(kProgressBar).value(), 0.0);
  EXPECT_FALSE(hosted.host.waitCursorShown());
  // The preview shows the undefined value in yellow: the middle value of the first row.
  ASSERT_NE(state.previewImage.pixels, nullptr);
  EXPECT_EQ(state.previewSamples.pixels[state.previewSamples.width / 2], 0);
  EXPECT_FALSE(hosted.control(1036).lastPicture().empty());
}

}  // namespace
}  // namespace relievo
