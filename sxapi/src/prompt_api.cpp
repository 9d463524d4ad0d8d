// Message boxes and prompts: handed to the active responder.
#include <cstdarg>
#include <cstring>

#include "host_state.h"
#include "sxapilib.h"

using namespace sxhost;
using namespace sxhost::detail;

namespace {

constexpr const char* kFlagsKey = "PromptFileFlags";
constexpr const char* kTextKeys[] = {"PromptFilePattern", "PromptFileTitle", "PromptFileDirectory",
                                     "PromptFileFullFilename"};

bool validParent(HostState& s, SxGui parent, const char* call) {
  if (parent == nullptr || s.dialog(parent) != nullptr || s.control(parent) != nullptr) {
    return true;
  }
  s.fail(std::string(call) + ": the parent is not a dialog or control");
  return false;
}

// A null-terminated list of copies from sxMalloc, or null when memory runs out.
char** stringList(const std::vector<std::string>& names) {
  auto** list = static_cast<char**>(sxMalloc((names.size() + 1) * sizeof(char*)));
  if (list == nullptr) return nullptr;
  for (std::size_t i = 0; i < names.size(); ++i) {
    list[i] = static_cast<char*>(sxMalloc(names[i].size() + 1));
    if (list[i] == nullptr) {
      sxFreeStringList(list);
      return nullptr;
    }
    std::memcpy(list[i], names[i].c_str(), names[i].size() + 1);
  }
  return list;
}

}  // namespace

extern "C" int sxMessageDialog(SxGui parent, const char* title, const char* text, int kind) {
  HostState* s = state();
  if (s == nullptr) return SX_ANSWER_NO;
  if (!validParent(*s, parent, "sxMessageDialog")) return SX_ANSWER_NO;
  if (kind != SX_MESSAGE_ERROR && kind != SX_MESSAGE_WARNING && kind != SX_MESSAGE_INFORMATION &&
      kind != SX_MESSAGE_YES_NO) {
    s->fail("sxMessageDialog: unknown kind " + std::to_string(kind));
    return SX_ANSWER_NO;
  }
  const Message m{title != nullptr ? title : "", text != nullptr ? text : "", kind};
  const bool yes = s->responder().message(m);
  return kind == SX_MESSAGE_YES_NO && yes ? SX_ANSWER_YES : SX_ANSWER_NO;
}

extern "C" int sxPromptDialogFile(SxGui parent, int mode, int* count, char*** names, ...) {
  HostState* s = state();
  if (s == nullptr) return -1;
  if (!validParent(*s, parent, "sxPromptDialogFile")) return -1;
  if (count == nullptr || names == nullptr) return s->fail("sxPromptDialogFile: no output");
  if (mode != SX_PROMPT_OPEN && mode != SX_PROMPT_SAVE) {
    return s->fail("sxPromptDialogFile: unknown mode " + std::to_string(mode));
  }
  FilePrompt prompt;
  prompt.mode = mode;
  va_list pairs;
  va_start(pairs, names);
  std::string bad;
  while (const char* key = va_arg(pairs, const char*)) {
    if (std::strcmp(key, kFlagsKey) == 0) {
      prompt.pairs.push_back(PromptPair{key, "", va_arg(pairs, int), true});
      continue;
    }
    bool known = false;
    for (const char* k : kTextKeys)
      known = known || std::strcmp(key, k) == 0;
    // The type of an unknown key's value is unknown too: reading on could crash.
    if (!known) {
      bad = std::string("unknown attribute \"") + key + "\"";
      break;
    }
    const char* value = va_arg(pairs, const char*);
    if (value == nullptr) {
      bad = std::string("attribute \"") + key + "\" has no value";
      break;
    }
    prompt.pairs.push_back(PromptPair{key, value, 0, false});
  }
  va_end(pairs);
  if (!bad.empty()) return s->fail("sxPromptDialogFile: " + bad);

  const auto chosen = s->responder().promptFile(prompt);
  if (!chosen || chosen->empty()) return 1;
  char** list = stringList(*chosen);
  if (list == nullptr) return s->fail("sxPromptDialogFile: the names cannot be allocated");
  *count = static_cast<int>(chosen->size());
  *names = list;
  return 0;
}

extern "C" void sxFreeStringList(char** names) {
  if (names == nullptr) return;
  for (char** p = names; *p != nullptr; ++p)
    sxFree(*p);
  sxFree(names);
}

extern "C" int sxPromptDialogColor(SxGui parent, unsigned short r, unsigned short g,
                                   unsigned short b, unsigned short* outR, unsigned short* outG,
                                   unsigned short* outB) {
  HostState* s = state();
  if (s == nullptr) return -1;
  if (!validParent(*s, parent, "sxPromptDialogColor")) return -1;
  if (outR == nullptr || outG == nullptr || outB == nullptr) {
    return s->fail("sxPromptDialogColor: no output");
  }
  const auto chosen = s->responder().promptColour(ColourPrompt{r, g, b});
  if (!chosen) return 1;
  *outR = chosen->r;
  *outG = chosen->g;
  *outB = chosen->b;
  return 0;
}
