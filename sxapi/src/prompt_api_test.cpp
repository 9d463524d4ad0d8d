// Message boxes and prompts through the scripted responder and a responder of our own.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "sxapilib.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"

namespace {

TEST(Messages, AreLoggedAndQuestionsAnsweredFromTheQueueThenTheDefault) {
  sxhost::Host host;
  sxhost::ScriptedResponder& r = host.responder();
  r.queueAnswer(true);
  // Only questions take answers from the queue.
  EXPECT_EQ(sxMessageDialog(nullptr, "Error", "e", SX_MESSAGE_ERROR), SX_ANSWER_NO);
  EXPECT_EQ(sxMessageDialog(nullptr, "Warning", "w", SX_MESSAGE_WARNING), SX_ANSWER_NO);
  EXPECT_EQ(sxMessageDialog(nullptr, "Info", "i", SX_MESSAGE_INFORMATION), SX_ANSWER_NO);
  EXPECT_EQ(sxMessageDialog(nullptr, "Delete", "Delete it?", SX_MESSAGE_YES_NO), SX_ANSWER_YES);
  EXPECT_EQ(sxMessageDialog(nullptr, "Delete", "Delete it?", SX_MESSAGE_YES_NO), SX_ANSWER_NO);
  r.setDefaultAnswer(true);
  EXPECT_EQ(sxMessageDialog(nullptr, "Delete", "Again?", SX_MESSAGE_YES_NO), SX_ANSWER_YES);
  EXPECT_EQ(sxMessageDialog(nullptr, nullptr, nullptr, 12), SX_ANSWER_NO);
  EXPECT_EQ(host.lastError(), "sxMessageDialog: unknown kind 12");

  // What each message said is compared in the end-to-end tests of relievo's messages.
  ASSERT_EQ(r.messages().size(), 6u);
  EXPECT_EQ(std::tuple(r.messages()[1].message.kind, r.messages()[2].message.kind,
                       r.messages()[3].answer, r.messages()[4].answer),
            std::tuple(SX_MESSAGE_WARNING, SX_MESSAGE_INFORMATION, true, false));
  EXPECT_EQ(r.pendingAnswers(), 0u);
  r.reset();
  EXPECT_TRUE(r.messages().empty());
  EXPECT_EQ(sxMessageDialog(nullptr, "Q", "q", SX_MESSAGE_YES_NO), SX_ANSWER_NO);
}

TEST(FilePrompts, HandBackNamesFromSxMalloc) {
  sxhost::Host host;
  host.responder().queueFile({"/tmp/a.txt", "/tmp/b.txt"});
  const auto live = sxhost::liveAllocations();
  int count = 0;
  char** names = nullptr;
  ASSERT_EQ(sxPromptDialogFile(nullptr, SX_PROMPT_OPEN, &count, &names, "PromptFileFlags", 1,
                               "PromptFilePattern", "Raster Files|*.*||Text Files|*.txt",
                               "PromptFileTitle", "Open Raster Files or Text Files",
                               "PromptFileDirectory", "/data/", nullptr),
            0);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(std::tuple(std::string(names[0]), std::string(names[1]), names[2]),
            std::tuple("/tmp/a.txt", "/tmp/b.txt", nullptr));
  EXPECT_EQ(sxhost::liveAllocations(), live + 3);
  sxFreeStringList(names);
  EXPECT_EQ(sxhost::liveAllocations(), live);
  sxFreeStringList(nullptr);

  const auto& log = host.responder().filePrompts();
  ASSERT_EQ(log.size(), 1u);
  // The pairs as recorded are compared whole in the end-to-end tests of relievo's prompts.
  const sxhost::FilePrompt& p = log[0].prompt;
  EXPECT_EQ(std::tuple(p.mode, p.pairs.size(), p.flags()), std::tuple(SX_PROMPT_OPEN, 4u, 1));
  ASSERT_NE(p.text("PromptFileDirectory"), nullptr);
  EXPECT_EQ(*p.text("PromptFileDirectory"), "/data/");
  EXPECT_EQ(p.text("PromptFileFullFilename"), nullptr);
}

TEST(FilePrompts, CancelOrRefuseAndKeepTheOutputs) {
  sxhost::Host host;
  int count = 5;
  char** names = nullptr;
  EXPECT_NE(sxPromptDialogFile(nullptr, SX_PROMPT_SAVE, &count, &names, "PromptFileFullFilename",
                               "/tmp/out.ded", nullptr),
            0);
  host.responder().queueFile({});
  EXPECT_NE(sxPromptDialogFile(nullptr, SX_PROMPT_SAVE, &count, &names, nullptr), 0);
  EXPECT_EQ(std::tuple(count, names), std::tuple(5, nullptr));
  ASSERT_EQ(host.responder().filePrompts().size(), 2u);
  const auto& cancelled = host.responder().filePrompts()[0];
  EXPECT_EQ(std::tuple(cancelled.prompt.mode, cancelled.answer.has_value()),
            std::tuple(SX_PROMPT_SAVE, false));

  host.responder().queueFile({"/x"});
  EXPECT_NE(sxPromptDialogFile(nullptr, 0, &count, &names, "PromptFileColour", 3, nullptr), 0);
  EXPECT_EQ(host.lastError(), "sxPromptDialogFile: unknown attribute \"PromptFileColour\"");
  EXPECT_NE(sxPromptDialogFile(nullptr, 0, &count, &names, "PromptFileTitle",
                               static_cast<const char*>(nullptr), nullptr),
            0);
  EXPECT_EQ(host.lastError(), "sxPromptDialogFile: attribute \"PromptFileTitle\" has no value");
  EXPECT_NE(sxPromptDialogFile(nullptr, 2, &count, &names, nullptr), 0);
  EXPECT_EQ(host.lastError(), "sxPromptDialogFile: unknown mode 2");
  EXPECT_NE(sxPromptDialogFile(nullptr, 0, nullptr, &names, nullptr), 0);
  EXPECT_NE(sxPromptDialogFile(reinterpret_cast<SxGui>(&count), 0, &count, &names, nullptr), 0);
  // None of these reached the responder: the answer is still queued.
  EXPECT_EQ(host.responder().pendingFiles(), 1u);
  {
    auto refuse = sxhost::AllocationFailure::nth(2);
    EXPECT_NE(sxPromptDialogFile(nullptr, 0, &count, &names, nullptr), 0);
  }
  EXPECT_EQ(host.lastError(), "sxPromptDialogFile: the names cannot be allocated");
  EXPECT_EQ(std::tuple(count, names), std::tuple(5, nullptr));
}

TEST(ColourPrompts, AnswerFromTheQueueOrCancel) {
  sxhost::Host host;
  host.responder().queueColour({255, 0, 128});
  unsigned short r = 10, g = 20, b = 30;
  EXPECT_EQ(sxPromptDialogColor(nullptr, r, g, b, &r, &g, &b), 0);
  EXPECT_EQ(std::tie(r, g, b), std::tuple(255, 0, 128));
  EXPECT_NE(sxPromptDialogColor(nullptr, 1, 2, 3, &r, &g, &b), 0);
  EXPECT_EQ(std::tie(r, g, b), std::tuple(255, 0, 128));
  const auto& log = host.responder().colourPrompts();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(
      std::tuple(log[0].prompt.r, log[0].prompt.b, log[1].prompt.g, log[1].answer.has_value()),
      std::tuple(10, 30, 2, false));
  EXPECT_NE(sxPromptDialogColor(nullptr, 1, 2, 3, nullptr, &g, &b), 0);
}

// A front end's responder, installed in place of the scripted one.
class Fixed : public sxhost::Responder {
 public:
  bool message(const sxhost::Message& m) override {
    seen.push_back(m.title);
    return true;
  }
  std::optional<std::vector<std::string>> promptFile(const sxhost::FilePrompt&) override {
    return std::vector<std::string>{"/fixed"};
  }
  std::optional<sxhost::Colour> promptColour(const sxhost::ColourPrompt&) override {
    return sxhost::Colour{1, 2, 3};
  }
  std::vector<std::string> seen;
};

TEST(Responders, AnotherResponderAnswersUntilRemoved) {
  sxhost::Host host;
  auto fixed = std::make_unique<Fixed>();
  Fixed* f = fixed.get();
  host.setResponder(std::move(fixed));
  EXPECT_EQ(sxMessageDialog(nullptr, "Q", "q", SX_MESSAGE_YES_NO), SX_ANSWER_YES);
  // Only a question's yes is passed on.
  EXPECT_EQ(sxMessageDialog(nullptr, "I", "i", SX_MESSAGE_INFORMATION), SX_ANSWER_NO);
  EXPECT_EQ(f->seen, (std::vector<std::string>{"Q", "I"}));
  int count = 0;
  char** names = nullptr;
  ASSERT_EQ(sxPromptDialogFile(nullptr, 1, &count, &names, nullptr), 0);
  EXPECT_STREQ(names[0], "/fixed");
  sxFreeStringList(names);
  EXPECT_TRUE(host.responder().messages().empty());
  host.setResponder(nullptr);
  EXPECT_EQ(sxMessageDialog(nullptr, "Q", "q", SX_MESSAGE_YES_NO), SX_ANSWER_NO);
  EXPECT_EQ(host.responder().messages().size(), 1u);
}

}  // namespace
