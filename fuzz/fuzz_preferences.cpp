// The preferences file over any text. A file that parses must read back the same after it is
// written again, and every typed read of every value must stay defined.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sxhost/error.h"
#include "sxhost/preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sxhost::Preferences prefs;
  try {
    prefs = sxhost::Preferences::fromJson(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const sxhost::Error&) {
    return 0;
  }
  const std::string written = prefs.toJson();
  if (sxhost::Preferences::fromJson(written).toJson() != written) std::abort();
  for (const auto& [tool, values] : prefs.tools()) {
    for (const auto& [key, value] : values) {
      prefs.getInteger(tool, key);
      prefs.getFloat(tool, key);
      prefs.getDouble(tool, key);
      prefs.getText(tool, key);
    }
  }
  return 0;
}
