// A plug-in of the host's own tests. It registers the tool "Host Test", whose dialog reaches
// the host's dialogs, controls, preferences, messages and resources from a loaded module, and
// reports what happened in its labels and preferences so that a test can see it through
// sxhost. Each kind of control is tried in the host's own tests, without a module.
#include <string>

#include "sxapilib.h"

extern "C" {
[[gnu::visibility("default")]] const char* sxpVendor = "Relievo Tests";
[[gnu::visibility("default")]] const char* sxpIDString = "HostTest";
[[gnu::visibility("default")]] const char* sxpUUIDString = "7c1f4d52-0b3e-4a8e-9d61-2f5a8c3e9b10";
[[gnu::visibility("default")]] const char* sxpVersion = "1.2.3";
}

namespace {

SxResource resource = nullptr;
SxTool tool = nullptr;
SxDialog dialog = nullptr;
int starts = 0;  // module state: a fresh load starts again from 0

enum Id { kEvents = 10, kAsk = 11, kStatus = 12, kValue = 16, kSeed = 25 };

void status(const std::string& text) {
  sxTextSetString(sxFindGuiById(dialog, kStatus), text.c_str());
}

void countPref(const char* key) {
  int n = 0;
  sxPluginToolPrefGetInteger(tool, key, &n, 0);
  sxPluginToolPrefSetInteger(tool, key, n + 1);
}

int onControl(SxGui control, int id, int reason, void*, void*) {
  if (reason == SX_REASON_REFRESH) {
    int v = 0;
    sxPluginToolPrefGetInteger(tool, "Value", &v, -1);
    sxTextSetInteger(control, v, nullptr);
    return 0;
  }
  switch (id) {
    case kAsk:
      status(sxMessageDialog(dialog, "Question", "Proceed?", SX_MESSAGE_YES_NO) == SX_ANSWER_YES
                 ? "yes"
                 : "no");
      break;
    case kValue: {
      int v = 0;
      if (sxTextGetInteger(control, &v) == 0) {
        sxPluginToolPrefSetInteger(tool, "Value", v);
        status("value " + std::to_string(v));
      } else {
        status("not a number");
      }
      sxRefreshDialog(dialog);
      break;
    }
    default:
      break;
  }
  return 0;
}

int onDialog(SxDialog d, int, int event, void*) {
  SxGui events = sxFindGuiById(d, kEvents);
  char text[256] = "";
  sxTextGetString(events, text, sizeof text);
  std::string all = text;
  sxTextSetString(events, (all.empty() ? "" : all + " ").append(std::to_string(event)).c_str());
  if (event == SX_EVENT_INIT) {
    dialog = d;
    sxSetGuiCallback(sxFindGuiById(d, kAsk), SX_MASK_ACTIVATE, onControl, nullptr);
    sxSetGuiCallback(sxFindGuiById(d, kValue), SX_MASK_ACTIVATE_REFRESH, onControl, nullptr);
    if (SxPixmap arrow = sxResourceGetPixmap(resource, 200)) {
      sxSetPixmap(sxFindGuiById(d, kSeed), arrow);
    }
    sxGuiSetHelpContext(d, "4242");
  } else if (event == SX_EVENT_SHOW) {
    sxRefreshDialog(d);
  } else if (event == SX_EVENT_CLOSE) {
    countPref("Closes");
  }
  return 0;
}

int startTool(SxTool, SxResource res) {
  ++starts;
  if (dialog == nullptr) {
    dialog = sxResourceGetDialog(nullptr, res, 300,
                                 SX_EVENT_INIT | SX_EVENT_SHOW | SX_EVENT_CLOSE | SX_EVENT_ACTIVATE,
                                 onDialog, nullptr);
  }
  sxSetCaption(dialog, ("Host Test " + std::to_string(starts)).c_str());
  sxShowDialog(dialog);
  return 0;
}

}  // namespace

extern "C" [[gnu::visibility("default")]] int sxpInit(SxPlugin plugin, void*, void*) {
  resource = sxLoadResource(sxGetModuleHandle(plugin));
  sxRegisterHelpFile(plugin, "hosttest.hlp");
  tool =
      sxRegisterViewer(plugin, "Host Test", startTool, resource, "Version", "1.2", "MenuLocation",
                       "Tests", "MenuLabel", "Host Test...", "HelpContext", "4242", nullptr);
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
