// Whole conversions as a user makes them: every source kind chosen and described in the main
// dialog, loaded, adjusted, and written with "Generate DED"; the DED file is read back and
// checked against values computed here.
#include <algorithm>
#include <tuple>

#include "e2e_support.h"
#include "sxapilib.h"

namespace relievo::e2e {
namespace {

using sxhost::PromptPair;
using sxhost::image::testing::SgiPicture;
using Posts = std::vector<std::int16_t>;

TEST_F(RelievoTest, TypicalBinaryConversionStepByStep) {
  // 4 x 3 values, the first row the southern edge.
  const std::vector<int> values = {50, 100, 150, 200, 250, 300, 350, 400, 450, 500, 550, 175};
  const std::string source = dir.path("grid.bin");
  writeFile(source, int16Bytes(values, false));

  start();
  c(kSourceKind).select(kBinary);
  chooseFile(source);
  ASSERT_EQ(responder().filePrompts().size(), 1u);
  const sxhost::FilePrompt& open = responder().filePrompts()[0].prompt;
  EXPECT_EQ(open.mode, SX_PROMPT_OPEN);
  EXPECT_EQ(open.pairs, (std::vector<PromptPair>{
                            {"PromptFileFlags", "", 1, true},
                            {"PromptFilePattern", "Raster Files|*.*||Text Files|*.txt"},
                            {"PromptFileTitle", "Open Raster Files or Text Files"},
                            {"PromptFileDirectory", ""},
                        }));
  expectTexts({{kFile, source}, {kFileSize, "24"}});
  EXPECT_EQ(c(kSourceKind).selectedPos(), kBinary);

  c(kInt16).press();
  c(kWidth).type("4");
  c(kHeight).type("3");
  // A binary source waits for "Preview Data".
  expectVisible({kPreviewFrame, kPreviewData}, true);
  expectVisible({kPreview}, false);
  EXPECT_FALSE(c(kGenerate).enabled());

  c(kPreviewData).press();
  expectVisible({kPreview}, true);
  expectVisible({kPreviewData}, false);
  EXPECT_TRUE(c(kGenerate).enabled());
  expectTexts({{kStatus, "Done"}, {kRawMin, "50"}, {kRawMax, "550"}, {kMetersMin, "50"}});
  expectTexts({{kMetersMax, "550"}, {kDedMin, "50"}, {kDedMax, "550"}, {kLatPosts, "3"}});
  EXPECT_EQ(c(kLonPosts).text(), "4");

  c(kDedMin).type("0");
  c(kDedMax).type("1000");
  c(kDecimal).press();
  c(kSwLat).type("10");
  c(kNeLat).type("10.5");
  c(kSwLon).type("20");
  c(kNeLon).type("21");
  expectTexts({{kDedMin, "0"}, {kDedMax, "1000"}, {kLatSpacing, "0.250000000"}});
  EXPECT_EQ(c(kNeLat).text(), "10.500000000");

  const std::string output = dir.path("out.ded");
  generate(output);
  ASSERT_EQ(responder().filePrompts().size(), 2u);
  const sxhost::FilePrompt& save = responder().filePrompts()[1].prompt;
  EXPECT_EQ(save.mode, SX_PROMPT_SAVE);
  EXPECT_EQ(save.pairs, (std::vector<PromptPair>{
                            {"PromptFileFlags", "", 4, true},
                            {"PromptFilePattern", "DED Files|*.ded"},
                            {"PromptFileTitle", "Select Output DED File"},
                            {"PromptFileFullFilename", dir.path("grid.ded")},
                        }));
  EXPECT_EQ(c(kStatus).text(), "DED file created");
  expectMessage(lastMessage(), "Success", "DED file created\n\n" + output, SX_MESSAGE_INFORMATION);

  const DedFile ded = DedFile::read(output);
  expectDed(ded, {{0, 1000}, {10, 10.5f, 20, 21}, 9000, 12000, 3, 4});
  EXPECT_EQ(ded.posts(), dedPosts(4, 3, [&](int column, int south) {
              return linearPost(values[south * 4 + column], 50, 550, 0, 1000);
            }));

  // The next conversion proposes the file just written.
  generate(dir.path("again.ded"));
  ASSERT_EQ(responder().filePrompts().size(), 3u);
  EXPECT_EQ(*responder().filePrompts()[2].prompt.text("PromptFileFullFilename"), output);
}

TEST_F(RelievoTest, ColumnOrderOfANonSquareGrid) {
  const std::string source = dir.path("cols.raw");
  writeFile(source, bytesOf({1, 2, 3, 4, 5, 6}));
  startBinary(source, 3, 2);
  ASSERT_EQ(c(kStatus).text(), "Done");
  c(kCols).press();

  // Each source row is one column of the terrain: 2 records of 3 posts, as the fields show.
  EXPECT_EQ(std::tuple(c(kLatPosts).text(), c(kLonPosts).text()), std::tuple("3", "2"));
  generate(dir.path("lower.ded"));
  const DedFile lower = DedFile::read(dir.path("lower.ded"));
  expectDed(lower, {{1, 6}, {0, 1, 0, 1}, 18000, 36000, 3, 2});
  EXPECT_EQ(lower.posts(), (Posts{1, 2, 3, 4, 5, 6}));
  c(kUpperLeft).press();
  generate(dir.path("upper.ded"));
  EXPECT_EQ(DedFile::read(dir.path("upper.ded")).posts(), (Posts{3, 2, 1, 6, 5, 4}));
}

TEST_F(RelievoTest, AsciiGridWithHeaderLinesThroughScanFile) {
  const std::string source = dir.path("grid.txt");
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
  expectTexts({{kOffset, "18"}, {kWidth, "3"}, {kHeight, "2"}});

  c(kPreviewData).press();
  expectTexts({{kStatus, "Done"}, {kRawMin, "-2"}, {kRawMax, "40"}});
  c(kUpperLeft).press();

  const std::string output = dir.path("grid.ded");
  generate(output);
  const DedFile ded = DedFile::read(output);
  expectDed(ded, {{-2, 40}, {0, 1, 0, 1}, 36000, 18000, 2, 3});
  // Upper Left: the first text row is the northern edge; the range equals the data, so each
  // post is its value truncated.
  EXPECT_EQ(ded.posts(), (Posts{40, 1, 5, -2, 6, 30}));
}

TEST_F(RelievoTest, ImageFileSwitchesTheKindTakesItsSizeAndOffersItsComponents) {
  // Planes red, green, blue, each bottom row first.
  const SgiPicture picture{
      3, 2, 3, {200, 201, 202, 203, 204, 205, 10, 60, 30, 40, 50, 20, 90, 91, 92, 93, 94, 95}};
  const std::string source = dir.path("terrain.rgb");
  writeSgi(source, picture);

  start();
  c(kSourceKind).select(kAscii);
  chooseFile(source);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kImage);
  expectTexts({{kWidth, "3"}, {kHeight, "2"}, {kStatus, "Done"}});  // small images load
  expectEnabled({kWidth, kHeight, kAlpha}, false);
  EXPECT_TRUE(c(kPreview).visible());
  // An ".rgb" file offers every channel but alpha.
  expectEnabled({kIntensity, kRed, kGreen, kBlue}, true);
  EXPECT_TRUE(c(kIntensity).checked());

  c(kGreen).press();
  expectTexts({{kStatus, "Done"}, {kRawMin, "10"}, {kRawMax, "60"}});

  const std::string output = dir.path("out.ded");
  generate(output);
  const DedFile ded = DedFile::read(output);
  expectDed(ded, {{10, 60}, {0, 1, 0, 1}, 36000, 18000, 2, 3});
  // The image's bottom row is the southern edge.
  EXPECT_EQ(ded.posts(), (Posts{10, 40, 60, 50, 30, 20}));

  // An RGB image whose name offers alpha as well cannot give it.
  const std::string rgba = dir.path("picture.rgba");
  writeSgi(rgba, SgiPicture{2, 1, 3, {10, 20, 30, 40, 50, 60}});
  chooseFile(rgba);
  ASSERT_EQ(c(kStatus).text(), "Done");
  EXPECT_TRUE(c(kAlpha).enabled());
  c(kAlpha).press();
  EXPECT_EQ(c(kStatus).text(), "Error reading file");
  EXPECT_FALSE(c(kPreview).visible());
  c(kBlue).press();
  expectTexts({{kStatus, "Done"}, {kRawMin, "50"}, {kRawMax, "60"}});

  // A file that offers only the intensity puts the choice back to it.
  const std::string png = dir.path("picture.png");
  sxhost::Rgb{1, 1, {7, 7, 7}}.writePng(png);
  chooseFile(png);
  EXPECT_TRUE(c(kIntensity).checked());
  EXPECT_FALSE(c(kBlue).checked());
  EXPECT_FALSE(c(kBlue).enabled());
  expectTexts({{kStatus, "Done"}, {kWidth, "1"}});
}

TEST_F(RelievoTest, ImagesLoadByThemselvesUpToTheirLimitOrOnceCached) {
  // 600 x 600 is beyond what loads by itself from a binary grid, not from an image.
  SgiPicture grey{600, 600, 1, std::vector<unsigned char>(600 * 600, 9)};
  grey.planes[0] = 3;
  const std::string image = dir.path("big.bw");
  writeSgi(image, grey);
  const std::string large = dir.path("large.bw");
  writeSgi(large, SgiPicture{1025, 1025, 1, std::vector<unsigned char>(1025 * 1025, 4)});
  setPref("DataType", kBinary);
  start();
  chooseFile(image);
  EXPECT_EQ(c(kSourceKind).selectedPos(), kImage);
  expectTexts({{kWidth, "600"}, {kStatus, "Done"}, {kRawMin, "3"}, {kRawMax, "9"}});
  EXPECT_TRUE(c(kPreview).visible());

  // 1025 x 1025 is beyond the limit for images.
  chooseFile(large);
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
  // Bottom row first, as pictures store them.
  const sxhost::Rgb picture{2, 2, {255, 255, 255, 255, 0, 0, 10, 200, 30, 0, 0, 0}};
  const std::string source = dir.path("relief.png");
  picture.writePng(source);

  start();
  c(kSourceKind).select(kBinary);
  chooseFile(source);
  ASSERT_EQ(c(kSourceKind).selectedPos(), kImage);
  ASSERT_EQ(c(kStatus).text(), "Done");
  // Only ".int", ".inta", ".rgb" and ".rgba" files offer more than the intensity.
  EXPECT_TRUE(c(kIntensity).enabled());
  expectEnabled({kRed, kGreen, kBlue, kAlpha}, false);

  std::vector<float> intensity;
  for (std::size_t p = 0; p < 4; ++p) {
    const double r = picture.pixels[3 * p];
    const double g = picture.pixels[3 * p + 1];
    const double b = picture.pixels[3 * p + 2];
    intensity.push_back(static_cast<float>((r * 0.299 + g * 0.5876 + b * 0.144) / 1.0306));
  }
  // So the DED range is the data range and each post is its intensity truncated.
  ASSERT_EQ(*std::min_element(intensity.begin(), intensity.end()), 0.0f);
  ASSERT_EQ(*std::max_element(intensity.begin(), intensity.end()), 255.0f);

  const std::string output = dir.path("relief.ded");
  generate(output);
  const DedFile ded = DedFile::read(output);
  EXPECT_EQ(ded.range(), (std::pair{0, 255}));
  EXPECT_EQ(ded.posts(), dedPosts(2, 2, [&](int column, int south) {
              return static_cast<int>(intensity[south * 2 + column]);
            }));
}

TEST_F(RelievoTest, FractalTerrainConvertsTheSameForTheSameSettings) {
  start();
  c(kWidth).type("256");
  // Water is on: the DED range is 0 ... 255.
  expectTexts({{kHeight, "256"}, {kStatus, "Done"}, {kDedMin, "0"}, {kDedMax, "255"}});
  const std::string first = dir.path("first.ded");
  generate(first);
  ASSERT_EQ(c(kStatus).text(), "DED file created");

  // The command's default run checks this terrain's records and posts; here the same
  // settings must give the same file again.
  const DedFile ded = DedFile::read(first);
  ASSERT_EQ(ded.bytes.size(), 200u + 2 * 256 * 256);
  EXPECT_EQ(ded.range(), (std::pair{0, 255}));

  // Closed and started again, the map is generated afresh from the saved settings.
  main().close();
  start();
  ASSERT_EQ(c(kWidth).text(), "256");
  generate(dir.path("second.ded"));
  EXPECT_EQ(withoutCreationTime(readFile(dir.path("second.ded"))), withoutCreationTime(ded.bytes));
}

}  // namespace
}  // namespace relievo::e2e
