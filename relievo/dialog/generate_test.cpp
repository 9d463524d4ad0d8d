#include "dialog/generate.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ded/mapping.h"
#include "ded/test_ded.h"
#include "dialog/source_loader.h"
#include "dialog/test_host.h"
#include "relievo_testing/files.h"
#include "relievo_testing/scratch_dir.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::Bytes;
using testing::readFile;
using testing::Records;

class GenerateDed : public ::testing::Test {
 protected:
  // Loads a source as the loader does (range scan, DED range from it, spacings), placed on
  // the degree square (0, 0) ... (1, 1).
  void load(RasterRec* raster) {
    discardRaster(&state);
    testing::attach(state, raster);
    state.extents.latEnd = 1.0f;
    state.extents.longEnd = 1.0f;
    scanDataRange(state.raster, state.source, state.ranges.data, Progress{});
    convertRange(&state);
    spacingRule(state.extents);
  }

  // Runs the command with `path` as the answer to the file prompt.
  int generateTo(const std::string& path) {
    hosted.responder().queueFile({path});
    return generateDed(&state);
  }

  // The outcome as the user sees it: the status line, the last message box, and no wait
  // cursor left behind.
  void expectOutcome(const std::string& status, const std::string& title, const std::string& text,
                     int kind) {
    EXPECT_EQ(hosted.status(), status);
    ASSERT_FALSE(hosted.responder().messages().empty());
    const auto& message = hosted.responder().messages().back().message;
    EXPECT_EQ(message.title, title);
    EXPECT_EQ(message.text, text);
    EXPECT_EQ(message.kind, kind);
    EXPECT_FALSE(hosted.host.waitCursorShown());
  }

  // The last output prompt: a save prompt with its attribute pairs, the last one proposing a
  // file name or the directory to start in.
  void expectPrompt(const char* key, const std::string& value) {
    const auto& prompt = hosted.responder().filePrompts().back().prompt;
    EXPECT_EQ(prompt.mode, SX_PROMPT_SAVE);
    const std::vector<sxhost::PromptPair> expected = {
        {"PromptFileFlags", "", 4, true},
        {"PromptFilePattern", "DED Files|*.ded", 0, false},
        {"PromptFileTitle", "Select Output DED File", 0, false},
        {key, value, 0, false}};
    EXPECT_EQ(prompt.pairs, expected);
  }

  testing::ScratchDir dir;
  testing::HostedState hosted;
  ToolState& state = hosted.state;
  std::string out = dir.path("out.ded");
};

TEST_F(GenerateDed, TheButtonWorksOnlyWithASourceAndTheOutputIsProposedNextTime) {
  sxRefreshDialog(state.ui.dialog);
  EXPECT_FALSE(hosted.control(kGenerateButton).enabled());
  EXPECT_EQ(generateDed(&state), 1);  // without a source nothing happens
  EXPECT_TRUE(hosted.responder().filePrompts().empty() && hosted.responder().messages().empty());

  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  sxRefreshDialog(state.ui.dialog);
  ASSERT_TRUE(hosted.control(kGenerateButton).enabled());
  hosted.responder().queueFile({out});
  hosted.control(kGenerateButton).press();
  expectOutcome("DED file created", "Success", "DED file created\n\n" + out,
                SX_MESSAGE_INFORMATION);
  EXPECT_EQ(
      std::make_tuple(hosted.control(kProgressBar).range(), hosted.control(kProgressBar).value()),
      std::make_tuple(std::make_pair(0.0, 4.0), 0.0));  // 2 x height, then back to 0
  EXPECT_STREQ(state.source.dedFileName, out.c_str());

  ASSERT_EQ(generateDed(&state), 0);
  expectPrompt("PromptFileFullFilename", out);
}

// The rows (1 2 3) then (4 5 6) in metres, the DED range equal to the data range.
TEST_F(GenerateDed, RecordsFollowTheOrderAndTheOrigin) {
  using enum DataOrder;
  using enum DataOrigin;
  // 100 bytes: the 12 bytes of posts are granted, the transpose block of 64 rows is not. By
  // columns each source row is one record, of `width` posts even when the grid is not square.
  const std::tuple<DataOrder, DataOrigin, Records> cases[] = {
      {Rows, LowerLeft, {{1, 4}, {2, 5}, {3, 6}}},
      {Rows, UpperLeft, {{4, 1}, {5, 2}, {6, 3}}},
      {Cols, LowerLeft, {{1, 2, 3}, {4, 5, 6}}},
      {Cols, UpperLeft, {{3, 2, 1}, {6, 5, 4}}}};
  for (const auto& [order, origin, records] : cases)
    for (const std::size_t maxBytes : {std::numeric_limits<std::size_t>::max(), std::size_t{100}}) {
      SCOPED_TRACE(static_cast<int>(order) * 10 + static_cast<int>(origin) + (maxBytes == 100));
      state.source.dataOrder = order;
      state.source.dataOrigin = origin;
      load(testing::memoryRaster({{1, 2, 3}, {4, 5, 6}}));
      {
        sxhost::AllocationFailure refuse(sxhost::AllocationPolicy{maxBytes, 0});
        ASSERT_EQ(generateTo(out), 1);
      }
      // One degree each way: the spacings follow the posts of a record and the records.
      const float latSpacing = 36000.0f / (records[0].size() - 1);
      const float lonSpacing = 36000.0f / (records.size() - 1);
      testing::expectDed(readFile<Bytes>(out), {1, 6, 0, 0, 1, 1, latSpacing, lonSpacing, records});
    }
}

// A custom value widens the range record, DED NULL never does; a custom value beyond the post
// range is held at the top, in the posts and in the record alike. A range known from the reader
// (as for images) leaves the scan without values.
TEST_F(GenerateDed, UndefinedPostsAndTheRangeRecord) {
  using enum ReplaceNullKind;
  // {rule, replacement, post for undefined values, lowest, highest, range known}
  const std::tuple<ReplaceNullKind, std::int32_t, std::int16_t, std::int16_t, std::int16_t, bool>
      cases[] = {{Custom, -500, -500, -500, 1000, false},
                 {Custom, -500, -500, -500, 1000, true},
                 {DedNull, kDedNull, kDedNull, 0, 1000, false},
                 {Custom, 400, 400, 0, 1000, false},
                 {Custom, 40000, 32767, 0, 32767, false}};
  for (const auto& [kind, replacement, post, lowest, highest, rangeKnown] : cases) {
    state.source.undefined.hasNullData = 1;
    state.source.undefined.nullValue = 9;
    state.ranges.replaceNullKind = kind;
    state.ranges.replaceNullValue = replacement;
    state.ranges.data.hasNullsFound = 0;
    // 9.7 truncates to the undefined value 9.
    RasterRec* raster = testing::memoryRaster({{0, 9, 500}, {250, 9.7f, 1000}});
    if (rangeKnown) rasterSetMinMax(raster, 0, 1000);
    load(raster);
    ASSERT_EQ(generateTo(out), 1);
    testing::expectDed(
        readFile<Bytes>(out),
        {lowest, highest, 0, 0, 1, 1, 36000, 18000, {{0, 250}, {post, post}, {500, 1000}}});
  }
}

// The range is scanned when it is not known yet; the range record truncates the DED range.
TEST_F(GenerateDed, ScansAnUnknownRangeAndTheRangeRecordTruncatesTheDedRange) {
  testing::attach(state, testing::memoryRaster({{3, 7}}));
  ASSERT_EQ(generateTo(out), 1);
  EXPECT_EQ(std::tie(state.ranges.data.dataMin, state.ranges.data.dataMax),
            std::make_tuple(3.0, 7.0));
  load(testing::memoryRaster({{0, 50}, {100, 25}}));
  applyDedRange(&state, 10.9, 99.9);
  ASSERT_EQ(generateTo(out), 1);
  // Linear over 0 ... 100 onto 10.9 ... 99.9, truncated: 10.9, 99.9, 55.4, 33.15.
  testing::expectDed(readFile<Bytes>(out),
                     {10, 99, 0, 0, 1, 1, 36000, 36000, {{10, 99}, {55, 33}}});
}

TEST_F(GenerateDed, CancelAnEmptyNameOrTheSourceWritesNothing) {
  const std::string source = dir.write("grid.bin", "\x01\x02\x03\x04");
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  // A source whose own DED name is itself (a ".ded" source) gets no proposed name.
  std::strcpy(state.source.fileName, source.c_str());
  std::strcpy(state.source.dedFileName, source.c_str());
  std::strcpy(state.source.sourceDir, "/data/");
  EXPECT_EQ(generateDed(&state), 0);
  expectPrompt("PromptFileDirectory", "/data/");
  EXPECT_EQ(generateTo(""), 0);
  EXPECT_TRUE(hosted.responder().messages().empty());
  EXPECT_EQ(generateTo(source), 0);  // refused, then cancelled
  EXPECT_EQ(hosted.status(), "Operation canceled");
  EXPECT_STREQ(state.source.dedFileName, source.c_str());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root()), {}), 1);

  // Refused twice (the same file spelt otherwise the second time), then another name.
  hosted.responder().queueFile({source});
  hosted.responder().queueFile({dir.path("./grid.bin")});
  ASSERT_EQ(generateTo(out), 1);
  const auto& messages = hosted.responder().messages();
  ASSERT_EQ(messages.size(), 4u);
  for (int i = 0; i < 3; ++i)  // the message's text is checked end to end
    EXPECT_EQ(messages[i].message.title, "Invalid Output DED File Name");
  EXPECT_EQ(messages[3].message.title, "Success");
  EXPECT_EQ(hosted.responder().filePrompts().size(), 7u);
  EXPECT_EQ(readFile<Bytes>(source), (Bytes{1, 2, 3, 4}));  // the source is untouched
}

// Each failure is reported with the system's reason; nothing is left behind, an existing
// output stays as it was, and the proposal for the next prompt is kept.
TEST_F(GenerateDed, FailuresAreReportedAndLeaveNoFile) {
  std::strcpy(state.source.dedFileName, "/kept/proposal.ded");
  const std::string kept = dir.write("kept.ded", "old bytes");
  ASSERT_EQ(mkfifo(dir.path("pipe").c_str(), 0600), 0);
  // Outputs that cannot be created; the source stays loaded.
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  const std::pair<std::string, std::string> refusals[] = {
      {dir.path("missing/out.ded"), "No such file or directory"},
      {dir.path("pipe"), "Illegal seek"},
  };
  for (const auto& [path, reason] : refusals) {
    ASSERT_EQ(generateTo(path), 1);
    expectOutcome("Error creating DED file: " + reason, "Error",
                  "Error creating DED file: " + reason + "\n\n" + path, SX_MESSAGE_ERROR);
  }
  EXPECT_NE(state.raster, nullptr);

  // Posts that cannot be had.
  load(testing::memoryRaster(100, 100, std::vector<float>(100 * 100, 5.0f)));
  {
    auto refuse = sxhost::AllocationFailure::above(19999);  // the 20000 bytes of posts
    ASSERT_EQ(generateTo(kept), 1);
  }
  expectOutcome("Not enough memory for the DED posts", "Error",
                "Not enough memory for the DED posts\n\n100 x 100 posts", SX_MESSAGE_ERROR);

  // A source row that cannot be read (the file shrank after the range was found).
  const std::string source = dir.write("grid.bin", std::string("\x01\x02\x03\x04\x05\x06", 6));
  RasterRec* raster = rasterOpenFile(source, 0, 0, 3, 2, 0, SourceKind::Binary, ByteType::Int8,
                                     Endian::Little, ' ', nullptr, nullptr, nullptr, 0, 0.0);
  ASSERT_NE(raster, nullptr);
  load(raster);
  std::filesystem::resize_file(source, 4);
  ASSERT_EQ(generateTo(kept), 1);
  expectOutcome("Error parsing data in input file", "Error", "Error parsing data in input file.",
                SX_MESSAGE_ERROR);
  EXPECT_EQ(testing::readFile<std::string>(kept), "old bytes");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root()), {}), 3);
  EXPECT_STREQ(state.source.dedFileName, "/kept/proposal.ded");
}

TEST_F(GenerateDed, PreferenceFilesAreOfferedOnlyWhenTheyExist) {
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  const std::string appended = out + ".prefs";
  const std::string replaced = dir.path("out.prefs");
  const auto question = [](const std::string& path) {
    return "A Terrain Preference file was found for this DED file.  It is recommended\nthat it "
           "be removed before using the Forgeon Terrain tools on this DED file.\n\nDo you want "
           "to remove\n" +
           path + "?";
  };

  // Neither exists: no question after the success message.
  ASSERT_EQ(generateTo(out), 1);
  ASSERT_EQ(hosted.responder().messages().size(), 1u);

  // Both exist: asked in order; yes removes the first, no keeps the second.
  dir.write("out.ded.prefs", "x");
  dir.write("out.prefs", "y");
  hosted.responder().reset();
  hosted.responder().queueAnswer(true);
  hosted.responder().queueAnswer(false);
  ASSERT_EQ(generateTo(out), 1);
  const auto& messages = hosted.responder().messages();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(std::tie(messages[1].message.title, messages[1].message.text, messages[1].message.kind),
            std::make_tuple("Question", question(appended), SX_MESSAGE_YES_NO));
  EXPECT_EQ(messages[2].message.text, question(replaced));
  EXPECT_EQ(std::make_pair(std::filesystem::exists(appended), std::filesystem::exists(replaced)),
            std::make_pair(false, true));

  // The second candidate cuts the path at its last dot, even one in a directory's name; an
  // empty path has no candidates.
  std::filesystem::create_directory(dir.path("a.b.c"));
  dir.write("a.b.c/grid.prefs", "x");
  dir.write("a.b.prefs", "y");
  hosted.responder().reset();
  hosted.responder().setDefaultAnswer(true);
  offerPrefsRemoval(state.ui.dialog, dir.path("a.b.c/grid"));
  offerPrefsRemoval(state.ui.dialog, "");
  EXPECT_EQ(hosted.responder().messages().size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir.path("a.b.c/grid.prefs")));
  EXPECT_FALSE(std::filesystem::exists(dir.path("a.b.prefs")));
}

}  // namespace
}  // namespace relievo
