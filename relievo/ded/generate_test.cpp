#include "ded/generate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "ded/mapping.h"
#include "plugin/spacing.h"
#include "plugin/test_host.h"
#include "raster/data_scan.h"
#include "raster/test_files.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Records = std::vector<std::vector<std::int16_t>>;

constexpr char kSameNameText[] =
    "The name of the output DED file cannot be\nthe same as the name of the input file.";

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putBig(Bytes& out, std::uint32_t value, int size) {
  for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

void putFloat(Bytes& out, float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  putBig(out, bits, 4);
}

void putText(Bytes& out, const char* text, std::size_t n) {
  out.insert(out.end(), text, text + n);
}

// What a geographic DED file of these records must hold, computed from the format's rules.
// The creation time is the one field the test cannot know: it is taken from `actual` after
// checking its frame (a line feed and a NUL at its end).
struct ExpectedDed {
  std::int16_t lowest;
  std::int16_t highest;
  float latSouthWest, lonSouthWest, latNorthEast, lonNorthEast;
  float latSpacing, lonSpacing;
  Records records;  // west to east, each south to north

  Bytes bytes(const Bytes& actual) const {
    Bytes out;
    putBig(out, 128, 4);
    putText(out, "KTLX", 4);
    putText(out, "DMA1    ", 8);
    putText(out, "V1.0    ", 8);
    EXPECT_GE(actual.size(), 50u);
    if (actual.size() >= 50) {
      EXPECT_EQ(actual[48], '\n');
      EXPECT_EQ(actual[49], '\0');
      out.insert(out.end(), actual.begin() + 24, actual.begin() + 50);
    }
    out.insert(out.end(), 78, ' ');

    putBig(out, 1, 4);
    putBig(out, static_cast<std::uint16_t>(lowest), 2);
    putBig(out, static_cast<std::uint16_t>(highest), 2);
    out.insert(out.end(), 24, ' ');

    const double feetPerSecond = 101.26667f;
    const auto latFeet = static_cast<float>(feetPerSecond * latSpacing / 10.0f);
    const auto lonProduct = static_cast<float>(feetPerSecond * lonSpacing / 10.0f);
    const auto difference =
        static_cast<float>(std::fabs(static_cast<double>(latNorthEast) - latSouthWest));
    const auto middle = static_cast<float>(latSouthWest + difference / 2.0f);
    const auto lonFeet =
        static_cast<float>(std::cos(static_cast<double>(middle) * 0.017453292f) * lonProduct);
    for (float v : {latSouthWest, latNorthEast, lonSouthWest, lonNorthEast, latSpacing, lonSpacing,
                    static_cast<float>(records.empty() ? 0 : records[0].size()),
                    static_cast<float>(records.size()), lonFeet, latFeet}) {
      putFloat(out, v);
    }
    for (const auto& record : records) {
      for (std::int16_t post : record)
        putBig(out, static_cast<std::uint16_t>(post), 2);
    }
    return out;
  }
};

class GenerateDed : public ::testing::Test {
 protected:
  // Loads a source as the loader does: range scan, DED range from it, spacings.
  void load(RasterRec* raster) {
    testing::attach(state, raster);
    scanDataRange(&state);
    updateConvertedRange(&state);
    spacingRule(&state);
  }

  // Runs the command with `path` as the answer to the file prompt.
  int generateTo(const std::string& path) {
    hosted.responder().queueFile({path});
    return generateDed(&state);
  }

  // The file at `path` must be exactly the expected DED file.
  void expectFile(const std::string& path, const ExpectedDed& expected) {
    const Bytes actual = readFile(path);
    const Bytes wanted = expected.bytes(actual);
    ASSERT_EQ(actual.size(), wanted.size());
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      ASSERT_EQ(actual[i], wanted[i]) << "byte " << i;
    }
  }

  const sxhost::ScriptedResponder::MessageRecord& lastMessage() {
    const auto& messages = hosted.responder().messages();
    EXPECT_FALSE(messages.empty());
    return messages.back();
  }

  testing::TempDir dir;
  testing::HostedState hosted;
  ToolState& state = hosted.state;
  std::string out = dir.path("out.ded");

  void SetUp() override {
    state.latEnd = 1.0f;
    state.longEnd = 1.0f;
  }
};

TEST_F(GenerateDed, ButtonIsEnabledOnlyWithASourceAndWithoutOneNothingHappens) {
  sxRefreshDialog(state.dialog);
  EXPECT_FALSE(hosted.control(kGenerateButton).enabled());
  EXPECT_EQ(generateDed(&state), 1);
  EXPECT_TRUE(hosted.responder().filePrompts().empty());
  EXPECT_TRUE(hosted.responder().messages().empty());

  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  sxRefreshDialog(state.dialog);
  ASSERT_TRUE(hosted.control(kGenerateButton).enabled());
  hosted.responder().queueFile({out});
  hosted.control(kGenerateButton).press();
  EXPECT_TRUE(std::filesystem::exists(out));
  EXPECT_EQ(hosted.status(), "DED file created");
}

TEST_F(GenerateDed, RowMajorGridsFollowTheOrigin) {
  struct Case {
    DataOrigin origin;
    Records records;
  };
  const Case cases[] = {
      {DataOrigin::LowerLeft, {{1, 4}, {2, 5}, {3, 6}}},
      {DataOrigin::UpperLeft, {{4, 1}, {5, 2}, {6, 3}}},
  };
  for (const Case& c : cases) {
    discardRaster(&state);
    state.dataOrigin = c.origin;
    load(testing::memoryRaster({{1, 2, 3}, {4, 5, 6}}));
    ASSERT_EQ(state.dedMapFn, &mapIdentity);
    ASSERT_EQ(generateTo(out), 1);
    // 2 posts over one degree of latitude, 3 over one of longitude.
    expectFile(out, {1, 6, 0, 0, 1, 1, 36000, 18000, c.records});
  }
}

TEST_F(GenerateDed, TheTransposeBlockRefusedGivesTheSameFile) {
  load(testing::memoryRaster({{1, 2, 3}, {4, 5, 6}}));
  {
    // The 12 bytes of posts are granted, the block of 64 rows is not.
    auto refuse = sxhost::AllocationFailure::above(100);
    ASSERT_EQ(generateTo(out), 1);
  }
  EXPECT_EQ(hosted.status(), "DED file created");
  expectFile(out, {1, 6, 0, 0, 1, 1, 36000, 18000, {{1, 4}, {2, 5}, {3, 6}}});
}

TEST_F(GenerateDed, RowMajorGridTallerThanOneBlock) {
  // 2 x 130 rows: the rows reach the posts through two full blocks of 64 and a partial one.
  std::vector<float> values;
  for (int r = 0; r < 130; ++r) {
    values.push_back(static_cast<float>(r));
    values.push_back(static_cast<float>(1000 + r));
  }
  state.dataOrigin = DataOrigin::UpperLeft;
  load(testing::memoryRaster(2, 130, values));
  ASSERT_EQ(generateTo(out), 1);
  Records records(2);
  for (int fromSouth = 0; fromSouth < 130; ++fromSouth) {
    const int row = 129 - fromSouth;
    records[0].push_back(static_cast<std::int16_t>(row));
    records[1].push_back(static_cast<std::int16_t>(1000 + row));
  }
  expectFile(out, {0, 1129, 0, 0, 1, 1, 36000.0f / 129, 36000, records});
}

TEST_F(GenerateDed, ColumnMajorGridsFollowTheOrigin) {
  struct Case {
    DataOrigin origin;
    Records records;
  };
  const Case cases[] = {
      {DataOrigin::LowerLeft, {{1, 2}, {3, 4}}},
      {DataOrigin::UpperLeft, {{2, 1}, {4, 3}}},
  };
  for (const Case& c : cases) {
    discardRaster(&state);
    state.dataOrder = DataOrder::Cols;
    state.dataOrigin = c.origin;
    load(testing::memoryRaster({{1, 2}, {3, 4}}));
    ASSERT_EQ(generateTo(out), 1);
    expectFile(out, {1, 4, 0, 0, 1, 1, 36000, 36000, c.records});
  }
}

TEST_F(GenerateDed, NonSquareColumnMajorGridHasHeightRecordsOfWidthPosts) {
  struct Case {
    DataOrigin origin;
    Records records;
  };
  const Case cases[] = {
      {DataOrigin::LowerLeft, {{1, 2, 3}, {4, 5, 6}}},
      {DataOrigin::UpperLeft, {{3, 2, 1}, {6, 5, 4}}},
  };
  for (const Case& c : cases) {
    discardRaster(&state);
    state.dataOrder = DataOrder::Cols;
    state.dataOrigin = c.origin;
    load(testing::memoryRaster({{1, 2, 3}, {4, 5, 6}}));
    ASSERT_EQ(generateTo(out), 1);
    // Each source row is a column of 3 posts: 2 posts between them over the latitude degree,
    // one step between the 2 columns over the longitude degree.
    expectFile(out, {1, 6, 0, 0, 1, 1, 18000, 36000, c.records});
  }
}

TEST_F(GenerateDed, UndefinedPostsAndTheRangeRecord) {
  struct Case {
    ReplaceNullKind kind;
    std::int32_t replacement;
    std::int16_t post;  // what undefined values become
    std::int16_t lowest, highest;
  };
  const Case cases[] = {
      // A custom value widens the range record; DED NULL never does.
      {ReplaceNullKind::Custom, -500, -500, -500, 1000},
      {ReplaceNullKind::DedNull, kDedNull, kDedNull, 0, 1000},
      {ReplaceNullKind::Custom, 400, 400, 0, 1000},
      // Beyond the post range: held at the top, in the posts and in the record alike.
      {ReplaceNullKind::Custom, 40000, 32767, 0, 32767},
  };
  for (const Case& c : cases) {
    discardRaster(&state);
    state.hasNullData = 1;
    state.nullValue = 9;
    state.replaceNullKind = c.kind;
    state.replaceNullValue = c.replacement;
    // 9.7 truncates to the undefined value 9.
    load(testing::memoryRaster({{0, 9, 500}, {250, 9.7f, 1000}}));
    ASSERT_EQ(state.hasNullsFound, 1);
    ASSERT_EQ(state.dedMin, 0.0);
    ASSERT_EQ(state.dedMax, 1000.0);
    ASSERT_EQ(generateTo(out), 1);
    expectFile(
        out,
        {c.lowest, c.highest, 0, 0, 1, 1, 36000, 18000, {{0, 250}, {c.post, c.post}, {500, 1000}}});
  }
}

TEST_F(GenerateDed, DedNullIsWrittenAsBytes8000) {
  state.hasNullData = 1;
  state.nullValue = -9999;
  state.replaceNullKind = ReplaceNullKind::DedNull;
  state.replaceNullValue = kDedNull;
  load(testing::memoryRaster({{-9999.7f, 1}}));
  ASSERT_EQ(generateTo(out), 1);
  const Bytes bytes = readFile(out);
  ASSERT_EQ(bytes.size(), 204u);
  EXPECT_EQ(bytes[200], 0x80);
  EXPECT_EQ(bytes[201], 0x00);
  EXPECT_EQ(bytes[202], 0x00);
  EXPECT_EQ(bytes[203], 0x01);
}

TEST_F(GenerateDed, RangeRecordTruncatesTheDedRange) {
  load(testing::memoryRaster({{0, 50}, {100, 25}}));
  setDedRange(&state, 10.9, 99.9);
  ASSERT_EQ(generateTo(out), 1);
  // Linear over 0 ... 100 onto 10.9 ... 99.9, truncated.
  const auto post = [](double v) {
    return static_cast<std::int16_t>(std::trunc(mapLinear(v, 0, 100, 10.9, 99.9)));
  };
  expectFile(out, {10, 99, 0, 0, 1, 1, 36000, 36000, {{post(0), post(100)}, {post(50), post(25)}}});
}

TEST_F(GenerateDed, ScansTheRangeWhenItIsNotKnownYet) {
  testing::attach(state, testing::memoryRaster({{3, 7}}));
  state.dataMin = 0;
  state.dataMax = 0;
  ASSERT_EQ(generateTo(out), 1);
  EXPECT_EQ(state.dataMin, 3.0);
  EXPECT_EQ(state.dataMax, 7.0);
  double low = 0;
  double high = 0;
  EXPECT_EQ(rasterGetMinMax(state.raster, &low, &high), 1);
}

TEST_F(GenerateDed, SuccessIsReportedAndProposedNextTime) {
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  ASSERT_EQ(generateTo(out), 1);
  const auto& message = lastMessage();
  EXPECT_EQ(message.message.title, "Success");
  EXPECT_EQ(message.message.text, "DED file created\n\n" + out);
  EXPECT_EQ(message.message.kind, SX_MESSAGE_INFORMATION);
  EXPECT_EQ(hosted.status(), "DED file created");
  EXPECT_EQ(hosted.control(kProgressBar).range(), std::make_pair(0.0, 4.0));  // 2 x height
  EXPECT_EQ(hosted.control(kProgressBar).value(), 0.0);
  EXPECT_FALSE(hosted.host.waitCursorShown());
  EXPECT_EQ(state.outFile, nullptr);
  EXPECT_STREQ(state.dedFileName, out.c_str());

  // The next prompt proposes the file just written.
  hosted.responder().queueFile({out});
  ASSERT_EQ(generateDed(&state), 1);
  const auto& prompt = hosted.responder().filePrompts().back().prompt;
  ASSERT_NE(prompt.text("PromptFileFullFilename"), nullptr);
  EXPECT_EQ(*prompt.text("PromptFileFullFilename"), out);
}

TEST_F(GenerateDed, PromptPairsProposeTheNameOrTheSourceDirectory) {
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  std::strcpy(state.sourceDir, "/data/");
  struct Case {
    const char* fileName;
    const char* dedFileName;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"/data/grid.bin", "/data/grid.ded", "PromptFileFullFilename", "/data/grid.ded"},
      // A source that is itself a DED file gets no proposal.
      {"/data/grid.ded", "/data/grid.ded", "PromptFileDirectory", "/data/"},
      {"", "", "PromptFileDirectory", "/data/"},
  };
  for (const Case& c : cases) {
    std::strcpy(state.fileName, c.fileName);
    std::strcpy(state.dedFileName, c.dedFileName);
    EXPECT_EQ(generateDed(&state), 0);  // nothing queued: cancelled
    const auto& prompt = hosted.responder().filePrompts().back().prompt;
    EXPECT_EQ(prompt.mode, SX_PROMPT_SAVE);
    const std::vector<sxhost::PromptPair> expected = {
        {"PromptFileFlags", "", 4, true},
        {"PromptFilePattern", "DED Files|*.ded", 0, false},
        {"PromptFileTitle", "Select Output DED File", 0, false},
        {c.key, c.value, 0, false},
    };
    EXPECT_EQ(prompt.pairs, expected) << c.fileName;
  }
}

TEST_F(GenerateDed, CancelOrAnEmptyNameLeavesNoFile) {
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  std::strcpy(state.dedFileName, "/somewhere/proposed.ded");
  EXPECT_EQ(generateDed(&state), 0);
  EXPECT_EQ(hosted.status(), "Operation canceled");
  hosted.responder().queueFile({""});
  EXPECT_EQ(generateDed(&state), 0);
  EXPECT_EQ(hosted.status(), "Operation canceled");
  EXPECT_TRUE(hosted.responder().messages().empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path("")));
  EXPECT_STREQ(state.dedFileName, "/somewhere/proposed.ded");
  EXPECT_FALSE(hosted.host.waitCursorShown());
}

TEST_F(GenerateDed, TheSourceFileIsRefusedAndThePromptComesBack) {
  const std::string source = dir.write("grid.bin", "\x01\x02\x03\x04");
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  std::strcpy(state.fileName, source.c_str());
  std::strcpy(state.dedFileName, dir.path("grid.ded").c_str());
  sxTextSetString(state.statusText, "before");
  hosted.responder().queueFile({source});
  hosted.responder().queueFile({dir.path("./grid.bin")});  // the same file, spelt otherwise
  hosted.responder().queueFile({out});
  ASSERT_EQ(generateDed(&state), 1);

  const auto& messages = hosted.responder().messages();
  ASSERT_EQ(messages.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(messages[i].message.title, "Invalid Output DED File Name");
    EXPECT_EQ(messages[i].message.text, kSameNameText);
    EXPECT_EQ(messages[i].message.kind, SX_MESSAGE_WARNING);
  }
  EXPECT_EQ(messages[2].message.title, "Success");
  EXPECT_EQ(hosted.responder().filePrompts().size(), 3u);
  EXPECT_EQ(readFile(source), (Bytes{1, 2, 3, 4}));  // the source is untouched
  EXPECT_TRUE(std::filesystem::exists(out));
}

TEST_F(GenerateDed, RefusingTheSourceAndThenCancellingLeavesTheStatus) {
  const std::string source = dir.write("grid.bin", "\x01\x02\x03\x04");
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  std::strcpy(state.fileName, source.c_str());
  hosted.responder().queueFile({source});
  EXPECT_EQ(generateDed(&state), 0);
  EXPECT_EQ(hosted.responder().messages().size(), 1u);
  EXPECT_EQ(hosted.status(), "Operation canceled");
  EXPECT_EQ(readFile(source), (Bytes{1, 2, 3, 4}));
}

TEST_F(GenerateDed, AnOutputThatCannotBeOpenedCreatesNothing) {
  load(testing::memoryRaster({{1, 2}, {3, 4}}));
  std::strcpy(state.dedFileName, "/kept/proposal.ded");
  const std::string bad = dir.path("missing/out.ded");
  ASSERT_EQ(generateTo(bad), 1);
  EXPECT_EQ(hosted.status(), "Error creating DED file");
  const auto& message = lastMessage();
  EXPECT_EQ(message.message.title, "Error");
  EXPECT_EQ(message.message.text, "Error creating DED file\n\n" + bad);
  EXPECT_EQ(message.message.kind, SX_MESSAGE_ERROR);
  EXPECT_FALSE(std::filesystem::exists(bad));
  EXPECT_STREQ(state.dedFileName, "/kept/proposal.ded");
  EXPECT_EQ(state.outFile, nullptr);
  EXPECT_FALSE(hosted.host.waitCursorShown());
  EXPECT_NE(state.raster, nullptr);  // the source stays loaded
}

TEST_F(GenerateDed, AnUnreadableRowLeavesAnEmptyFile) {
  const std::string source = dir.write("grid.bin", std::string("\x01\x02\x03\x04\x05\x06", 6));
  RasterRec* raster = rasterOpenFile(source, 0, 0, 3, 2, 0, SourceKind::Binary, ByteType::Int8,
                                     Endian::Little, ' ', nullptr, nullptr, nullptr, 0, 0.0);
  ASSERT_NE(raster, nullptr);
  load(raster);  // the range is known before the file shrinks
  std::filesystem::resize_file(source, 4);
  std::strcpy(state.dedFileName, "/kept/proposal.ded");

  ASSERT_EQ(generateTo(out), 1);
  EXPECT_EQ(hosted.status(), "Error parsing data in input file");
  const auto& message = lastMessage();
  EXPECT_EQ(message.message.title, "Error");
  EXPECT_EQ(message.message.text, "Error parsing data in input file.");
  EXPECT_EQ(message.message.kind, SX_MESSAGE_ERROR);
  ASSERT_TRUE(std::filesystem::exists(out));
  EXPECT_EQ(std::filesystem::file_size(out), 0u);
  EXPECT_STREQ(state.dedFileName, "/kept/proposal.ded");
  EXPECT_EQ(state.outFile, nullptr);
  EXPECT_FALSE(hosted.host.waitCursorShown());
}

TEST_F(GenerateDed, APostBufferRefusedCreatesNothing) {
  std::vector<float> values(100 * 100, 5.0f);
  load(testing::memoryRaster(100, 100, values));
  {
    auto refuse = sxhost::AllocationFailure::above(19999);  // the 20000 bytes of posts
    ASSERT_EQ(generateTo(out), 1);
  }
  EXPECT_EQ(hosted.status(), "Not enough memory for the DED posts");
  const auto& message = lastMessage();
  EXPECT_EQ(message.message.title, "Error");
  EXPECT_EQ(message.message.text, "Not enough memory for the DED posts\n\n100 x 100 posts");
  EXPECT_EQ(message.message.kind, SX_MESSAGE_ERROR);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_FALSE(hosted.host.waitCursorShown());
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
  EXPECT_EQ(messages[1].message.title, "Question");
  EXPECT_EQ(messages[1].message.text, question(appended));
  EXPECT_EQ(messages[1].message.kind, SX_MESSAGE_YES_NO);
  EXPECT_EQ(messages[2].message.text, question(replaced));
  EXPECT_FALSE(std::filesystem::exists(appended));
  EXPECT_TRUE(std::filesystem::exists(replaced));
}

TEST(OfferPrefsRemoval, CandidatesFollowTheLastDot) {
  testing::TempDir dir;
  sxhost::Host host;
  // No extension: only "<path>.prefs" is a candidate; a dot in the directory cuts there.
  const std::filesystem::path sub = dir.path("a.b");
  std::filesystem::create_directory(sub);
  const std::string path = (sub / "grid").string();
  dir.write("a.b/grid.prefs", "x");
  dir.write("a.prefs", "y");
  host.responder().setDefaultAnswer(true);
  offerPrefsRemoval(nullptr, path);
  EXPECT_FALSE(std::filesystem::exists(path + ".prefs"));
  EXPECT_FALSE(std::filesystem::exists(dir.path("a.prefs")));
  EXPECT_EQ(host.responder().messages().size(), 2u);

  offerPrefsRemoval(nullptr, "");
  EXPECT_EQ(host.responder().messages().size(), 2u);
}

}  // namespace
}  // namespace relievo
