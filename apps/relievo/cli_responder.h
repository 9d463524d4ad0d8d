// The responder of `relievo`: answers the plug-in's message boxes and prompts from the
// command line, as the user would have answered them.
//
//   messages      printed on standard error as "Title: text"; a question (yes/no) gets the
//                 answer of --yes/--no, shown after it as " [yes]" or " [no]"
//   open prompt   answered with the file offered by offerFile, once; else cancelled
//   save prompt   the first one after expectSave is answered with the output path (or the
//                 dialog's proposed name, or the fallback name); any further one is
//                 cancelled, so a refused name never loops
//   colour prompt answered with the colour offered by offerColour, once; else cancelled
//
// A path given to showPathAs is printed as the name given with it wherever a message holds it
// (the temporary file behind "-o -" is "standard output" to the user).
#ifndef RELIEVO_APPS_CLI_RESPONDER_H
#define RELIEVO_APPS_CLI_RESPONDER_H

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "progress_display.h"
#include "sxhost/responder.h"

namespace relievo::cli {

class CliResponder : public sxhost::Responder {
 public:
  CliResponder(std::FILE* out, ProgressDisplay& progress, bool answerYes)
      : out_(out), progress_(progress), answerYes_(answerYes) {}

  void offerFile(std::string path) { openFile_ = std::move(path); }
  bool fileTaken() const { return !openFile_.has_value(); }
  void offerColour(sxhost::Colour colour) { colour_ = colour; }
  bool colourTaken() const { return !colour_.has_value(); }
  // The next save prompt is answered with output, or when that is empty with the prompt's
  // proposed full name (when takeProposal), or with fallback.
  void expectSave(std::string output, std::string fallback, bool takeProposal);
  // The name the last save prompt was answered with ("" when none was answered).
  const std::string& savedAs() const { return savedAs_; }

  void showPathAs(std::string path, std::string shown) {
    hiddenPath_ = std::move(path);
    shownPath_ = std::move(shown);
  }
  // From here on, messages that name the path given to showPathAs wait, in order, until
  // releaseHeld prints them or dropHeld forgets them: the file behind "-o -" reaches the user
  // only when its copy is complete, and its "DED file created" must not come before that.
  void holdPathMessages() { holding_ = true; }
  void releaseHeld();
  void dropHeld();

  // Prints "relievo: warning: text", or "relievo: text" for why the run failed, on the same
  // stream as the messages.
  void warn(const std::string& text);
  void reportFailure(const std::string& text);

  // Every message shown so far.
  const std::vector<sxhost::Message>& messages() const { return messages_; }

  bool message(const sxhost::Message& message) override;
  std::optional<std::vector<std::string>> promptFile(const sxhost::FilePrompt& prompt) override;
  std::optional<sxhost::Colour> promptColour(const sxhost::ColourPrompt& prompt) override;

 private:
  std::FILE* out_;
  ProgressDisplay& progress_;
  bool answerYes_;
  std::optional<std::string> openFile_;
  std::optional<sxhost::Colour> colour_;
  bool saveExpected_ = false;
  bool takeProposal_ = true;
  std::string saveOutput_, saveFallback_, savedAs_;
  std::string hiddenPath_, shownPath_;
  bool holding_ = false;
  std::vector<std::string> held_;  // lines of held messages
  std::vector<sxhost::Message> messages_;
};

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_CLI_RESPONDER_H
