// The main dialog's controls one by one as a user meets them: which controls each source
// kind shows, the fractal size, seed, water and sliders, the delimiter, the element type and
// byte order, automatic loading, the size hints and the undefined-data group.
#include <algorithm>
#include <cmath>

#include "e2e_support.h"
#include "sgi_test_writer.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

namespace relievo::e2e {
namespace {

using sxhost::Change;

// Controls shown only for some source kinds.
// clang-format off
const std::vector<int> kKindControls = {
    kOffsetLabel, kOffset, kStrideLabel, kStride, kDataSizeGroup, kInt8, kInt16, kInt32,
    kFloat32, kFloat64, kByteOrderGroup, kLittleEndian, kBigEndian, kSigned,
    kScanFile, kDelimiterLabel, kDelimiterShown, kDelimiterMenu, kEnterDelimiterLabel,
    kOtherDelimiter,
    kComponentGroup, kIntensity, kRed, kGreen, kBlue, kAlpha,
    kSeedLabel, kSeedDown, kSeedUp, kNoiseLabel, kNoise, kValleysLabel, kValleys,
    kPlateausLabel, kPlateaus, kWater, kLevelLabel, kWaterLevel,
    kDataSizeHint, kDimensionHint, kSetDataSize, kSetDimension};
// clang-format on

struct KindCase {
  int kind;
  std::vector<int> shown;     // of kKindControls; the others are hidden
  std::vector<int> disabled;  // of every control listed in kMaybeDisabled
};

// Controls that some kind disables.
const std::vector<int> kMaybeDisabled = {
    kFile,           kBrowse,      kFileSize,     kWidth,      kHeight,
    kOffset,         kStride,      kLittleEndian, kBigEndian,  kHasUndefined,
    kUndefinedValue, kReplaceKind, kReplaceValue, kWaterLevel,
};

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
  setPref("DataType", kBinary);
  start();
  for (const KindCase& k : cases) {
    c(kSourceKind).select(k.kind);
    ASSERT_EQ(c(kSourceKind).selectedPos(), k.kind);
    for (const int id : kKindControls) {
      const bool shown = std::find(k.shown.begin(), k.shown.end(), id) != k.shown.end();
      EXPECT_EQ(c(id).visible(), shown) << "kind " << k.kind << ", control " << id;
    }
    for (const int id : kMaybeDisabled) {
      const bool disabled = std::find(k.disabled.begin(), k.disabled.end(), id) != k.disabled.end();
      EXPECT_EQ(c(id).enabled(), !disabled) << "kind " << k.kind << ", control " << id;
    }
  }

  // Water off disables the level; "Other" shows the delimiter field with its label.
  c(kWater).press();
  EXPECT_FALSE(c(kWaterLevel).enabled());
  c(kSourceKind).select(kAscii);
  c(kDelimiterMenu).select(7);
  EXPECT_TRUE(c(kOtherDelimiter).visible());
  EXPECT_TRUE(c(kEnterDelimiterLabel).visible());
}

TEST_F(MainDialogTest, FractalSizeIsRoundedToAPowerOfTwo) {
  setPref("DataType", kBinary);
  setPref("Fractal Size", 300);
  setPref("Width", 16);
  setPref("Height", 16);
  start();
  c(kSourceKind).select(kFractal);
  EXPECT_EQ(c(kWidth).text(), "256");
  EXPECT_EQ(c(kHeight).text(), "256");
  EXPECT_TRUE(c(kPreview).visible());
  // The kind's activate clears the status line, whatever the load said.
  EXPECT_EQ(c(kStatus).text(), "");

  const std::pair<const char*, const char*> typed[] = {
      {"0", "4"}, {"3000", "2048"}, {"1000", "512"}, {"3", "2"}, {"64", "64"}};
  for (const auto& [entry, size] : typed) {
    c(kWidth).type(entry);
    EXPECT_EQ(c(kWidth).text(), size) << entry;
    EXPECT_EQ(c(kHeight).text(), size) << entry;
    EXPECT_EQ(c(kLatPosts).text(), size) << entry;
  }
  c(kHeight).type("40");
  EXPECT_EQ(c(kWidth).text(), "32");
  EXPECT_EQ(c(kHeight).text(), "32");
  EXPECT_EQ(c(kStatus).text(), "Done");
}

TEST_F(MainDialogTest, ChoosingTheChosenKindAgainOnlyClearsTheStatus) {
  startFractal(32);
  c(kSeedUp).press();
  ASSERT_EQ(c(kStatus).text(), "Done");
  int redraws = 0;
  host.setChangeListener([&](const sxhost::Control& control, Change change) {
    if (control.id() == kPreview && change == Change::Picture) ++redraws;
  });
  c(kSourceKind).select(kFractal);
  host.setChangeListener(nullptr);
  EXPECT_EQ(c(kStatus).text(), "");
  EXPECT_EQ(redraws, 0);
  EXPECT_TRUE(c(kPreview).visible());
}

TEST_F(MainDialogTest, SeedButtonsWrapAround) {
  setPref("Fractal Seed", -1);  // 4294967295 as the host stores it
  startFractal(16);
  c(kSeedUp).press();
  EXPECT_EQ(c(kStatus).text(), "Done");
  main().close();
  EXPECT_EQ(pref("Fractal Seed"), sxhost::PrefValue{0});

  start();
  c(kSeedDown).press();
  main().close();
  EXPECT_EQ(pref("Fractal Seed"), sxhost::PrefValue{-1});

  start();
  c(kSeedDown).press();
  c(kSeedDown).press();
  main().close();
  EXPECT_EQ(pref("Fractal Seed"), sxhost::PrefValue{-3});
}

TEST_F(MainDialogTest, WaterSetsTheDedMinimum) {
  startFractal(32);
  EXPECT_TRUE(c(kWater).checked());
  EXPECT_EQ(c(kDedMin).text(), "0");
  EXPECT_EQ(c(kDedMax).text(), "255");

  c(kWater).press();
  EXPECT_FALSE(c(kWater).checked());
  EXPECT_EQ(c(kDedMin).text(), "1");
  EXPECT_FALSE(c(kWaterLevel).enabled());
  c(kWater).press();
  EXPECT_EQ(c(kDedMin).text(), "0");
  EXPECT_TRUE(c(kWaterLevel).enabled());

  // A minimum kept apart from 0 survives switching the water off.
  c(kWater).press();
  c(kDedMin).type("20");
  EXPECT_EQ(c(kDedMin).text(), "20");
  c(kWater).press();
  EXPECT_EQ(c(kDedMin).text(), "0");
  c(kWater).press();
  EXPECT_EQ(c(kDedMin).text(), "1");
  main().close();
  EXPECT_EQ(pref("Fractal Minimum"), sxhost::PrefValue{1.0});
  EXPECT_EQ(pref("Fractal Water"), sxhost::PrefValue{0});
}

TEST_F(MainDialogTest, SliderDragsKeepTheStatusAndProgressStill) {
  startFractal(64);
  // An entry that is not a number stays shown until the next refresh of the dialog.
  c(kWidth).type("not a number");

  struct Seen {
    int id;
    Change change;
    bool waitCursor;
  };
  std::vector<Seen> seen;
  host.setChangeListener([&](const sxhost::Control& control, Change change) {
    seen.push_back({control.id(), change, host.waitCursorShown()});
  });
  const auto count = [&](int id, Change change) {
    return std::count_if(seen.begin(), seen.end(),
                         [&](const Seen& s) { return s.id == id && s.change == change; });
  };
  const auto waited = [&] {
    return std::any_of(seen.begin(), seen.end(), [](const Seen& s) { return s.waitCursor; });
  };

  for (const int id : {kNoise, kValleys, kPlateaus, kWaterLevel}) {
    seen.clear();
    c(id).slide(0.3, SX_SCALE_DRAG_START);
    c(id).slide(0.4, SX_SCALE_DRAGGING);
    EXPECT_GE(count(kPreview, Change::Picture), 2) << id;  // redrawn at every move
    EXPECT_EQ(count(kStatus, Change::Text), 0) << id;
    EXPECT_EQ(count(kProgress, Change::Value), 0) << id;
    EXPECT_FALSE(waited()) << id;
    EXPECT_FALSE(host.waitCursorShown());
    EXPECT_EQ(c(kWidth).text(), "not a number") << id;

    // A move to the value already held does not load again.
    seen.clear();
    c(id).slide(0.4, SX_SCALE_DRAGGING);
    EXPECT_EQ(count(kPreview, Change::Picture), 0) << id;

    // The release loads at full size with progress and refreshes the dialog.
    seen.clear();
    c(id).slide(0.4, SX_SCALE_FINAL);
    EXPECT_GE(count(kProgress, Change::Value), 1) << id;
    EXPECT_TRUE(waited()) << id;
    EXPECT_FALSE(host.waitCursorShown());
    EXPECT_EQ(c(kStatus).text(), "Done") << id;
    EXPECT_EQ(c(kWidth).text(), "64") << id;
    EXPECT_DOUBLE_EQ(c(id).value(), 0.4);
    c(kWidth).type("not a number");
  }
  host.setChangeListener(nullptr);

  main().close();
  EXPECT_EQ(pref("Fractal Noise"), sxhost::PrefValue{0.4});
  EXPECT_EQ(pref("Fractal Water Level"), sxhost::PrefValue{0.4});
}

TEST_F(MainDialogTest, OtherDelimiterCharacters) {
  setPref("DataType", kAscii);
  start();
  EXPECT_EQ(c(kDelimiterMenu).selectedPos(), 5);
  EXPECT_EQ(c(kDelimiterShown).text(), "' '");
  EXPECT_FALSE(c(kOtherDelimiter).visible());

  struct Entry {
    const char* typed;
    int type;           // the menu position afterwards
    const char* shown;  // the delimiter label afterwards
  };
  const Entry entries[] = {
      {"#", 7, "'#'"}, {",", 4, "','"},  {"  ;", 2, "';'"}, {"\t|", 3, "'|'"},
      {"", 5, "' '"},  {"  ", 5, "' '"}, {"ab", 7, "'a'"},
  };
  for (const Entry& e : entries) {
    c(kDelimiterMenu).select(7);
    c(kOtherDelimiter).type(e.typed);
    EXPECT_EQ(c(kDelimiterMenu).selectedPos(), e.type) << '"' << e.typed << '"';
    EXPECT_EQ(c(kDelimiterShown).text(), e.shown) << '"' << e.typed << '"';
    EXPECT_EQ(c(kOtherDelimiter).visible(), e.type == 7) << '"' << e.typed << '"';
  }
  EXPECT_TRUE(responder().messages().empty());

  // Characters that belong to numbers are refused and change nothing.
  for (const char* refused : {"5", "-", ".", "/", "0", "9", " 7"}) {
    c(kOtherDelimiter).type(refused);
    const sxhost::Message m = lastMessage();
    EXPECT_EQ(m.title, "Error") << refused;
    EXPECT_EQ(m.text, "ACSII data delimiter must be a non-numeric character") << refused;
    EXPECT_EQ(m.kind, SX_MESSAGE_ERROR) << refused;
    EXPECT_EQ(c(kDelimiterMenu).selectedPos(), 7) << refused;
  }
  EXPECT_EQ(responder().messages().size(), 7u);
  c(kDelimiterMenu).select(1);
  EXPECT_EQ(c(kDelimiterShown).text(), "':'");

  // The "Other" character comes back with the settings.
  c(kDelimiterMenu).select(7);
  c(kOtherDelimiter).type("#");
  main().close();
  EXPECT_EQ(pref("DelimiterType"), sxhost::PrefValue{7});
  EXPECT_EQ(pref("Delimiter"), sxhost::PrefValue{'#'});
  start();
  EXPECT_EQ(c(kDelimiterMenu).selectedPos(), 7);
  EXPECT_EQ(c(kDelimiterShown).text(), "'#'");
}

TEST_F(MainDialogTest, BigEndianNeedsElementsOfMoreThanOneByte) {
  setPref("DataType", kBinary);
  start();
  EXPECT_TRUE(c(kInt8).checked());
  EXPECT_FALSE(c(kBigEndian).enabled());
  EXPECT_FALSE(c(kLittleEndian).enabled());
  for (const int id : {kInt16, kInt32, kFloat32, kFloat64}) {
    c(id).press();
    EXPECT_TRUE(c(id).checked()) << id;
    EXPECT_TRUE(c(kBigEndian).enabled()) << id;
  }
  c(kBigEndian).press();
  c(kInt8).press();
  EXPECT_FALSE(c(kBigEndian).enabled());
  EXPECT_TRUE(c(kBigEndian).checked());
  main().close();
  EXPECT_EQ(pref("ByteType"), sxhost::PrefValue{0});
  EXPECT_EQ(pref("EndianType"), sxhost::PrefValue{1});
}

TEST_F(MainDialogTest, LargeBinaryGridsWaitForPreviewData) {
  const std::string big = dir.file("big.raw");
  writeFile(big, std::vector<std::uint8_t>(600 * 600, 7));
  setPref("DataType", kBinary);
  setPref("Width", 600);
  setPref("Height", 600);
  setPref("FileName", big);
  start();
  EXPECT_FALSE(c(kPreview).visible());
  EXPECT_TRUE(c(kPreviewFrame).visible());
  EXPECT_TRUE(c(kPreviewData).visible());
  EXPECT_FALSE(c(kGenerate).enabled());
  EXPECT_FALSE(c(kUnitsMenu).enabled());
  EXPECT_EQ(c(kStatus).text(), "");

  c(kPreviewData).press();
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_TRUE(c(kPreview).visible());
  EXPECT_FALSE(c(kPreviewData).visible());
  EXPECT_TRUE(c(kGenerate).enabled());
  EXPECT_TRUE(c(kUnitsMenu).enabled());
  EXPECT_EQ(c(kRawMax).text(), "7");

  // 512 x 512 is the largest that loads by itself.
  main().close();
  setPref("Width", 512);
  setPref("Height", 512);
  start();
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_TRUE(c(kPreview).visible());
}

TEST_F(MainDialogTest, TheSameSizeAsAnImageLoadsByItself) {
  sxhost::image::testing::SgiPicture grey{600, 600, 1, std::vector<unsigned char>(600 * 600, 9)};
  grey.planes[0] = 3;
  const std::string image = dir.file("big.bw");
  writeFile(image, sxhost::image::testing::sgiVerbatim(grey));
  setPref("DataType", kBinary);
  start();
  chooseFile(image);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kImage);
  EXPECT_EQ(c(kWidth).text(), "600");
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_TRUE(c(kPreview).visible());
  EXPECT_EQ(c(kRawMin).text(), "3");
  EXPECT_EQ(c(kRawMax).text(), "9");
}

TEST_F(MainDialogTest, ChoosingFilesKeepsOrSwitchesTheKind) {
  const std::string text = dir.file("grid.txt");
  writeFile(text, "1 2 3 4\n");
  const std::string other = dir.file("other.txt");
  writeFile(other, "5 6 7 8\n");
  sxhost::image::testing::SgiPicture grey{2, 2, 1, {1, 2, 3, 4}};
  const std::string image = dir.file("small.bw");
  writeFile(image, sxhost::image::testing::sgiVerbatim(grey));
  setPref("DataType", kBinary);
  setPref("Width", 2);
  setPref("Height", 2);
  start();

  chooseFile(text);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kBinary);
  EXPECT_EQ(c(kFileSize).text(), "8");
  c(kPreviewData).press();
  ASSERT_TRUE(c(kPreview).visible());

  // The file already chosen changes nothing.
  chooseFile(text);
  EXPECT_TRUE(c(kPreview).visible());
  // Another one drops what was loaded; the kind stays.
  chooseFile(other);
  EXPECT_FALSE(c(kPreview).visible());
  EXPECT_EQ(c(kSourceKind).selectedPos(), kBinary);

  c(kSourceKind).select(kAscii);
  chooseFile(image);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kImage);
  EXPECT_TRUE(c(kPreview).visible());
  EXPECT_EQ(c(kFileSize).text(), std::to_string(std::filesystem::file_size(image)));

  // A cancelled prompt changes nothing.
  c(kBrowse).press();
  EXPECT_EQ(c(kFile).text(), image);
  EXPECT_TRUE(c(kPreview).visible());
  // The prompt starts in the folder of the file chosen last.
  EXPECT_EQ(*responder().filePrompts().back().prompt.text("PromptFileDirectory"),
            std::filesystem::path(image).parent_path().string() + "/");
}

TEST_F(MainDialogTest, SizeHintsForABinaryFileTooSmallForItsLayout) {
  const std::string file = dir.file("thousand.raw");
  writeFile(file, std::vector<std::uint8_t>(1000, 1));
  setPref("DataType", kBinary);
  setPref("ByteType", 1);
  setPref("Width", 10);
  setPref("Height", 10);
  setPref("FileName", file);
  start();
  // 10 x 10 2-byte elements fit, so the source loaded and the hints are hidden.
  ASSERT_EQ(c(kStatus).text(), "Done");
  for (const int id : {kDataSizeHint, kDimensionHint, kSetDataSize, kSetDimension}) {
    EXPECT_FALSE(c(id).visible()) << id;
  }
  // Any change of the layout drops the source and shows them.
  c(kFloat32).press();
  c(kInt16).press();
  for (const int id : {kDataSizeHint, kDimensionHint, kSetDataSize, kSetDimension}) {
    EXPECT_TRUE(c(id).visible()) << id;
  }
  EXPECT_EQ(c(kDataSizeHint).text(),
            "The largest data size for these\ndimensions (10 x 10) is 10 bytes.");
  EXPECT_EQ(c(kDimensionHint).text(),
            "The largest dimensions for this data\nsize (2-byte elements) is 22 x 22.");
  EXPECT_TRUE(c(kSetDataSize).enabled());
  EXPECT_TRUE(c(kSetDimension).enabled());

  c(kSetDimension).press();
  EXPECT_EQ(c(kWidth).text(), "22");
  EXPECT_EQ(c(kHeight).text(), "22");
  EXPECT_EQ(c(kDataSizeHint).text(),
            "The largest data size for these\ndimensions (22 x 22) is 2 bytes.");
  EXPECT_FALSE(c(kSetDimension).enabled());
  EXPECT_FALSE(c(kSetDataSize).enabled());

  c(kWidth).type("10");
  c(kHeight).type("10");
  c(kSetDataSize).press();
  EXPECT_TRUE(c(kFloat64).checked());
  EXPECT_FALSE(c(kSetDataSize).enabled());
  EXPECT_EQ(c(kDimensionHint).text(),
            "The largest dimensions for this data\nsize (8-byte elements) is 11 x 11.");

  // A file of 150 bytes holds one byte per value: "byte. " in the singular.
  const std::string small = dir.file("small.raw");
  writeFile(small, std::vector<std::uint8_t>(150, 1));
  chooseFile(small);
  EXPECT_EQ(c(kDataSizeHint).text(),
            "The largest data size for these\ndimensions (10 x 10) is 1 byte. ");
}

TEST_F(MainDialogTest, UndefinedDataGroup) {
  // The 3 x 2 grid 5 9 1 / 7 2 8 of unsigned bytes.
  const std::string file = dir.file("grid.raw");
  writeFile(file, std::vector<std::uint8_t>{5, 9, 1, 7, 2, 8});
  setPref("DataType", kBinary);
  setPref("Width", 3);
  setPref("Height", 2);
  setPref("FileName", file);
  start();
  ASSERT_EQ(c(kStatus).text(), "Done");
  EXPECT_EQ(c(kRawMax).text(), "9");
  EXPECT_FALSE(c(kHasUndefined).checked());
  EXPECT_EQ(c(kUndefinedValue).text(), "N/A");
  EXPECT_EQ(c(kReplaceValue).text(), "N/A");
  EXPECT_FALSE(c(kUndefinedValue).enabled());
  EXPECT_FALSE(c(kReplaceKind).enabled());

  c(kHasUndefined).press();
  EXPECT_EQ(c(kUndefinedValue).text(), "0");
  EXPECT_EQ(c(kReplaceValue).text(), "-32768");
  EXPECT_TRUE(c(kUndefinedValue).enabled());
  EXPECT_TRUE(c(kReplaceKind).enabled());
  EXPECT_FALSE(c(kReplaceValue).enabled());

  // A new undefined value rescans the loaded source.
  c(kUndefinedValue).type("9");
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_EQ(c(kRawMin).text(), "1");
  EXPECT_EQ(c(kRawMax).text(), "8");
  EXPECT_TRUE(c(kPreview).visible());

  c(kReplaceKind).select(2);
  EXPECT_TRUE(c(kReplaceValue).enabled());
  c(kReplaceValue).type("-40000");
  EXPECT_EQ(c(kReplaceValue).text(), "-32768");
  c(kReplaceValue).type("-500");
  EXPECT_EQ(c(kReplaceValue).text(), "-500");

  const std::string output = dir.file("grid.ded");
  generate(output);
  ASSERT_EQ(c(kStatus).text(), "DED file created");
  const DedFile ded = DedFile::read(output);
  ASSERT_EQ(ded.bytes.size(), 212u);
  // The custom replacement widens the range record.
  EXPECT_EQ(ded.int16At(132), -500);
  EXPECT_EQ(ded.int16At(134), 9);
  EXPECT_EQ(ded.post(1, 0, 2), -500);  // the 9
  EXPECT_EQ(ded.post(0, 0, 2), 5);
  EXPECT_EQ(ded.post(2, 1, 2), 8);

  // Back to "DED NULL": the undefined post is -32768 and the range is not widened.
  c(kReplaceKind).select(1);
  EXPECT_EQ(c(kReplaceValue).text(), "-32768");
  generate(output);
  const DedFile nulls = DedFile::read(output);
  EXPECT_EQ(nulls.int16At(132), 1);
  EXPECT_EQ(nulls.post(1, 0, 2), -32768);
  EXPECT_EQ(nulls.bytes[200 + 2 * 2], 0x80);
  EXPECT_EQ(nulls.bytes[200 + 2 * 2 + 1], 0x00);

  // Off again: the scan counts the 9 again.
  c(kHasUndefined).press();
  EXPECT_EQ(c(kRawMax).text(), "9");
  EXPECT_EQ(c(kUndefinedValue).text(), "N/A");
}

TEST_F(MainDialogTest, UnitsMenuConvertsTheRange) {
  const std::int16_t values[] = {0, 1000};
  const std::string file = dir.file("grid.raw");
  writeFile(file, int16Grid(values));
  setPref("DataType", kBinary);
  setPref("ByteType", 1);
  setPref("Width", 2);
  setPref("Height", 1);
  setPref("FileName", file);
  start();
  ASSERT_EQ(c(kStatus).text(), "Done");
  EXPECT_EQ(c(kRawDataLabel).text(), "Raw Data (Meters)");
  c(kUnitsMenu).select(2);
  EXPECT_EQ(c(kRawDataLabel).text(), "Raw Data (Feet)");
  EXPECT_NEAR(std::stod(c(kMetersMax).text()), 304.8, 1e-4);
  EXPECT_EQ(c(kDedMax).text(), "304");
  EXPECT_FALSE(c(kUnitsScale).editable());
  c(kUnitsMenu).select(8);
  EXPECT_TRUE(c(kUnitsScale).editable());
  c(kUnitsScale).type("abc");
  EXPECT_EQ(lastMessage().text, "Please enter a valid unit scale");
  EXPECT_EQ(lastMessage().title, "Error");
}

}  // namespace
}  // namespace relievo::e2e
