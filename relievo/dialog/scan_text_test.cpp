#include <gtest/gtest.h>

#include <utility>

#include "dialog/main_dialog.h"
#include "dialog/scan_dialog.h"

namespace relievo {
namespace {

// Long lines and their "..." are shown by the Scan File dialog's own tests.
TEST(ScanText, CaseBlindMatchFirstIntegerHeaderCountsAndTrimmedLines) {
  EXPECT_TRUE(lineContains("NROWS 1201", "row") && lineContains("arrow -12", "row"));
  EXPECT_FALSE(lineContains("ncols 4", "row"));
  const std::pair<const char*, int> integers[] = {
      {"arrow -12", 12}, {"x1.5e3", 1}, {"99999999999999999999", 2147483647}, {"no digits -", 7}};
  for (const auto& [text, want] : integers) {
    int value = 7;
    EXPECT_EQ(firstInteger(text, &value), want != 7) << text;
    EXPECT_EQ(value, want) << text;
  }
  ScanFileState scan{};  // later lines win, and rows are tested first
  for (const char* line : {"ncols 300", "nrows 200", "xllcorner 0", "rows and cols 5"})
    detectHeaderCounts(scan, line);
  EXPECT_EQ(std::make_pair(scan.scanWidth, scan.scanHeight), std::make_pair(300, 5));
  char line[kScanLineChars + 4] = "12 13\r\n";
  trimListedLine(line, nullptr);
  EXPECT_STREQ(line, "12 13");
}

}  // namespace
}  // namespace relievo
