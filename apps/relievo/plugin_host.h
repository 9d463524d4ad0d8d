// Starting the Relievo tool in a stand-in host, as `relievo` and `relievo inspect` do.
#ifndef RELIEVO_APPS_PLUGIN_HOST_H
#define RELIEVO_APPS_PLUGIN_HOST_H

#include <cstdio>
#include <functional>
#include <memory>

#include "cli_responder.h"
#include "progress_display.h"
#include "sxhost/host.h"

namespace relievo::cli {

inline constexpr char kPluginFileName[] = "relievo.so";

// Installs a CliResponder answering yes or no into the host, shows the main dialog's
// progress on `progress` and loads relievo.so (found as sxhost::locatePlugin says,
// RELIEVO_PLUGIN_PATH being the user's path). Returns the responder, which the host owns. Throws
// RunError when the plug-in cannot be found or loaded.
CliResponder& loadRelievo(sxhost::Host& host, ProgressDisplay& progress, std::FILE* err,
                          bool answerYes);

// Starts the tool: its dialog shows with the stored settings. Throws RunError on failure.
void startRelievo(sxhost::Host& host);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_PLUGIN_HOST_H
