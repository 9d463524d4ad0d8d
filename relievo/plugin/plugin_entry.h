// The plug-in's frame: what the host finds in the library (the sxp... exports of
// sxapilib.h), the tool start and the main dialog's event function.
//
// Init loads the resources, registers the help file and the tool "Relievo" under "Terrain".
// The first start creates the one ToolState and the main dialog; every start shows it. The
// dialog's init wires the controls, each show loads the settings and runs the automatic
// load, each close saves the settings and releases the loaded data and the caches. Exit
// releases every piece of module state so that a host can load the plug-in again.
#ifndef RELIEVO_PLUGIN_PLUGIN_ENTRY_H
#define RELIEVO_PLUGIN_PLUGIN_ENTRY_H

#include "sxapilib.h"

extern "C" {
SX_EXPORT extern const char* const sxpVendor;
SX_EXPORT extern const char* const sxpIDString;
SX_EXPORT extern const char* const sxpUUIDString;
SX_EXPORT extern const char* const sxpVersion;
SX_EXPORT int sxpInit(SxPlugin plugin, void* hostArg1, void* hostArg2);
SX_EXPORT void sxpExit(SxPlugin plugin);
}

namespace relievo {

// Mask of the main dialog's events: init, show, close and activate (which it ignores).
inline constexpr int kMainDialogEvents =
    SX_EVENT_INIT | SX_EVENT_SHOW | SX_EVENT_CLOSE | SX_EVENT_ACTIVATE;

int toolStart(SxTool tool, SxResource resource);
int mainDialogEvent(SxDialog dialog, int id, int event, void* state);

}  // namespace relievo

#endif  // RELIEVO_PLUGIN_PLUGIN_ENTRY_H
