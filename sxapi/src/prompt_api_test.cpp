// Message boxes and prompts through the scripted responder. What relievo's messages and
// prompts say, the names a file prompt hands back, colour prompts and a front end's own
// responder run in the end-to-end tests.
#include <gtest/gtest.h>

#include <tuple>

#include "sxapilib.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"

namespace {

// The order of queued answers, the default after them and messages that are no question
// taking none are what relievo's question about preference files shows (generate_test.cpp).
TEST(Messages, TheRecordKeepsEachAnswerAndAnUnknownKindIsRefused) {
  sxhost::Host host;
  host.responder().queueAnswer(true);
  EXPECT_EQ(sxMessageDialog(nullptr, "Delete", "Delete it?", SX_MESSAGE_YES_NO), SX_ANSWER_YES);
  EXPECT_EQ(sxMessageDialog(nullptr, "Delete", "Again?", SX_MESSAGE_YES_NO), SX_ANSWER_NO);
  EXPECT_EQ(sxMessageDialog(nullptr, nullptr, nullptr, 12), SX_ANSWER_NO);
  EXPECT_EQ(host.lastError(), "sxMessageDialog: unknown kind 12");
  const auto& m = host.responder().messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(std::tuple(m[0].answer, m[1].answer), std::tuple(true, false));
}

TEST(FilePrompts, CancelOrRefuseAndKeepTheOutputs) {
  sxhost::Host host;
  int count = 5;
  char** names = nullptr;
  // A prompt with no answer queued is cancelled in relievo's own tests; an empty answer too.
  host.responder().queueFile({});
  EXPECT_NE(sxPromptDialogFile(nullptr, SX_PROMPT_SAVE, &count, &names, nullptr), 0);

  host.responder().queueFile({"/x"});
  EXPECT_NE(sxPromptDialogFile(nullptr, 0, &count, &names, "PromptFileColour", 3, nullptr), 0);
  EXPECT_EQ(host.lastError(), "sxPromptDialogFile: unknown attribute \"PromptFileColour\"");
  EXPECT_NE(sxPromptDialogFile(nullptr, 0, &count, &names, "PromptFileTitle",
                               static_cast<const char*>(nullptr), nullptr),
            0);
  EXPECT_EQ(host.lastError(), "sxPromptDialogFile: attribute \"PromptFileTitle\" has no value");
  EXPECT_NE(sxPromptDialogFile(nullptr, 2, &count, &names, nullptr), 0);
  EXPECT_EQ(host.lastError(), "sxPromptDialogFile: unknown mode 2");
  // None of these reached the responder: the answer is still queued.
  EXPECT_EQ(host.responder().pendingFiles(), 1u);
  {
    auto refuse = sxhost::AllocationFailure::nth(2);
    EXPECT_NE(sxPromptDialogFile(nullptr, 0, &count, &names, nullptr), 0);
  }
  EXPECT_EQ(host.lastError(), "sxPromptDialogFile: the names cannot be allocated");
  EXPECT_EQ(std::tuple(count, names), std::tuple(5, nullptr));
  unsigned short r = 0;
  EXPECT_NE(sxPromptDialogColor(nullptr, 1, 2, 3, nullptr, &r, &r), 0);
  EXPECT_EQ(host.lastError(), "sxPromptDialogColor: no output");
}

}  // namespace
