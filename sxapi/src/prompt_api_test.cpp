// Message boxes and prompts through the scripted responder. What relievo's messages and
// prompts say, the names a file prompt hands back, colour prompts and a front end's own
// responder run in the end-to-end tests.
#include <gtest/gtest.h>

#include <tuple>

#include "sxapilib.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"

namespace {

TEST(Messages, QuestionsAloneAreAnsweredFromTheQueueThenTheDefault) {
  sxhost::Host host;
  sxhost::ScriptedResponder& r = host.responder();
  r.queueAnswer(true);
  for (int kind : {SX_MESSAGE_ERROR, SX_MESSAGE_WARNING, SX_MESSAGE_INFORMATION})
    EXPECT_EQ(sxMessageDialog(nullptr, "T", "t", kind), SX_ANSWER_NO);
  EXPECT_EQ(sxMessageDialog(nullptr, "Delete", "Delete it?", SX_MESSAGE_YES_NO), SX_ANSWER_YES);
  EXPECT_EQ(sxMessageDialog(nullptr, "Delete", "Delete it?", SX_MESSAGE_YES_NO), SX_ANSWER_NO);
  r.setDefaultAnswer(true);
  EXPECT_EQ(sxMessageDialog(nullptr, "Delete", "Again?", SX_MESSAGE_YES_NO), SX_ANSWER_YES);
  EXPECT_EQ(sxMessageDialog(nullptr, nullptr, nullptr, 12), SX_ANSWER_NO);
  EXPECT_EQ(host.lastError(), "sxMessageDialog: unknown kind 12");
  ASSERT_EQ(r.messages().size(), 6u);
  EXPECT_EQ(
      std::tuple(r.messages()[1].message.kind, r.messages()[3].answer, r.messages()[4].answer),
      std::tuple(SX_MESSAGE_WARNING, true, false));
}

TEST(FilePrompts, CancelOrRefuseAndKeepTheOutputs) {
  sxhost::Host host;
  int count = 5;
  char** names = nullptr;
  EXPECT_NE(sxPromptDialogFile(nullptr, SX_PROMPT_SAVE, &count, &names, nullptr), 0);
  host.responder().queueFile({});
  EXPECT_NE(sxPromptDialogFile(nullptr, SX_PROMPT_SAVE, &count, &names, nullptr), 0);
  EXPECT_EQ(host.responder().filePrompts().size(), 2u);

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
}

}  // namespace
