#include "raster/data_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "dialog/progress.h"
#include "plugin/test_host.h"
#include "raster/test_files.h"

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
  bool rangeStored() {
    double low = 0;
    double high = 0;
    return rasterGetMinMax(state.raster, &low, &high) == 1;
  }

  testing::TempDir dir;
  testing::HostedState hosted;
  ToolState& state = hosted.state;
  std::string path;
};

TEST(IsUndefinedValue, TruncatesTowardZeroBeforeComparing) {
  struct Case {
    int hasNullData;
    int nullValue;
    double value;
    int undefined;
  };
  const Case cases[] = {
      {1, 9, 9.0, 1},
      {1, 9, 9.7, 1},  // 9.7 truncates to 9
      {1, 9, 8.99, 0},
      {1, -9, -9.7, 1},  // toward zero: -9, not -10
      {1, -10, -9.7, 0},
      {1, -9999, -9999.7, 1},
      {1, -9999, -10000.0, 0},
      {0, 9, 9.0, 0},  // no undefined data at all
      {1, 0, -0.5, 1},
      {1, 0, std::numeric_limits<double>::quiet_NaN(), 0},
      {1, 2147483647, 1e300, 0},  // far outside any integer: no undefined behaviour
      {1, -2147483647 - 1, -std::numeric_limits<double>::infinity(), 0},
  };
  for (const Case& c : cases) {
    ToolState state{};
    state.hasNullData = c.hasNullData;
    state.nullValue = c.nullValue;
    EXPECT_EQ(isUndefinedValue(&state, c.value), c.undefined) << c.value << " " << c.nullValue;
  }
}

TEST_F(DataScan, ByteGridWithAndWithoutUndefinedData) {
  struct Case {
    int hasNullData;
    double minimum, maximum;
    int nullsFound;
  };
  const Case cases[] = {{1, 1, 8, 1}, {0, 1, 9, 0}};
  for (const Case& c : cases) {
    discardRaster(&state);
    state.hasNullData = c.hasNullData;
    state.nullValue = 9;
    state.hasNullsFound = 7;
    openBytes(3, 2, "\x05\x09\x01\x07\x02\x08");
    progressBegin(&state, "Scanning", 4);
    scanDataRange(&state);
    EXPECT_EQ(state.dataMin, c.minimum);
    EXPECT_EQ(state.dataMax, c.maximum);
    EXPECT_EQ(state.hasNullsFound, c.nullsFound);
    EXPECT_EQ(ReadCounter::reads, 2);
    EXPECT_EQ(state.progressAccum, 2.0);  // one step per row
    EXPECT_TRUE(rangeStored());
  }
}

TEST_F(DataScan, ASecondScanTakesTheStoredRange) {
  openBytes(3, 2, "\x05\x09\x01\x07\x02\x08");
  scanDataRange(&state);
  state.dataMin = -1;
  state.dataMax = -1;
  state.hasNullsFound = 5;
  scanDataRange(&state);
  EXPECT_EQ(ReadCounter::reads, 2);  // only the first scan read
  EXPECT_EQ(state.dataMin, 1);
  EXPECT_EQ(state.dataMax, 9);
  EXPECT_EQ(state.hasNullsFound, 5);  // left as it was
}

TEST_F(DataScan, AnAllUndefinedSourceKeepsTheOldRangeAndStoresNothing) {
  state.hasNullData = 1;
  state.nullValue = 9;
  openBytes(2, 2, "\x09\x09\x09\x09");
  state.dataMin = 11;
  state.dataMax = 22;
  state.hasNullsFound = 0;
  scanDataRange(&state);
  EXPECT_EQ(state.dataMin, 11);
  EXPECT_EQ(state.dataMax, 22);
  EXPECT_EQ(state.hasNullsFound, 0);
  EXPECT_FALSE(rangeStored());
  scanDataRange(&state);
  EXPECT_EQ(ReadCounter::reads, 4);  // so every later scan reads again
}

TEST_F(DataScan, UndefinedByTruncationInAFloatSource) {
  state.hasNullData = 1;
  state.nullValue = -9;
  testing::attach(state, testing::memoryRaster({{-9.7f, 3, -10}, {9.7f, -8.5f, 4}}));
  scanDataRange(&state);
  EXPECT_EQ(state.dataMin, -10.0);
  EXPECT_EQ(state.dataMax, static_cast<double>(9.7f));
  EXPECT_EQ(state.hasNullsFound, 1);
}

TEST_F(DataScan, ValuesThatAreNotNumbersAreNoPartOfTheRange) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  testing::attach(state, testing::memoryRaster({{nan, 3, inf}, {-inf, 2, 5}}));
  scanDataRange(&state);
  EXPECT_EQ(state.dataMin, 2.0);
  EXPECT_EQ(state.dataMax, 5.0);
}

TEST_F(DataScan, AnAsciiSourceBringsItsRangeFromTheReading) {
  path = dir.write("grid.txt", "5 -2 7\n1 4 3\n");
  RasterRec* raster = rasterOpenFile(path, 0, 0, 3, 2, 0, SourceKind::Ascii, ByteType::Int8,
                                     Endian::Little, ' ', nullptr, nullptr, nullptr, 0, 0.0);
  ASSERT_NE(raster, nullptr);
  testing::attach(state, raster);
  ReadCounter::install(raster);
  state.hasNullsFound = 1;
  scanDataRange(&state);
  EXPECT_EQ(state.dataMin, -2.0);
  EXPECT_EQ(state.dataMax, 7.0);
  EXPECT_EQ(state.hasNullsFound, 1);
  EXPECT_EQ(ReadCounter::reads, 0);
}

TEST_F(DataScan, AnUnreadableRowKeepsWhatTheRowsBeforeFound) {
  openBytes(3, 2, "\x05\x09\x01\x07\x02\x08");
  std::filesystem::resize_file(path, 4);
  scanDataRange(&state);
  EXPECT_EQ(state.dataMin, 1);
  EXPECT_EQ(state.dataMax, 9);
  EXPECT_TRUE(rangeStored());

  // The first row unreadable: nothing found, nothing changes.
  discardRaster(&state);
  openBytes(3, 2, "\x05\x09\x01\x07\x02\x08");
  std::filesystem::resize_file(path, 2);
  state.dataMin = 11;
  state.dataMax = 22;
  scanDataRange(&state);
  EXPECT_EQ(state.dataMin, 11);
  EXPECT_EQ(state.dataMax, 22);
  EXPECT_FALSE(rangeStored());
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
