// Per-tool preferences of the host API, kept under the tool's name.
#include <cstring>

#include "host_state.h"
#include "sxapilib.h"

using namespace sxhost;
using namespace sxhost::detail;

namespace {

// The tool's name for a call, or null after recording why.
const std::string* toolName(const char* call, SxTool tool, const char* key) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  ToolRec* t = s->tool(tool);
  if (t == nullptr) {
    s->fail(std::string(call) + ": not a registered tool");
    return nullptr;
  }
  if (key == nullptr) {
    s->fail(std::string(call) + ": no key");
    return nullptr;
  }
  return &t->name;
}

template <class T>
int get(const char* call, SxTool tool, const char* key, T* value, T def,
        std::optional<T> (Preferences::*read)(const std::string&, const std::string&) const) {
  const std::string* name = toolName(call, tool, key);
  if (name == nullptr) return -1;
  if (value == nullptr) return state()->fail(std::string(call) + ": no output");
  *value = (state()->prefs.*read)(*name, key).value_or(def);
  return 0;
}

template <class T>
int set(const char* call, SxTool tool, const char* key, T value) {
  const std::string* name = toolName(call, tool, key);
  if (name == nullptr) return -1;
  state()->prefs.set(*name, key, PrefValue(std::move(value)));
  return 0;
}

}  // namespace

extern "C" int sxPluginToolPrefGetInteger(SxTool tool, const char* key, int* value, int def) {
  return get("sxPluginToolPrefGetInteger", tool, key, value, def, &Preferences::getInteger);
}

extern "C" int sxPluginToolPrefGetFloat(SxTool tool, const char* key, float* value, float def) {
  return get("sxPluginToolPrefGetFloat", tool, key, value, def, &Preferences::getFloat);
}

extern "C" int sxPluginToolPrefGetDouble(SxTool tool, const char* key, double* value, double def) {
  return get("sxPluginToolPrefGetDouble", tool, key, value, def, &Preferences::getDouble);
}

extern "C" int sxPluginToolPrefGetString(SxTool tool, const char* key, char* buf, int max,
                                         const char* def) {
  const std::string* name = toolName("sxPluginToolPrefGetString", tool, key);
  if (name == nullptr) return -1;
  if (buf == nullptr || max < 0)
    return state()->fail("sxPluginToolPrefGetString: no room for the text");
  const std::string text = state()->prefs.getText(*name, key).value_or(def != nullptr ? def : "");
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(max));
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return 0;
}

extern "C" int sxPluginToolPrefSetInteger(SxTool tool, const char* key, int value) {
  return set("sxPluginToolPrefSetInteger", tool, key, value);
}

extern "C" int sxPluginToolPrefSetFloat(SxTool tool, const char* key, float value) {
  return set("sxPluginToolPrefSetFloat", tool, key, value);
}

extern "C" int sxPluginToolPrefSetDouble(SxTool tool, const char* key, double value) {
  return set("sxPluginToolPrefSetDouble", tool, key, value);
}

extern "C" int sxPluginToolPrefSetString(SxTool tool, const char* key, const char* value) {
  if (value == nullptr) {
    if (HostState* s = state()) s->fail("sxPluginToolPrefSetString: no value");
    return -1;
  }
  return set("sxPluginToolPrefSetString", tool, key, std::string(value));
}
