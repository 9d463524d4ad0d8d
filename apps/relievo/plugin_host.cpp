#include "plugin_host.h"

#include "errors.h"
#include "option_check.h"
#include "sxhost/error.h"
#include "sxhost/plugin_path.h"

#ifndef RELIEVO_INSTALL_LIBDIR
#define RELIEVO_INSTALL_LIBDIR "lib"
#endif

namespace relievo::cli {

CliResponder& loadRelievo(sxhost::Host& host, ProgressDisplay& progress, std::FILE* err,
                          bool answerYes) {
  auto owned = std::make_unique<CliResponder>(err, progress, answerYes);
  CliResponder& responder = *owned;
  host.setResponder(std::move(owned));
  // A headless run shows no picture; the preview file draws its own when it is written.
  host.setDrawOnRequest(false);
  host.setChangeListener([&progress](const sxhost::Control& control, sxhost::Change change) {
    progress.observe(control, change);
  });

  try {
    host.loadPlugin(
        sxhost::locatePlugin(kPluginFileName, "RELIEVO_PLUGIN_PATH", RELIEVO_INSTALL_LIBDIR)
            .string());
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
