// The main dialog's controls one by one as a user meets them: which controls each source
// kind shows, the fractal size, seed, water and sliders, the delimiter, the element type and
// byte order, choosing files, the size hints and the undefined-data group.
#include <algorithm>
#include <optional>
#include <set>
#include <tuple>

#include "e2e_support.h"
#include "sxapilib.h"

namespace relievo::e2e {
namespace {

using sxhost::Change;
using sxhost::PrefValue;

// The controls of the source panel that a kind shows, and those that it disables.
struct KindCase {
  int kind;
  std::vector<int> shown;
  std::vector<int> disabled;
};

bool contains(const std::vector<int>& ids, int id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

class MainDialogTest : public RelievoTest {
 protected:
  // Starts on a fractal source of size x size.
  void startFractal(int size) {
    setPref("Width", size);
    setPref("Height", size);
    start();
    ASSERT_EQ(c(kStatus).text(), "Done");
  }
};

TEST_F(MainDialogTest, EachKindShowsItsOwnControls) {
  const KindCase cases[] = {
      {kAscii,
       {kOffsetLabel, kOffset, kScanFile, kDelimiterLabel, kDelimiterShown, kDelimiterMenu},
       {kLittleEndian, kBigEndian, kUndefinedValue, kReplaceKind, kReplaceValue}},
      {kBinary,
       {kOffsetLabel, kOffset, kStrideLabel, kStride, kDataSizeGroup, kInt8, kInt16, kInt32,
        kFloat32, kFloat64, kByteOrderGroup, kLittleEndian, kBigEndian, kSigned, kDataSizeHint,
        kDimensionHint, kSetDataSize, kSetDimension},
       {kLittleEndian, kBigEndian, kUndefinedValue, kReplaceKind, kReplaceValue}},
      {kImage,
       {kComponentGroup, kIntensity, kRed, kGreen, kBlue, kAlpha},
       {kWidth, kHeight, kOffset, kStride, kLittleEndian, kBigEndian, kUndefinedValue, kReplaceKind,
        kReplaceValue}},
      {kFractal,
       {kSeedLabel, kSeedDown, kSeedUp, kNoiseLabel, kNoise, kValleysLabel, kValleys,
        kPlateausLabel, kPlateaus, kWater, kLevelLabel, kWaterLevel},
       {kFile, kBrowse, kFileSize, kLittleEndian, kBigEndian, kHasUndefined, kUndefinedValue,
        kReplaceKind, kReplaceValue}},
  };
  // The controls that some kind shows or disables; the "Other" delimiter's are hidden until
  // it is chosen, and the water level disabled without water (see the tests of each).
  std::set<int> kindControls = {kOtherDelimiter, kEnterDelimiterLabel};
  std::set<int> maybeDisabled = {kWaterLevel};
  for (const KindCase& k : cases) {
    kindControls.insert(k.shown.begin(), k.shown.end());
    maybeDisabled.insert(k.disabled.begin(), k.disabled.end());
  }
  setPref("DataType", kBinary);
  start();
  for (const KindCase& k : cases) {
    c(kSourceKind).select(k.kind);
    ASSERT_EQ(c(kSourceKind).selectedPos(), k.kind);
    for (const int id : kindControls)
      EXPECT_EQ(c(id).visible(), contains(k.shown, id)) << "kind " << k.kind << ", control " << id;
    for (const int id : maybeDisabled)
      EXPECT_EQ(c(id).enabled(), !contains(k.disabled, id)) << "kind " << k.kind << ", " << id;
  }
}

// The rounding itself is the fractal source's unit tests' case.
TEST_F(MainDialogTest, FractalSizeSeedAndWater) {
  setPref("DataType", kBinary);
  setPref("Fractal Size", 300);
  setPref("Fractal Seed", -1);  // 4294967295 as the host stores it
  setPref("Fractal Minimum", 20.0);
  start();
  c(kSourceKind).select(kFractal);
  // The kind's activate clears the status line, whatever the load said.
  expectTexts({{kWidth, "256"}, {kHeight, "256"}, {kStatus, ""}, {kDedMin, "20"}});
  c(kWidth).type("1000");
  expectTexts({{kWidth, "512"}, {kHeight, "512"}, {kLatPosts, "512"}});
  c(kHeight).type("40");
  expectTexts({{kWidth, "32"}, {kHeight, "32"}, {kStatus, "Done"}});

  // Choosing the kind already chosen only clears the status line.
  int redraws = 0;
  host.setChangeListener([&](const sxhost::Control& control, Change change) {
    if (control.id() == kPreview && change == Change::Picture) ++redraws;
  });
  c(kSourceKind).select(kFractal);
  host.setChangeListener(nullptr);
  EXPECT_EQ(c(kStatus).text(), "");
  EXPECT_EQ(redraws, 0);
  EXPECT_TRUE(c(kPreview).visible());

  // Water off keeps a minimum apart from 0; on makes it 0; off again makes that 0 a 1.
  EXPECT_TRUE(c(kWater).checked());
  c(kWater).press();
  EXPECT_EQ(c(kDedMin).text(), "20");
  EXPECT_FALSE(c(kWaterLevel).enabled());
  c(kWater).press();
  EXPECT_EQ(c(kDedMin).text(), "0");
  EXPECT_TRUE(c(kWaterLevel).enabled());
  c(kWater).press();
  EXPECT_EQ(c(kDedMin).text(), "1");
  // The seed wraps around both ways.
  c(kSeedUp).press();
  main().close();
  EXPECT_EQ(pref("Fractal Seed"), PrefValue{0});
  EXPECT_EQ(pref("Fractal Minimum"), PrefValue{1.0});
  EXPECT_EQ(pref("Fractal Water"), PrefValue{0});
  start();
  c(kSeedDown).press();
  main().close();
  EXPECT_EQ(pref("Fractal Seed"), PrefValue{-1});
}

TEST_F(MainDialogTest, OtherDelimiterCharacters) {
  setPref("DataType", kAscii);
  start();
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
  // Characters that belong to numbers are refused and change nothing.
  for (const char* refused : {"5", "-", ".", " 7"}) {
    c(kOtherDelimiter).type(refused);
    EXPECT_EQ(c(kDelimiterMenu).selectedPos(), 7) << refused;
  }
  EXPECT_EQ(responder().messages().size(), 4u);
  const sxhost::Message refusal = lastMessage();
  EXPECT_EQ(std::tuple(refusal.title, refusal.text, refusal.kind),
            std::tuple("Error", "ACSII data delimiter must be a non-numeric character",
                       SX_MESSAGE_ERROR));
  c(kDelimiterMenu).select(1);
  EXPECT_EQ(c(kDelimiterShown).text(), "':'");
}

// The numbers of the hints are the detection's unit tests' case; here the dialog's texts.
TEST_F(MainDialogTest, ElementTypesByteOrderAndSizeHints) {
  startBinary(dir.write("thousand.raw", std::string(1000, '\1')), 10, 10);
  const std::initializer_list<int> hints = {kDataSizeHint, kDimensionHint, kSetDataSize,
                                            kSetDimension};
  // 10 x 10 bytes fit: the source loaded, the hints hidden; 1-byte elements have no byte order.
  ASSERT_EQ(c(kStatus).text(), "Done");
  expectVisible(hints, false);
  EXPECT_TRUE(c(kInt8).checked());
  expectEnabled({kBigEndian, kLittleEndian}, false);
  for (const int id : {kInt32, kFloat32, kFloat64, kInt16}) {
    c(id).press();
    EXPECT_TRUE(c(id).checked() && c(kBigEndian).enabled()) << id;
  }
  // Any change of the layout drops the source and shows the hints.
  expectVisible(hints, true);
  expectEnabled({kSetDataSize, kSetDimension}, true);
  expectTexts(
      {{kDataSizeHint, "The largest data size for these\ndimensions (10 x 10) is 10 bytes."},
       {kDimensionHint,
        "The largest dimensions for this data\nsize (2-byte elements) is 22 x 22."}});
  c(kSetDimension).press();
  expectTexts(
      {{kWidth, "22"},
       {kHeight, "22"},
       {kDataSizeHint, "The largest data size for these\ndimensions (22 x 22) is 2 bytes."}});
  expectEnabled({kSetDataSize, kSetDimension}, false);
  c(kWidth).type("10");
  c(kHeight).type("10");
  c(kSetDataSize).press();
  EXPECT_TRUE(c(kFloat64).checked() && !c(kSetDataSize).enabled());
  EXPECT_EQ(c(kDimensionHint).text(),
            "The largest dimensions for this data\nsize (8-byte elements) is 11 x 11.");
  // A file of 150 bytes holds one byte per value: "byte. " in the singular.
  chooseFile(dir.write("small.raw", std::string(150, '\1')));
  EXPECT_EQ(c(kDataSizeHint).text(),
            "The largest data size for these\ndimensions (10 x 10) is 1 byte. ");

  // The byte order stays chosen while 1-byte elements disable it.
  c(kBigEndian).press();
  c(kInt8).press();
  EXPECT_TRUE(!c(kBigEndian).enabled() && c(kBigEndian).checked());
  main().close();
  EXPECT_EQ(std::pair(pref("ByteType"), pref("EndianType")),
            std::pair(std::optional(PrefValue{0}), std::optional(PrefValue{1})));
}

// An image file switches the kind to images, as the image conversions show.
TEST_F(MainDialogTest, ChoosingFilesKeepsTheKind) {
  const std::string text = dir.write("grid.txt", "1 2 3 4\n");
  startBinary("", 2, 2);
  chooseFile(text);
  EXPECT_EQ(std::tuple(c(kSourceKind).selectedPos(), c(kFileSize).text()), std::tuple(2, "8"));
  c(kPreviewData).press();
  ASSERT_TRUE(c(kPreview).visible());
  // The file already chosen, or a cancelled prompt, changes nothing.
  chooseFile(text);
  c(kBrowse).press();
  EXPECT_EQ(c(kFile).text(), text);
  EXPECT_TRUE(c(kPreview).visible());
  // The prompt starts in the folder of the file chosen last.
  EXPECT_EQ(*responder().filePrompts().back().prompt.text("PromptFileDirectory"),
            dir.root().string() + "/");
  // Another one drops what was loaded; the kind stays.
  chooseFile(dir.write("other.txt", "5 6 7 8\n"));
  EXPECT_FALSE(c(kPreview).visible());
  EXPECT_EQ(c(kSourceKind).selectedPos(), kBinary);
}

TEST_F(MainDialogTest, UndefinedDataGroup) {
  // The 3 x 2 grid 5 9 1 / 7 2 8 of unsigned bytes.
  startBinary(dir.write("grid.raw", bytesOf({5, 9, 1, 7, 2, 8})), 3, 2);
  ASSERT_EQ(c(kStatus).text(), "Done");
  expectTexts({{kRawMax, "9"}, {kUndefinedValue, "N/A"}, {kReplaceValue, "N/A"}});
  EXPECT_FALSE(c(kHasUndefined).checked() || c(kUndefinedValue).enabled() ||
               c(kReplaceKind).enabled());

  c(kHasUndefined).press();
  expectTexts({{kUndefinedValue, "0"}, {kReplaceValue, "-32768"}});
  EXPECT_TRUE(c(kUndefinedValue).enabled() && c(kReplaceKind).enabled() &&
              !c(kReplaceValue).enabled());

  // A new undefined value rescans the loaded source.
  c(kUndefinedValue).type("9");
  expectTexts({{kStatus, "Done"}, {kRawMin, "1"}, {kRawMax, "8"}});
  EXPECT_TRUE(c(kPreview).visible());

  c(kReplaceKind).select(2);
  EXPECT_TRUE(c(kReplaceValue).enabled());
  c(kReplaceValue).type("-40000");
  EXPECT_EQ(c(kReplaceValue).text(), "-32768");
  c(kReplaceValue).type("-500");
  EXPECT_EQ(c(kReplaceValue).text(), "-500");

  // Off again: the scan counts the 9 again.
  c(kHasUndefined).press();
  expectTexts({{kRawMax, "9"}, {kUndefinedValue, "N/A"}});
}

}  // namespace
}  // namespace relievo::e2e
