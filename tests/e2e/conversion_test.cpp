// Conversions as a user makes them in the main dialog: a binary grid from the file prompt to
// the DED file read back.
#include "e2e_support.h"
#include "sxapilib.h"

namespace relievo::e2e {
namespace {

using sxhost::PromptPair;
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
  EXPECT_FALSE(c(kPreview).visible() || c(kGenerate).enabled());

  c(kPreviewData).press();
  EXPECT_TRUE(c(kPreview).visible() && !c(kPreviewData).visible() && c(kGenerate).enabled());
  expectTexts({{kStatus, "Done"}, {kRawMin, "50"}, {kRawMax, "550"}, {kMetersMin, "50"}});
  expectTexts({{kMetersMax, "550"}, {kDedMin, "50"}, {kDedMax, "550"}, {kLatPosts, "3"}});
  expectTexts({{kLonPosts, "4"}});

  c(kDedMin).type("0");
  c(kDedMax).type("1000");
  c(kDecimal).press();
  c(kSwLat).type("10");
  c(kNeLat).type("10.5");
  c(kSwLon).type("20");
  c(kNeLon).type("21");

  const std::string output = dir.path("out.ded");
  generate(output);
  // The save prompt, its proposal and the message are the Generate DED unit tests' case.
  EXPECT_EQ(c(kStatus).text(), "DED file created");

  const DedFile ded = DedFile::read(output);
  expectDed(ded, {{0, 1000}, {10, 10.5f, 20, 21}, 9000, 12000, 3, 4});
  // 50 ... 550 onto 0 ... 1000: each post twice its value less 50, column after column.
  EXPECT_EQ(ded.posts(), (Posts{0, 400, 800, 100, 500, 900, 200, 600, 1000, 300, 700, 250}));
}

}  // namespace
}  // namespace relievo::e2e
