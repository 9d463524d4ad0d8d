#include "plugin/plugin_entry.h"

#include "dialog/main_dialog.h"
#include "dialog/source_loader.h"
#include "plugin/plugin_module.h"
#include "plugin/settings.h"

const char* const sxpVendor = "Quorvan, Inc.";
const char* const sxpIDString = "Relievo";
const char* const sxpUUIDString = "5b0d7c3e-2f4a-4e8b-9a61-3c7d2e9f8a14";
const char* const sxpVersion = "3.0.0";

namespace relievo {

int toolStart(SxTool tool, SxResource toolResource) {
  ToolState* state = toolStateCreate(tool, toolResource);
  if (state == nullptr) return 0;
  if (state->ui.dialog == nullptr) {
    state->ui.dialog = sxResourceGetDialog(nullptr, state->resource, kMainDialogTemplate,
                                           kMainDialogEvents, mainDialogEvent, state);
  }
  sxShowDialog(state->ui.dialog);
  return 0;
}

int mainDialogEvent(SxDialog dialog, int, int event, void* data) {
  auto* state = static_cast<ToolState*>(data);
  switch (event) {
    case SX_EVENT_INIT:
      state->ui.dialog = dialog;
      buildMainDialog(state);
      state->source.fileName[0] = '\0';
      state->source.fileSize = 0;
      discardRaster(state);
      sxGuiSetHelpContext(dialog, kHelpContext);
      break;
    case SX_EVENT_SHOW:
      settingsLoad(state);
      autoLoad(state);
      break;
    case SX_EVENT_CLOSE:
      settingsSave(state);
      discardRaster(state);
      previewBuffersFree(state->preview);
      releaseCaches(state);
      if (state->ui.scanDialog != nullptr) sxHideDialog(state->ui.scanDialog);
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace relievo

extern "C" int sxpInit(SxPlugin plugin, void*, void*) {
  relievo::PluginModule& module = relievo::pluginModule();
  module.resource = sxLoadResource(sxGetModuleHandle(plugin));
  sxRegisterHelpFile(plugin, "sxforgeon.hlp");
  const SxTool tool = sxRegisterViewer(plugin, "Relievo", relievo::toolStart, module.resource,
                                       "Version", "3.0", "MenuLocation", "Terrain", "MenuLabel",
                                       "Relievo...", "HelpContext", relievo::kHelpContext, nullptr);
  return tool != nullptr ? 1 : 0;
}

extern "C" void sxpExit(SxPlugin plugin) {
  relievo::PluginModule& module = relievo::pluginModule();
  relievo::toolStateRelease();
  sxUnregisterAllTools(plugin);
  sxUnloadResource(module.resource);
  module.resource = nullptr;
}
