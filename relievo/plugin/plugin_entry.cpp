#include "plugin/plugin_entry.h"

#include "ded/units.h"
#include "dialog/main_dialog.h"
#include "fractal/fractal_source.h"
#include "plugin/delimiters.h"
#include "plugin/settings.h"
#include "plugin/tool_state.h"
#include "raster/image_reader.h"
#include "raster/source_loader.h"

const char* const sxpVendor = "Quorvan, Inc.";
const char* const sxpIDString = "Relievo";
const char* const sxpUUIDString = "5b0d7c3e-2f4a-4e8b-9a61-3c7d2e9f8a14";
const char* const sxpVersion = "3.0.0";

namespace relievo {

namespace {

SxResource resource = nullptr;

void releaseCaches() {
  fractalFreeCache();
  rasterFreeImageCache();
}

}  // namespace

int toolStart(SxTool tool, SxResource toolResource) {
  ToolState* state = toolStateCreate(tool, toolResource);
  if (state == nullptr) return 0;
  if (state->dialog == nullptr) {
    state->dialog = sxResourceGetDialog(nullptr, state->resource, kMainDialogTemplate,
                                        kMainDialogEvents, mainDialogEvent, state);
  }
  sxShowDialog(state->dialog);
  return 0;
}

int mainDialogEvent(SxDialog dialog, int, int event, void* data) {
  auto* state = static_cast<ToolState*>(data);
  switch (event) {
    case SX_EVENT_INIT:
      state->dialog = dialog;
      buildMainDialog(state);
      state->fileName[0] = '\0';
      state->fileSize = 0;
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
      previewBuffersFree(state);
      releaseCaches();
      if (state->scanDialog != nullptr) sxHideDialog(state->scanDialog);
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace relievo

extern "C" int sxpInit(SxPlugin plugin, void*, void*) {
  const SxModule module = sxGetModuleHandle(plugin);
  relievo::resource = sxLoadResource(module);
  sxRegisterHelpFile(plugin, "sxforgeon.hlp");
  const SxTool tool = sxRegisterViewer(plugin, "Relievo", relievo::toolStart, relievo::resource,
                                       "Version", "3.0", "MenuLocation", "Terrain", "MenuLabel",
                                       "Relievo...", "HelpContext", relievo::kHelpContext, nullptr);
  return tool != nullptr ? 1 : 0;
}

extern "C" void sxpExit(SxPlugin plugin) {
  relievo::toolStateRelease();
  relievo::releaseCaches();
  relievo::unitsReset();
  relievo::delimitersReset();
  sxUnregisterAllTools(plugin);
  sxUnloadResource(relievo::resource);
  relievo::resource = nullptr;
}
