#include "plugin_host.h"

#include <cstdlib>

#include "errors.h"
#include "option_check.h"
#include "plugin_path.h"
#include "sxhost/error.h"

#ifndef RELIEVO_INSTALL_LIBDIR
#define RELIEVO_INSTALL_LIBDIR "lib"
#endif

namespace relievo::cli {

CliResponder& loadRelievo(sxhost::Host& host, ProgressDisplay& progress, std::FILE* err,
                          bool answerYes) {
  auto owned = std::make_unique<CliResponder>(err, progress, answerYes);
  CliResponder& responder = *owned;
  host.setResponder(std::move(owned));
  host.setChangeListener([&progress](const sxhost::Control& control, sxhost::Change change) {
    progress.observe(control, change);
  });

  const char* env = std::getenv("RELIEVO_PLUGIN_PATH");
  const auto candidates =
      pluginCandidates(env != nullptr ? env : "", programDirectory(), RELIEVO_INSTALL_LIBDIR);
  const auto plugin = findPlugin(candidates);
  if (!plugin) {
    std::string looked;
    for (const auto& c : candidates)
      looked += "\n  " + c.lexically_normal().string();
    throw RunError(std::string("cannot find ") + kPluginFileName +
                   " (set RELIEVO_PLUGIN_PATH); looked at:" + looked);
  }
  try {
    host.loadPlugin(plugin->string());
  } catch (const sxhost::Error& e) {
    throw RunError(e.what());
  }
  return responder;
}

void startRelievo(sxhost::Host& host) {
  try {
    host.startTool(kToolName);
  } catch (const sxhost::Error& e) {
    throw RunError(e.what());
  }
}

}  // namespace relievo::cli
