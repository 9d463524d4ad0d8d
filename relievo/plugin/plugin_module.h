// The plug-in's module state: what must outlive every callback because the host calls the
// exports without user data. One record: the resources loaded at init and the one ToolState.
#ifndef RELIEVO_PLUGIN_PLUGIN_MODULE_H
#define RELIEVO_PLUGIN_PLUGIN_MODULE_H

#include "dialog/tool_state.h"

namespace relievo {

struct PluginModule {
  SxResource resource;  // loaded by sxpInit, unloaded by sxpExit
  ToolState* state;     // created at the first tool start, freed at exit
};

// The module's record.
PluginModule& pluginModule();
// The module's ToolState: allocated on first use with the creation values, the existing one
// afterwards; null when memory is refused.
ToolState* toolStateCreate(SxTool tool, SxResource resource);
// Frees the record (toolStateFree) and clears the module's pointer; nothing without one.
void toolStateRelease();

}  // namespace relievo

#endif  // RELIEVO_PLUGIN_PLUGIN_MODULE_H
