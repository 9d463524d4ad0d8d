#include "cli_responder.h"

#include "sxapilib.h"

namespace relievo::cli {

void CliResponder::expectSave(std::string output, std::string fallback, bool takeProposal) {
  saveExpected_ = true;
  takeProposal_ = takeProposal;
  saveOutput_ = std::move(output);
  saveFallback_ = std::move(fallback);
  savedAs_.clear();
}

void CliResponder::warn(const std::string& text) {
  reportFailure("warning: " + text);
}

void CliResponder::reportFailure(const std::string& text) {
  progress_.clear();
  std::fprintf(out_, "relievo: %s\n", text.c_str());
  std::fflush(out_);
}

bool CliResponder::message(const sxhost::Message& message) {
  messages_.push_back(message);
  progress_.clear();
  const bool question = message.kind == SX_MESSAGE_YES_NO;
  std::string text = message.text;
  bool namesPath = false;
  for (auto at = text.find(hiddenPath_); !hiddenPath_.empty() && at != std::string::npos;
       at = text.find(hiddenPath_, at + shownPath_.size())) {
    text.replace(at, hiddenPath_.size(), shownPath_);
    namesPath = true;
  }
  std::string line = message.title + ": " + text;
  if (question) line += answerYes_ ? " [yes]" : " [no]";
  if (holding_ && namesPath) {
    held_.push_back(std::move(line));
  } else {
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
  }
  return question && answerYes_;
}

void CliResponder::releaseHeld() {
  for (const std::string& line : held_)
    std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
  dropHeld();
}

void CliResponder::dropHeld() {
  held_.clear();
  holding_ = false;
}

std::optional<std::vector<std::string>> CliResponder::promptFile(const sxhost::FilePrompt& prompt) {
  if (prompt.mode == SX_PROMPT_OPEN) {
    if (!openFile_) return std::nullopt;
    std::vector<std::string> names{std::move(*openFile_)};
    openFile_.reset();
    return names;
  }
  if (!saveExpected_) return std::nullopt;
  saveExpected_ = false;
  std::string name = saveOutput_;
  if (name.empty()) {
    const std::string* proposal = prompt.text("PromptFileFullFilename");
    name = takeProposal_ && proposal != nullptr && !proposal->empty() ? *proposal : saveFallback_;
  }
  savedAs_ = name;
  return std::vector<std::string>{name};
}

std::optional<sxhost::Colour> CliResponder::promptColour(const sxhost::ColourPrompt&) {
  if (!colour_) return std::nullopt;
  const sxhost::Colour c = *colour_;
  colour_.reset();
  return c;
}

}  // namespace relievo::cli
