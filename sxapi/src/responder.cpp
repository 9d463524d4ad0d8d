#include "sxhost/responder.h"

#include "sxapilib.h"

namespace sxhost {

const std::string* FilePrompt::text(const std::string& key) const {
  for (const auto& p : pairs) {
    if (p.key == key && !p.isNumber) return &p.text;
  }
  return nullptr;
}

std::optional<int> FilePrompt::flags() const {
  for (const auto& p : pairs) {
    if (p.isNumber) return p.number;
  }
  return std::nullopt;
}

void ScriptedResponder::reset() {
  *this = ScriptedResponder();
}

bool ScriptedResponder::message(const Message& m) {
  bool answer = false;
  if (m.kind == SX_MESSAGE_YES_NO) {
    answer = defaultAnswer_;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
  }
  messageLog_.push_back(MessageRecord{m, answer});
  return answer;
}

std::optional<std::vector<std::string>> ScriptedResponder::promptFile(const FilePrompt& prompt) {
  std::optional<std::vector<std::string>> answer;
  if (!files_.empty()) {
    answer = std::move(files_.front());
    files_.pop_front();
  }
  fileLog_.push_back(FileRecord{prompt, answer});
  return answer;
}

std::optional<Colour> ScriptedResponder::promptColour(const ColourPrompt& prompt) {
  std::optional<Colour> answer;
  if (!colours_.empty()) {
    answer = colours_.front();
    colours_.pop_front();
  }
  colourLog_.push_back(ColourRecord{prompt, answer});
  return answer;
}

}  // namespace sxhost
