#include <gtest/gtest.h>

#include "dialog/main_dialog.h"
#include "dialog/scan_dialog.h"

namespace relievo {
namespace {

TEST(ScanText, LineContainsIgnoresCase) {
  EXPECT_TRUE(lineContains("NROWS 1201", "row"));
  EXPECT_TRUE(lineContains("arrow -12", "row"));
  EXPECT_TRUE(lineContains("Image Width: 5", "width"));
  EXPECT_FALSE(lineContains("ncols 4", "row"));
}

TEST(ScanText, FirstIntegerSkipsEverythingBeforeTheFirstDigit) {
  int value = -1;
  EXPECT_TRUE(firstInteger("arrow -12", &value));
  EXPECT_EQ(value, 12);
  EXPECT_TRUE(firstInteger("x1.5e3", &value));
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(firstInteger("99999999999999999999", &value));
  EXPECT_EQ(value, 2147483647);
  value = 7;
  EXPECT_FALSE(firstInteger("no digits -", &value));
  EXPECT_EQ(value, 7);
}

TEST(ScanText, HeaderCountsLaterLinesWin) {
  ScanFileState scan{};
  for (const char* line : {"ncols 300", "nrows 200", "xllcorner 0", "cellsize 30"}) {
    detectHeaderCounts(scan, line);
  }
  EXPECT_EQ(scan.scanWidth, 300);
  EXPECT_EQ(scan.scanHeight, 200);
  detectHeaderCounts(scan, "rows and cols 5");  // rows are tested first
  EXPECT_EQ(scan.scanHeight, 5);
  EXPECT_EQ(scan.scanWidth, 300);
}

// Long lines and their "..." are shown by the Scan File dialog's own tests.
TEST(ScanText, TrimRemovesTheLineEnd) {
  char line[kScanLineChars + 4] = "12 13\r\n";
  trimListedLine(line, nullptr);
  EXPECT_STREQ(line, "12 13");
}

}  // namespace
}  // namespace relievo
