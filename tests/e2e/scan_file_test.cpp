// The Scan File dialog (108) opened from the main dialog's "Scan File..." button: the listed
// lines, detected counts, picking a line, the "Get" buttons, OK and Cancel.
#include <tuple>

#include "e2e_support.h"

namespace relievo::e2e {
namespace {

class ScanFileTest : public RelievoTest {
 protected:
  // Header lines of the counts ending in CR LF, a 200-character line, then numbered lines up
  // to 100.
  void SetUp() override {
    std::string text = "ncols 300\r\nnrows 200\r\n";
    for (int i = 0; i < 200; ++i)
      longLine += static_cast<char>('0' + i % 10);
    text += longLine + "\n";
    for (int line = 4; line <= 100; ++line)
      text += std::to_string(line) + " 5 6\n";
    writeFile(source, text);
    setPref("DataType", kAscii);
    setPref("FileName", source);
    setPref("Width", 7);
    setPref("Height", 8);
  }

  sxhost::Dialog& openScan() {
    c(kScanFile).press();
    sxhost::Dialog& scan = host.dialog(108);
    EXPECT_TRUE(scan.visible());
    return scan;
  }

  const std::string source = dir.path("grid.asc");
  std::string longLine;
  // Where the lines of the file start: the offsets count the carriage returns.
  static constexpr int kThirdLine = 22;
  static constexpr int kFourthLine = kThirdLine + 201;
  static constexpr int kFifthLine = kFourthLine + 6;
};

TEST_F(ScanFileTest, ListsFortyLinesDetectsTheCountsAndTakesAPickedLine) {
  start();
  sxhost::Dialog& scan = openScan();
  // Cancel keeps the main dialog's values.
  scan.control(kScanList).select(5);
  scan.control(kScanColumns).type("12");
  scan.control(kScanCancel).press();
  EXPECT_FALSE(scan.visible());
  expectTexts({{kOffset, "0"}, {kWidth, "7"}, {kHeight, "8"}});

  openScan();
  sxhost::Control& list = scan.control(kScanList);
  const std::vector<std::string> items = list.items();
  ASSERT_EQ(items.size(), 40u);
  EXPECT_EQ((std::vector<std::string>{items[0], items[1], items[2], items[3], items[39]}),
            (std::vector<std::string>{"ncols 300", "nrows 200", longLine.substr(0, 94) + "...",
                                      "4 5 6", "40 5 6"}));
  // The offset, columns and rows the Scan File dialog shows.
  const auto shown = [&] {
    return std::tuple(scan.control(kScanOffset).text(), scan.control(kScanColumns).text(),
                      scan.control(kScanRows).text());
  };
  EXPECT_EQ(std::tuple(scan.caption(), scan.helpContext(), list.fixedFont(), list.selectedPos(),
                       list.topPos()),
            std::tuple("Scan File", "130022", true, 1, 1));
  EXPECT_EQ(shown(), std::tuple("0", "300", "200"));

  // Picking a line sets the offset; "Get" reads the line's first number.
  scan.control(kScanList).select(4);
  scan.control(kScanGetColumns).press();
  EXPECT_EQ(shown(), std::tuple(std::to_string(kFourthLine), "4", "200"));
  scan.control(kScanGetRows).press();
  EXPECT_EQ(scan.control(kScanRows).text(), "4");

  // A typed count is taken; a negative one is not.
  scan.control(kScanColumns).type("77");
  scan.control(kScanRows).type("-5");
  scan.control(kScanOk).press();
  EXPECT_FALSE(scan.visible());
  expectTexts({{kOffset, std::to_string(kFourthLine)}, {kWidth, "77"}, {kHeight, "4"}});

  // Opened again, the line holding the data offset comes up selected, also for an offset
  // inside a line; OK without a pick keeps the offset and takes the counts detected afresh.
  openScan();
  EXPECT_EQ(std::tuple(list.selectedPos(), scan.control(kScanOffset).text()),
            std::tuple(4, std::to_string(kFourthLine)));
  scan.control(kScanCancel).press();
  c(kOffset).type(std::to_string(kFifthLine + 2));
  openScan();
  EXPECT_EQ(std::tuple(list.selectedPos(), scan.control(kScanOffset).text()),
            std::tuple(5, std::to_string(kFifthLine + 2)));
  scan.control(kScanOk).press();
  expectTexts({{kOffset, std::to_string(kFifthLine + 2)}, {kWidth, "300"}, {kHeight, "200"}});
}

TEST_F(ScanFileTest, AFileThatCannotBeOpenedListsOneErrorLine) {
  setPref("FileName", dir.path("missing.asc"));
  start();
  sxhost::Dialog& scan = openScan();
  EXPECT_EQ(scan.control(kScanList).items(), std::vector<std::string>{"Error Opening File"});
  scan.control(kScanOk).press();
  expectTexts({{kWidth, "7"}, {kHeight, "8"}});
}

}  // namespace
}  // namespace relievo::e2e
