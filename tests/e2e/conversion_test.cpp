// Whole conversions as a user makes them: every source kind chosen and described in the main
// dialog, loaded, adjusted, and written with "Generate DED"; the DED file is read back and
// checked against values computed here.
#include <algorithm>
#include <array>
#include <cmath>

#include "e2e_support.h"
#include "sgi_test_writer.h"
#include "sxapilib.h"

namespace relievo::e2e {
namespace {

using sxhost::PromptPair;

PromptPair number(const std::string& key, int value) {
  return {key, "", value, true};
}
PromptPair text(const std::string& key, const std::string& value) {
  return {key, value, 0, false};
}

// The linear mapping of a value of [inMin, inMax] onto [outMin, outMax], truncated to a post.
int linearPost(double v, double inMin, double inMax, double outMin, double outMax) {
  const double t = (v - inMin) / (inMax - inMin);
  return static_cast<int>(std::trunc((outMax - outMin) * t + outMin));
}

void expectExtents(const DedFile& ded, std::array<float, 4> corners, float latSpacing,
                   float lonSpacing, int postsPerRecord, int records) {
  const auto [latSw, latNe, lonSw, lonNe] = corners;
  EXPECT_EQ(ded.extent(0), latSw);
  EXPECT_EQ(ded.extent(1), latNe);
  EXPECT_EQ(ded.extent(2), lonSw);
  EXPECT_EQ(ded.extent(3), lonNe);
  EXPECT_EQ(ded.extent(4), latSpacing);
  EXPECT_EQ(ded.extent(5), lonSpacing);
  EXPECT_EQ(ded.extent(6), static_cast<float>(postsPerRecord));
  EXPECT_EQ(ded.extent(7), static_cast<float>(records));
  const auto [lonFeet, latFeet] = feetOf(latSw, latNe, latSpacing, lonSpacing);
  EXPECT_FLOAT_EQ(ded.extent(8), lonFeet);
  EXPECT_FLOAT_EQ(ded.extent(9), latFeet);
}

// The file minus its creation time, which is all that may differ between two conversions.
std::vector<std::uint8_t> withoutCreationTime(std::vector<std::uint8_t> bytes) {
  std::fill(bytes.begin() + 24, bytes.begin() + 50, 0);
  return bytes;
}

TEST_F(RelievoTest, TypicalBinaryConversionStepByStep) {
  constexpr int kW = 4;
  constexpr int kH = 3;
  const std::int16_t values[kH][kW] = {
      {50, 100, 150, 200}, {250, 300, 350, 400}, {450, 500, 550, 175}};
  const std::string source = dir.file("grid.bin");
  writeFile(source, int16Grid(std::span(&values[0][0], kW * kH)));

  start();
  c(kSourceKind).select(kBinary);
  chooseFile(source);
  ASSERT_EQ(responder().filePrompts().size(), 1u);
  const sxhost::FilePrompt& open = responder().filePrompts()[0].prompt;
  EXPECT_EQ(open.mode, SX_PROMPT_OPEN);
  EXPECT_EQ(open.pairs, (std::vector<PromptPair>{
                            number("PromptFileFlags", 1),
                            text("PromptFilePattern", "Raster Files|*.*||Text Files|*.txt"),
                            text("PromptFileTitle", "Open Raster Files or Text Files"),
                            text("PromptFileDirectory", ""),
                        }));
  EXPECT_EQ(c(kFile).text(), source);
  EXPECT_EQ(c(kFileSize).text(), "24");
  EXPECT_EQ(c(kSourceKind).selectedPos(), kBinary);

  c(kInt16).press();
  c(kWidth).type("4");
  c(kHeight).type("3");
  // A binary source waits for "Preview Data".
  EXPECT_FALSE(c(kPreview).visible());
  EXPECT_TRUE(c(kPreviewFrame).visible());
  EXPECT_FALSE(c(kGenerate).enabled());
  EXPECT_TRUE(c(kPreviewData).visible());

  c(kPreviewData).press();
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_TRUE(c(kPreview).visible());
  EXPECT_FALSE(c(kPreviewData).visible());
  EXPECT_TRUE(c(kGenerate).enabled());
  EXPECT_EQ(c(kRawMin).text(), "50");
  EXPECT_EQ(c(kRawMax).text(), "550");
  EXPECT_EQ(c(kMetersMin).text(), "50");
  EXPECT_EQ(c(kMetersMax).text(), "550");
  EXPECT_EQ(c(kDedMin).text(), "50");
  EXPECT_EQ(c(kDedMax).text(), "550");
  EXPECT_EQ(c(kLatPosts).text(), "3");
  EXPECT_EQ(c(kLonPosts).text(), "4");

  c(kDedMin).type("0");
  c(kDedMax).type("1000");
  EXPECT_EQ(c(kDedMin).text(), "0");
  EXPECT_EQ(c(kDedMax).text(), "1000");
  c(kDecimal).press();
  c(kSwLat).type("10");
  c(kNeLat).type("10.5");
  c(kSwLon).type("20");
  c(kNeLon).type("21");
  EXPECT_EQ(c(kLatSpacing).text(), "0.250000000");
  EXPECT_EQ(c(kNeLat).text(), "10.500000000");

  const std::string output = dir.file("out.ded");
  generate(output);
  ASSERT_EQ(responder().filePrompts().size(), 2u);
  const sxhost::FilePrompt& save = responder().filePrompts()[1].prompt;
  EXPECT_EQ(save.mode, SX_PROMPT_SAVE);
  EXPECT_EQ(save.pairs, (std::vector<PromptPair>{
                            number("PromptFileFlags", 4),
                            text("PromptFilePattern", "DED Files|*.ded"),
                            text("PromptFileTitle", "Select Output DED File"),
                            text("PromptFileFullFilename", dir.file("grid.ded")),
                        }));
  EXPECT_EQ(c(kStatus).text(), "DED file created");
  const sxhost::Message done = lastMessage();
  EXPECT_EQ(done.title, "Success");
  EXPECT_EQ(done.text, "DED file created\n\n" + output);
  EXPECT_EQ(done.kind, SX_MESSAGE_INFORMATION);

  const DedFile ded = DedFile::read(output);
  ASSERT_EQ(ded.bytes.size(), 200u + 2 * kW * kH);
  expectDedHeader(ded);
  EXPECT_EQ(ded.int16At(132), 0);
  EXPECT_EQ(ded.int16At(134), 1000);
  expectExtents(ded, {10.0f, 10.5f, 20.0f, 21.0f}, 9000.0f, 12000.0f, kH, kW);
  for (int column = 0; column < kW; ++column) {
    for (int row = 0; row < kH; ++row) {
      EXPECT_EQ(ded.post(column, row, kH), linearPost(values[row][column], 50, 550, 0, 1000))
          << "column " << column << ", row " << row;
    }
  }

  // The next conversion proposes the file just written.
  generate(dir.file("again.ded"));
  ASSERT_EQ(responder().filePrompts().size(), 3u);
  EXPECT_EQ(*responder().filePrompts()[2].prompt.text("PromptFileFullFilename"), output);
}

TEST_F(RelievoTest, GenerateCancelledOrOntoTheSourceWritesNothing) {
  const std::int16_t values[] = {1, 2, 3, 4};
  const std::string source = dir.file("grid.bin");
  writeFile(source, int16Grid(values));
  setPref("DataType", kBinary);
  setPref("ByteType", 1);
  setPref("Width", 2);
  setPref("Height", 2);
  setPref("FileName", source);
  start();
  ASSERT_EQ(c(kStatus).text(), "Done");

  c(kGenerate).press();
  EXPECT_EQ(c(kStatus).text(), "Operation canceled");
  EXPECT_FALSE(std::filesystem::exists(dir.file("grid.ded")));

  const std::string output = dir.file("out.ded");
  responder().queueFile({source});
  generate(output);
  const auto& messages = responder().messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].message.title, "Invalid Output DED File Name");
  EXPECT_EQ(messages[0].message.text,
            "The name of the output DED file cannot be\nthe same as the name of the input file.");
  EXPECT_EQ(messages[0].message.kind, SX_MESSAGE_WARNING);
  EXPECT_EQ(readFile(source), int16Grid(values));
  EXPECT_EQ(c(kStatus).text(), "DED file created");
  EXPECT_EQ(DedFile::read(output).bytes.size(), 208u);
}

TEST_F(RelievoTest, GenerateOffersToRemoveStaleTerrainPreferences) {
  const std::int16_t values[] = {1, 2, 3, 4};
  const std::string source = dir.file("grid.bin");
  writeFile(source, int16Grid(values));
  setPref("DataType", kBinary);
  setPref("ByteType", 1);
  setPref("Width", 2);
  setPref("Height", 2);
  setPref("FileName", source);
  start();
  const std::string output = dir.file("out.ded");
  const std::string appended = output + ".prefs";
  const std::string replaced = dir.file("out.prefs");
  writeFile(appended, "stale");
  writeFile(replaced, "stale");

  responder().queueAnswer(true);
  responder().queueAnswer(false);
  generate(output);
  const auto& messages = responder().messages();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].message.title, "Success");
  const std::string question =
      "A Terrain Preference file was found for this DED file.  It is recommended\nthat it be "
      "removed before using the Forgeon Terrain tools on this DED file.\n\nDo you want to "
      "remove\n";
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(messages[i].message.title, "Question");
    EXPECT_EQ(messages[i].message.kind, SX_MESSAGE_YES_NO);
  }
  EXPECT_EQ(messages[1].message.text, question + appended + "?");
  EXPECT_EQ(messages[2].message.text, question + replaced + "?");
  EXPECT_FALSE(std::filesystem::exists(appended));
  EXPECT_TRUE(std::filesystem::exists(replaced));

  // Only files that exist are asked about.
  generate(output);
  ASSERT_EQ(messages.size(), 5u);
  EXPECT_EQ(messages[4].message.text, question + replaced + "?");
  EXPECT_TRUE(std::filesystem::exists(replaced));
}

TEST_F(RelievoTest, ColumnOrderOfANonSquareGrid) {
  const std::string source = dir.file("cols.raw");
  writeFile(source, std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6});
  setPref("DataType", kBinary);
  setPref("Width", 3);
  setPref("Height", 2);
  setPref("FileName", source);
  start();
  ASSERT_EQ(c(kStatus).text(), "Done");
  c(kCols).press();

  // Each source row is one column of the terrain: 2 records of 3 posts.
  const std::string lowerLeft = dir.file("lower.ded");
  generate(lowerLeft);
  const DedFile lower = DedFile::read(lowerLeft);
  ASSERT_EQ(lower.bytes.size(), 212u);
  expectExtents(lower, {0.0f, 1.0f, 0.0f, 1.0f}, 18000.0f, 36000.0f, 3, 2);
  c(kUpperLeft).press();
  const std::string upperLeft = dir.file("upper.ded");
  generate(upperLeft);
  const DedFile upper = DedFile::read(upperLeft);
  ASSERT_EQ(upper.bytes.size(), 212u);
  for (int record = 0; record < 2; ++record) {
    for (int post = 0; post < 3; ++post) {
      EXPECT_EQ(lower.post(record, post, 3), 1 + 3 * record + post) << record << ", " << post;
      EXPECT_EQ(upper.post(record, post, 3), 3 + 3 * record - post) << record << ", " << post;
    }
  }
}

TEST_F(RelievoTest, LoadFailuresSayWhy) {
  const std::string text = dir.file("five.txt");
  writeFile(text, "1 2 3 4 5\n");
  const std::string binary = dir.file("six.bin");
  writeFile(binary, std::vector<std::uint8_t>{0xFF, 0x80, 1, 2, 3, 4});
  setPref("DataType", kImage);
  setPref("Width", 3);
  setPref("Height", 2);
  start();

  chooseFile(text);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kImage);
  c(kPreviewData).press();
  EXPECT_EQ(lastMessage().title, "Incorrect Format");
  EXPECT_EQ(lastMessage().text, "This file is not a valid Image file.");
  EXPECT_EQ(lastMessage().kind, SX_MESSAGE_ERROR);
  EXPECT_EQ(c(kStatus).text(), "");

  c(kSourceKind).select(kAscii);
  c(kPreviewData).press();
  EXPECT_EQ(c(kStatus).text(), "Unexpected end of file, 5 of 6 values read");
  EXPECT_FALSE(c(kGenerate).enabled());

  chooseFile(binary);
  c(kPreviewData).press();  // the question is answered no
  EXPECT_EQ(lastMessage().title, "Incorrect Format");
  EXPECT_EQ(lastMessage().text,
            "This file does not appear to be an ASCII text file.\n\nDo you want to try to read it "
            "anyway?");
  EXPECT_EQ(lastMessage().kind, SX_MESSAGE_YES_NO);
  EXPECT_EQ(c(kStatus).text(), "");
  responder().queueAnswer(true);
  c(kPreviewData).press();
  EXPECT_EQ(c(kStatus).text(), "Unexpected end of file, 0 of 6 values read");

  c(kSourceKind).select(kBinary);
  c(kWidth).type("4");
  c(kPreviewData).press();
  EXPECT_EQ(lastMessage().title, "Invalid Settings for this File");
  EXPECT_EQ(lastMessage().text,
            "This file is not large enough to contain 4 x 2 x 1-byte elements.\n\n"
            "The largest dimensions for this data size is 2 x 2.\n");
  EXPECT_EQ(lastMessage().kind, SX_MESSAGE_ERROR);
  EXPECT_FALSE(c(kPreview).visible());
}

TEST_F(RelievoTest, AsciiGridWithHeaderLinesThroughScanFile) {
  const std::string source = dir.file("grid.txt");
  writeFile(source, "ncols 3\r\nnrows 2\r\n1.5 -2 30\r\n4e1,5 6.25\r\n");
  start();
  c(kSourceKind).select(kAscii);
  chooseFile(source);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kAscii);

  c(kScanFile).press();
  sxhost::Dialog& scan = host.dialog(108);
  EXPECT_EQ(scan.control(kScanList).items(),
            (std::vector<std::string>{"ncols 3", "nrows 2", "1.5 -2 30", "4e1,5 6.25"}));
  EXPECT_EQ(scan.control(kScanColumns).text(), "3");
  EXPECT_EQ(scan.control(kScanRows).text(), "2");
  scan.control(kScanList).select(3);
  // The offsets count the carriage returns.
  EXPECT_EQ(scan.control(kScanOffset).text(), "18");
  scan.control(kScanOk).press();
  EXPECT_EQ(c(kOffset).text(), "18");
  EXPECT_EQ(c(kWidth).text(), "3");
  EXPECT_EQ(c(kHeight).text(), "2");

  c(kPreviewData).press();
  ASSERT_EQ(c(kStatus).text(), "Done");
  EXPECT_EQ(c(kRawMin).text(), "-2");
  EXPECT_EQ(c(kRawMax).text(), "40");
  c(kUpperLeft).press();

  const std::string output = dir.file("grid.ded");
  generate(output);
  ASSERT_EQ(c(kStatus).text(), "DED file created");
  const DedFile ded = DedFile::read(output);
  ASSERT_EQ(ded.bytes.size(), 200u + 2 * 6);
  expectDedHeader(ded);
  EXPECT_EQ(ded.int16At(132), -2);
  EXPECT_EQ(ded.int16At(134), 40);
  expectExtents(ded, {0.0f, 1.0f, 0.0f, 1.0f}, 36000.0f, 18000.0f, 2, 3);
  // Upper Left: the first text row is the northern edge; the range equals the data, so each
  // post is its value truncated.
  const int expected[3][2] = {{40, 1}, {5, -2}, {6, 30}};
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 2; ++row) {
      EXPECT_EQ(ded.post(column, row, 2), expected[column][row]) << column << ", " << row;
    }
  }
}

TEST_F(RelievoTest, ImageFileSwitchesTheKindAndTakesItsSize) {
  constexpr int kW = 3;
  constexpr int kH = 2;
  // Planes red, green, blue, each bottom row first.
  sxhost::image::testing::SgiPicture picture{kW, kH, 3, {}};
  picture.planes = {200, 201, 202, 203, 204, 205,  // red
                    10,  60,  30,  40,  50,  20,   // green
                    90,  91,  92,  93,  94,  95};  // blue
  const std::string source = dir.file("terrain.rgb");
  writeFile(source, sxhost::image::testing::sgiVerbatim(picture));

  start();
  c(kSourceKind).select(kAscii);
  chooseFile(source);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kImage);
  EXPECT_EQ(c(kWidth).text(), "3");
  EXPECT_EQ(c(kHeight).text(), "2");
  EXPECT_FALSE(c(kWidth).enabled());
  EXPECT_FALSE(c(kHeight).enabled());
  // Small images load by themselves.
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_TRUE(c(kPreview).visible());
  // An ".rgb" file offers every channel but alpha.
  for (const int id : {kIntensity, kRed, kGreen, kBlue})
    EXPECT_TRUE(c(id).enabled()) << id;
  EXPECT_FALSE(c(kAlpha).enabled());
  EXPECT_TRUE(c(kIntensity).checked());

  c(kGreen).press();
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_EQ(c(kRawMin).text(), "10");
  EXPECT_EQ(c(kRawMax).text(), "60");

  const std::string output = dir.file("out.ded");
  generate(output);
  const DedFile ded = DedFile::read(output);
  ASSERT_EQ(ded.bytes.size(), 200u + 2 * kW * kH);
  expectDedHeader(ded);
  EXPECT_EQ(ded.int16At(132), 10);
  EXPECT_EQ(ded.int16At(134), 60);
  expectExtents(ded, {0.0f, 1.0f, 0.0f, 1.0f}, 36000.0f, 18000.0f, kH, kW);
  // The image's bottom row is the southern edge.
  for (int column = 0; column < kW; ++column) {
    for (int row = 0; row < kH; ++row) {
      EXPECT_EQ(ded.post(column, row, kH), picture.planes[kW * kH + row * kW + column])
          << column << ", " << row;
    }
  }
}

TEST_F(RelievoTest, AComponentTheImageLacksCannotBeRead) {
  // An RGB image whose name offers alpha as well.
  sxhost::image::testing::SgiPicture rgb{2, 1, 3, {10, 20, 30, 40, 50, 60}};
  const std::string source = dir.file("picture.rgba");
  writeFile(source, sxhost::image::testing::sgiVerbatim(rgb));
  setPref("DataType", kBinary);
  start();
  chooseFile(source);
  ASSERT_EQ(c(kStatus).text(), "Done");
  EXPECT_TRUE(c(kAlpha).enabled());
  c(kAlpha).press();
  EXPECT_EQ(c(kStatus).text(), "Error reading file");
  EXPECT_FALSE(c(kPreview).visible());
  c(kBlue).press();
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_EQ(c(kRawMin).text(), "50");
  EXPECT_EQ(c(kRawMax).text(), "60");

  // A file that offers only the intensity puts the choice back to it.
  const std::string png = dir.file("picture.png");
  sxhost::Rgb{1, 1, {7, 7, 7}}.writePng(png);
  chooseFile(png);
  EXPECT_TRUE(c(kIntensity).checked());
  EXPECT_FALSE(c(kBlue).checked());
  EXPECT_FALSE(c(kBlue).enabled());
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_EQ(c(kWidth).text(), "1");
}

TEST_F(RelievoTest, ALargeImageLoadsByItselfOnceItIsCached) {
  constexpr int kSide = 1025;  // 1025 x 1025 is above the automatic limit for images
  sxhost::image::testing::SgiPicture grey{kSide, kSide, 1,
                                          std::vector<unsigned char>(kSide * kSide, 4)};
  const std::string source = dir.file("large.bw");
  writeFile(source, sxhost::image::testing::sgiVerbatim(grey));
  setPref("DataType", kBinary);
  start();
  chooseFile(source);
  ASSERT_EQ(c(kSourceKind).selectedPos(), kImage);
  EXPECT_EQ(c(kWidth).text(), "1025");
  EXPECT_FALSE(c(kPreview).visible());
  EXPECT_TRUE(c(kPreviewData).visible());

  c(kPreviewData).press();
  EXPECT_EQ(c(kStatus).text(), "Done");
  c(kSourceKind).select(kBinary);
  EXPECT_FALSE(c(kPreview).visible());
  c(kSourceKind).select(kImage);
  EXPECT_TRUE(c(kPreview).visible());

  // Closing releases the cache: the next show waits for "Preview Data" again.
  main().close();
  start();
  EXPECT_FALSE(c(kPreview).visible());
  EXPECT_TRUE(c(kPreviewData).visible());
}

TEST_F(RelievoTest, PngImageConvertsItsIntensity) {
  sxhost::Rgb picture{2, 2, {}};
  // Bottom row first, as pictures store them.
  picture.pixels = {255, 255, 255, 255, 0, 0, 10, 200, 30, 0, 0, 0};
  const std::string source = dir.file("relief.png");
  picture.writePng(source);

  start();
  c(kSourceKind).select(kBinary);
  chooseFile(source);
  ASSERT_EQ(c(kSourceKind).selectedPos(), kImage);
  ASSERT_EQ(c(kStatus).text(), "Done");
  // Only ".int", ".inta", ".rgb" and ".rgba" files offer more than the intensity.
  EXPECT_TRUE(c(kIntensity).enabled());
  for (const int id : {kRed, kGreen, kBlue, kAlpha})
    EXPECT_FALSE(c(id).enabled()) << id;

  std::vector<float> intensity;
  for (std::size_t p = 0; p < 4; ++p) {
    const double r = picture.pixels[3 * p];
    const double g = picture.pixels[3 * p + 1];
    const double b = picture.pixels[3 * p + 2];
    intensity.push_back(static_cast<float>((r * 0.299 + g * 0.5876 + b * 0.144) / 1.0306));
  }
  const auto [low, high] = std::minmax_element(intensity.begin(), intensity.end());
  ASSERT_EQ(*low, 0.0f);
  ASSERT_EQ(*high, 255.0f);

  const std::string output = dir.file("relief.ded");
  generate(output);
  const DedFile ded = DedFile::read(output);
  ASSERT_EQ(ded.bytes.size(), 208u);
  EXPECT_EQ(ded.int16At(132), 0);
  EXPECT_EQ(ded.int16At(134), 255);
  for (int column = 0; column < 2; ++column) {
    for (int row = 0; row < 2; ++row) {
      EXPECT_EQ(ded.post(column, row, 2), static_cast<int>(intensity[row * 2 + column]))
          << column << ", " << row;
    }
  }
}

TEST_F(RelievoTest, FractalTerrainConvertsTheSameForTheSameSettings) {
  start();
  c(kWidth).type("256");
  ASSERT_EQ(c(kHeight).text(), "256");
  ASSERT_EQ(c(kStatus).text(), "Done");
  // Water is on: the DED range is 0 ... 255.
  EXPECT_EQ(c(kDedMin).text(), "0");
  EXPECT_EQ(c(kDedMax).text(), "255");
  const std::string first = dir.file("first.ded");
  generate(first);
  ASSERT_EQ(c(kStatus).text(), "DED file created");

  const DedFile ded = DedFile::read(first);
  ASSERT_EQ(ded.bytes.size(), 200u + 2 * 256 * 256);
  expectDedHeader(ded);
  EXPECT_EQ(ded.int16At(132), 0);
  EXPECT_EQ(ded.int16At(134), 255);
  EXPECT_EQ(ded.extent(6), 256.0f);
  EXPECT_EQ(ded.extent(7), 256.0f);
  std::int16_t lowest = 32767;
  std::int16_t highest = -32768;
  for (int column = 0; column < 256; ++column) {
    for (int row = 0; row < 256; ++row) {
      lowest = std::min(lowest, ded.post(column, row, 256));
      highest = std::max(highest, ded.post(column, row, 256));
    }
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 255);

  // Closed and started again, the map is generated afresh from the saved settings.
  main().close();
  start();
  ASSERT_EQ(c(kWidth).text(), "256");
  const std::string second = dir.file("second.ded");
  generate(second);
  EXPECT_EQ(withoutCreationTime(readFile(second)), withoutCreationTime(ded.bytes));

  // Another seed is another terrain.
  c(kSeedUp).press();
  const std::string third = dir.file("third.ded");
  generate(third);
  EXPECT_NE(withoutCreationTime(readFile(third)), withoutCreationTime(ded.bytes));
}

}  // namespace
}  // namespace relievo::e2e
