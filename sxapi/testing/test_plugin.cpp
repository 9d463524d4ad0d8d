// A plug-in of the host's own tests: the tool "Host Test" shows dialog 300 of the module's
// resource file; the dialog's closes and the module's exits are counted in the tool's
// preferences, so that a test sees when the host ran them. Everything else a module does
// through the host is what the end-to-end tests do with relievo.so.
#include "sxapilib.h"

namespace {

SxResource resource = nullptr;
SxTool tool = nullptr;
SxDialog dialog = nullptr;  // module state: a fresh load makes the dialog again

void countPref(const char* key) {
  int n = 0;
  sxPluginToolPrefGetInteger(tool, key, &n, 0);
  sxPluginToolPrefSetInteger(tool, key, n + 1);
}

int onDialog(SxDialog, int, int event, void*) {
  if (event == SX_EVENT_CLOSE) countPref("Closes");
  return 0;
}

int startTool(SxTool, SxResource res) {
  if (dialog == nullptr) {
    dialog = sxResourceGetDialog(nullptr, res, 300, SX_EVENT_CLOSE, onDialog, nullptr);
  }
  sxShowDialog(dialog);
  return 0;
}

}  // namespace

extern "C" [[gnu::visibility("default")]] int sxpInit(SxPlugin plugin, void*, void*) {
  resource = sxLoadResource(sxGetModuleHandle(plugin));
  tool = sxRegisterViewer(plugin, "Host Test", startTool, resource, nullptr);
  return tool != nullptr ? 1 : 0;
}

extern "C" [[gnu::visibility("default")]] void sxpExit(SxPlugin plugin) {
  countPref("Exits");
  sxUnregisterAllTools(plugin);
  sxUnloadResource(resource);
  resource = nullptr;
  tool = nullptr;
  dialog = nullptr;
}
