// The resource file of a plug-in over any text: it parses, or fails with sxhost::Error.
#include <cstdint>
#include <string_view>

#include "sxhost/error.h"
#include "sxhost/resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    sxhost::parseResource(std::string_view(reinterpret_cast<const char*>(data), size),
                          "fuzz.rsrc.json");
  } catch (const sxhost::Error&) {
  }
  return 0;
}
