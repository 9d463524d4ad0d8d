// The main dialog walked through once for each source kind: the controls the kind shows and
// disables, the values they hold, and how they answer the user's edits.
#include <optional>
#include <tuple>

#include "e2e_support.h"
#include "sxapilib.h"

namespace relievo::e2e {
namespace {

using sxhost::PrefValue;
using sxhost::image::testing::SgiPicture;

// The rounding of the size itself is the fractal source's unit tests' case.
TEST_F(RelievoTest, FractalWalk) {
  setPref("DataType", kBinary);
  setPref("Fractal Size", 300);
  setPref("Fractal Seed", -1);  // 4294967295 as the host stores it
  setPref("Fractal Minimum", 20.0);
  start();
  c(kSourceKind).select(kFractal);
  expectShown({kSeedLabel, kSeedDown, kSeedUp, kNoiseLabel, kNoise, kValleysLabel, kValleys,
               kPlateausLabel, kPlateaus, kWater, kLevelLabel, kWaterLevel});
  expectEnabled({kFile, kBrowse, kFileSize, kHasUndefined, kUndefinedValue}, false);
  // The kind's activate clears the status line, whatever the load said.
  expectTexts({{kWidth, "256"}, {kHeight, "256"}, {kStatus, ""}, {kDedMin, "20"}});
  c(kWidth).type("1000");
  expectTexts({{kWidth, "512"}, {kHeight, "512"}, {kLatPosts, "512"}});
  c(kHeight).type("40");
  expectTexts({{kWidth, "32"}, {kHeight, "32"}, {kStatus, "Done"}});

  // Choosing the kind already chosen only clears the status line.
  int redraws = 0;
  host.setChangeListener([&](const sxhost::Control& control, sxhost::Change change) {
    if (control.id() == kPreview && change == sxhost::Change::Picture) ++redraws;
  });
  c(kSourceKind).select(kFractal);
  host.setChangeListener(nullptr);
  EXPECT_EQ(std::tuple(c(kStatus).text(), redraws, c(kPreview).visible()), std::tuple("", 0, true));

  // Water off keeps a minimum apart from 0; on makes it 0; off again makes that 0 a 1.
  const auto water = [&] {
    c(kWater).press();
    return std::tuple(c(kWater).checked(), c(kDedMin).text(), c(kWaterLevel).enabled());
  };
  EXPECT_EQ(water(), std::tuple(false, "20", false));
  EXPECT_EQ(water(), std::tuple(true, "0", true));
  EXPECT_EQ(water(), std::tuple(false, "1", false));
  // The seed wraps around both ways.
  c(kSeedUp).press();
  main().close();
  EXPECT_EQ(std::tuple(pref("Fractal Seed"), pref("Fractal Minimum"), pref("Fractal Water")),
            std::tuple(PrefValue{0}, PrefValue{1.0}, PrefValue{0}));
  start();
  c(kSeedDown).press();
  main().close();
  EXPECT_EQ(pref("Fractal Seed"), PrefValue{-1});
}

// The refusal's text is the command's failures' case.
TEST_F(RelievoTest, AsciiWalk) {
  setPref("DataType", kAscii);
  start();
  expectShown({kOffsetLabel, kOffset, kScanFile, kDelimiterLabel, kDelimiterShown, kDelimiterMenu});
  expectEnabled({kUndefinedValue, kReplaceKind, kReplaceValue}, false);
  const auto shown = [&] {
    return std::tuple(c(kDelimiterMenu).selectedPos(), c(kDelimiterShown).text(),
                      c(kOtherDelimiter).visible(), c(kEnterDelimiterLabel).visible());
  };
  EXPECT_EQ(shown(), std::tuple(5, "' '", false, false));
  // {typed, the menu position afterwards, the delimiter label afterwards}
  const std::tuple<const char*, int, const char*> entries[] = {
      {"#", 7, "'#'"}, {"  ;", 2, "';'"}, {"", 5, "' '"}, {"ab", 7, "'a'"}};
  for (const auto& [typed, type, label] : entries) {
    c(kDelimiterMenu).select(7);
    c(kOtherDelimiter).type(typed);
    EXPECT_EQ(shown(), std::tuple(type, label, type == 7, type == 7)) << '"' << typed << '"';
  }
  EXPECT_TRUE(responder().messages().empty());
  // Characters that belong to numbers are refused, each with a message, and change nothing.
  for (const char* refused : {"5", "-", ".", " 7"}) {
    c(kOtherDelimiter).type(refused);
    EXPECT_EQ(c(kDelimiterShown).text(), "'a'") << refused;
  }
  EXPECT_EQ(responder().messages().size(), 4u);
  c(kDelimiterMenu).select(1);
  EXPECT_EQ(c(kDelimiterShown).text(), "':'");
}

// The numbers of the hints are the detection's unit tests' case; here the dialog's texts.
TEST_F(RelievoTest, BinaryWalk) {
  startBinary(dir.write("thousand.raw", std::string(1000, '\1')), 10, 10);
  const std::initializer_list<int> hints = {kDataSizeHint, kDimensionHint, kSetDataSize,
                                            kSetDimension};
  // 10 x 10 bytes fit: the source loaded, the hints hidden; 1-byte elements have no byte order.
  ASSERT_EQ(c(kStatus).text(), "Done");
  expectVisible(hints, false);
  EXPECT_TRUE(c(kInt8).checked());
  expectEnabled({kBigEndian, kLittleEndian, kUndefinedValue, kReplaceKind, kReplaceValue}, false);
  c(kInt16).press();
  EXPECT_TRUE(c(kBigEndian).enabled());
  // Any change of the layout drops the source and shows the hints.
  expectShown({kOffsetLabel, kOffset, kStrideLabel, kStride, kDataSizeGroup, kInt8, kInt16, kInt32,
               kFloat32, kFloat64, kByteOrderGroup, kLittleEndian, kBigEndian, kSigned,
               kDataSizeHint, kDimensionHint, kSetDataSize, kSetDimension});
  expectEnabled({kSetDataSize, kSetDimension}, true);
  expectTexts(
      {{kDataSizeHint, "The largest data size for these\ndimensions (10 x 10) is 10 bytes."},
       {kDimensionHint,
        "The largest dimensions for this data\nsize (2-byte elements) is 22 x 22."}});
  c(kSetDimension).press();
  expectTexts({{kWidth, "22"}, {kHeight, "22"}});
  expectEnabled({kSetDataSize, kSetDimension}, false);
  c(kWidth).type("10");
  c(kHeight).type("10");
  c(kSetDataSize).press();
  EXPECT_TRUE(c(kFloat64).checked() && !c(kSetDataSize).enabled());
  // A file of 150 bytes holds one byte per value: "byte. " in the singular.
  chooseFile(dir.write("small.raw", std::string(150, '\1')));
  EXPECT_EQ(c(kDataSizeHint).text(),
            "The largest data size for these\ndimensions (10 x 10) is 1 byte. ");
  // The byte order stays chosen while 1-byte elements disable it.
  c(kBigEndian).press();
  c(kInt8).press();
  EXPECT_TRUE(!c(kBigEndian).enabled() && c(kBigEndian).checked());

  // A ".txt" file chosen keeps the kind: the 3 x 2 grid 5 9 1 / 7 2 8 of unsigned bytes.
  c(kWidth).type("3");
  c(kHeight).type("2");
  const std::string grid = dir.write("grid.txt", bytesOf({5, 9, 1, 7, 2, 8}));
  chooseFile(grid);
  c(kPreviewData).press();
  expectTexts({{kFileSize, "6"}, {kStatus, "Done"}, {kRawMax, "9"}, {kUndefinedValue, "N/A"}});
  EXPECT_EQ(c(kSourceKind).selectedPos(), kBinary);
  // The file already chosen, or a cancelled prompt, changes nothing; the prompt starts in the
  // folder of the file chosen last.
  chooseFile(grid);
  c(kBrowse).press();
  EXPECT_TRUE(c(kFile).text() == grid && c(kPreview).visible());
  EXPECT_EQ(*responder().filePrompts().back().prompt.text("PromptFileDirectory"),
            dir.root().string() + "/");

  c(kHasUndefined).press();
  expectTexts({{kUndefinedValue, "0"}, {kReplaceValue, "-32768"}});
  EXPECT_TRUE(c(kUndefinedValue).enabled() && c(kReplaceKind).enabled() &&
              !c(kReplaceValue).enabled());
  // A new undefined value rescans the loaded source.
  c(kUndefinedValue).type("9");
  expectTexts({{kStatus, "Done"}, {kRawMin, "1"}, {kRawMax, "8"}});
  c(kReplaceKind).select(2);
  c(kReplaceValue).type("-40000");
  EXPECT_TRUE(c(kReplaceValue).enabled() && c(kReplaceValue).text() == "-32768");
  // Off again: the scan counts the 9 again.
  c(kHasUndefined).press();
  expectTexts({{kRawMax, "9"}, {kUndefinedValue, "N/A"}});
  // Another file drops what was loaded.
  chooseFile(dir.write("other.txt", "5 6 7 8\n"));
  EXPECT_FALSE(c(kPreview).visible());
  main().close();
  EXPECT_EQ(std::pair(pref("ByteType"), pref("EndianType")),
            std::pair(std::optional(PrefValue{0}), std::optional(PrefValue{1})));
}

// The posts of images are checked through the command, the components each file offers by
// the image reader's unit tests; here the dialog's side of them.
TEST_F(RelievoTest, ImageWalk) {
  // Planes red, green, blue, each bottom row first.
  const SgiPicture picture{
      3, 2, 3, {200, 201, 202, 203, 204, 205, 10, 60, 30, 40, 50, 20, 90, 91, 92, 93, 94, 95}};
  const std::string source = dir.path("terrain.rgb");
  writeFile(source, sgiVerbatim(picture));
  start();
  c(kSourceKind).select(kAscii);
  chooseFile(source);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kImage);
  expectShown({kComponentGroup, kIntensity, kRed, kGreen, kBlue, kAlpha});
  expectTexts({{kWidth, "3"}, {kHeight, "2"}, {kStatus, "Done"}});  // small images load
  expectEnabled({kWidth, kHeight, kOffset, kStride, kAlpha, kUndefinedValue}, false);
  // An ".rgb" file offers every channel but alpha.
  expectEnabled({kIntensity, kRed, kGreen, kBlue}, true);
  EXPECT_TRUE(c(kIntensity).checked());
  c(kGreen).press();
  expectTexts({{kStatus, "Done"}, {kRawMin, "10"}, {kRawMax, "60"}});
}

}  // namespace
}  // namespace relievo::e2e
