#include "dialog/gl_calls.h"

#include <dlfcn.h>

#include <optional>

namespace relievo {

namespace {

std::optional<GlCalls> lookUpCalls() {
  GlCalls calls{};
  bool found = true;
#define RELIEVO_GL_LOOK_UP(name)                                                \
  calls.name = reinterpret_cast<decltype(&::name)>(dlsym(RTLD_DEFAULT, #name)); \
  found = found && calls.name != nullptr;
  RELIEVO_GL_CALLS(RELIEVO_GL_LOOK_UP)
#undef RELIEVO_GL_LOOK_UP
  if (!found) return std::nullopt;
  return calls;
}

}  // namespace

const GlCalls* glCalls() {
  static const std::optional<GlCalls> calls = lookUpCalls();
  return calls ? &*calls : nullptr;
}

}  // namespace relievo
