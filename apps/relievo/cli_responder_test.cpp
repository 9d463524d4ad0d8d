#include "cli_responder.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "sxapilib.h"

namespace relievo::cli {
namespace {

class CliResponderTest : public ::testing::Test {
 protected:
  void TearDown() override { std::fclose(out_); }
  sxhost::FilePrompt savePrompt(const char* proposal) {
    sxhost::FilePrompt p;
    p.mode = SX_PROMPT_SAVE;
    if (proposal != nullptr) p.pairs.push_back({"PromptFileFullFilename", proposal, 0, false});
    return p;
  }
  std::FILE* out_ = std::tmpfile();
  ProgressDisplay progress_{out_, false};
};

// How messages and answers show is the command's end-to-end tests' case.
TEST_F(CliResponderTest, OpenAndColourPromptsTakeWhatIsOfferedOnce) {
  CliResponder r(out_, progress_, false);
  sxhost::FilePrompt open;
  open.mode = SX_PROMPT_OPEN;
  EXPECT_FALSE(r.promptFile(open));
  r.offerFile("/data/a.asc");
  EXPECT_FALSE(r.fileTaken());
  EXPECT_EQ(r.promptFile(open), (std::vector<std::string>{"/data/a.asc"}));
  EXPECT_TRUE(r.fileTaken());
  EXPECT_FALSE(r.promptFile(open));

  EXPECT_FALSE(r.promptColour({1, 2, 3}));
  r.offerColour({9, 8, 7});
  EXPECT_EQ(r.promptColour({1, 2, 3}), (sxhost::Colour{9, 8, 7}));
  EXPECT_TRUE(r.colourTaken());
  EXPECT_FALSE(r.promptColour({1, 2, 3}));
}

TEST_F(CliResponderTest, SavePromptsAreAnsweredOnceAfterExpectSave) {
  CliResponder r(out_, progress_, false);
  EXPECT_FALSE(r.promptFile(savePrompt("/d/a.ded")));
  struct Case {
    std::string output;
    const char* proposal;
    bool takeProposal;
    std::string answer;
  };
  const Case cases[] = {
      {"/o/x.ded", "/d/a.ded", true, "/o/x.ded"}, {"", "/d/a.ded", true, "/d/a.ded"},
      {"", "/d/a.ded", false, "/w/terrain.ded"},  {"", "", true, "/w/terrain.ded"},
      {"", nullptr, true, "/w/terrain.ded"},
  };
  for (const Case& c : cases) {
    r.expectSave(c.output, "/w/terrain.ded", c.takeProposal);
    EXPECT_EQ(r.promptFile(savePrompt(c.proposal)), (std::vector<std::string>{c.answer}));
    EXPECT_EQ(r.savedAs(), c.answer);
    // A second prompt, after the dialog refused the name, is cancelled.
    EXPECT_FALSE(r.promptFile(savePrompt(c.proposal)));
  }
}

}  // namespace
}  // namespace relievo::cli
