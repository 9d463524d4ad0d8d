// The responder: whatever answers the plug-in's message boxes and prompts.
//
// The host hands every sxMessageDialog, sxPromptDialogFile and sxPromptDialogColor to the
// active responder. A front end implements Responder (the command line answers from its
// options; a windowed host shows real dialogs). The default is ScriptedResponder: it
// answers from queues that a test or script fills, and logs everything it was shown.
#ifndef SXHOST_RESPONDER_H
#define SXHOST_RESPONDER_H

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sxhost {

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

struct Message {
  std::string title;
  std::string text;
  int kind = 0;  // SxMessageKind
};

// One attribute pair of a file prompt. "PromptFileFlags" is the only integer.
struct PromptPair {
  std::string key;
  std::string text;  // the value of a text pair
  int number = 0;    // the value of "PromptFileFlags"
  bool isNumber = false;
  friend bool operator==(const PromptPair&, const PromptPair&) = default;
};

struct [[gnu::visibility("default")]] FilePrompt {
  int mode = 0;  // SxPromptFileMode
  std::vector<PromptPair> pairs;
  // The text of a pair, or null when the prompt has none with that key.
  const std::string* text(const std::string& key) const;
  std::optional<int> flags() const;
};

// The colour the prompt starts from, as the plug-in passed it (0 ... 255 each).
struct ColourPrompt {
  std::uint16_t r = 0, g = 0, b = 0;
};

class [[gnu::visibility("default")]] Responder {
 public:
  virtual ~Responder() = default;
  // Shows a message; returns true for "yes" to a question (kind 2052); the answer to
  // other kinds is ignored.
  virtual bool message(const Message& message) = 0;
  // The chosen names, or nothing when cancelled.
  virtual std::optional<std::vector<std::string>> promptFile(const FilePrompt& prompt) = 0;
  // The chosen colour, or nothing when cancelled.
  virtual std::optional<Colour> promptColour(const ColourPrompt& prompt) = 0;
};

// Answers from queues, first in first out. A question with no queued answer gets the
// default answer (no, unless set); a file or colour prompt with nothing queued is
// cancelled. Messages of other kinds take no answer from the queue.
class [[gnu::visibility("default")]] ScriptedResponder : public Responder {
 public:
  struct FileRecord {
    FilePrompt prompt;
    std::optional<std::vector<std::string>> answer;
  };
  struct ColourRecord {
    ColourPrompt prompt;
    std::optional<Colour> answer;
  };
  struct MessageRecord {
    Message message;
    bool answer = false;  // only meaningful for questions
  };

  void queueAnswer(bool yes) {
    answers_.push_back(yes);
  }
  void setDefaultAnswer(bool yes) {
    defaultAnswer_ = yes;
  }
  void queueFile(std::vector<std::string> names) {
    files_.push_back(std::move(names));
  }
  void queueColour(Colour colour) {
    colours_.push_back(colour);
  }
  // Forgets the queues and the log; the default answer goes back to no.
  void reset();

  const std::vector<MessageRecord>& messages() const {
    return messageLog_;
  }
  const std::vector<FileRecord>& filePrompts() const {
    return fileLog_;
  }
  const std::vector<ColourRecord>& colourPrompts() const {
    return colourLog_;
  }
  std::size_t pendingAnswers() const {
    return answers_.size();
  }
  std::size_t pendingFiles() const {
    return files_.size();
  }
  std::size_t pendingColours() const {
    return colours_.size();
  }

  bool message(const Message& message) override;
  std::optional<std::vector<std::string>> promptFile(const FilePrompt& prompt) override;
  std::optional<Colour> promptColour(const ColourPrompt& prompt) override;

 private:
  std::deque<bool> answers_;
  std::deque<std::vector<std::string>> files_;
  std::deque<Colour> colours_;
  bool defaultAnswer_ = false;
  std::vector<MessageRecord> messageLog_;
  std::vector<FileRecord> fileLog_;
  std::vector<ColourRecord> colourLog_;
};

}  // namespace sxhost

#endif  // SXHOST_RESPONDER_H
