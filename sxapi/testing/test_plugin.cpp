// A plug-in of the host's own tests. It registers the tool "Host Test", whose dialog uses
// every kind of control and every host call category, and reports what happened in its
// labels and preferences so that a test can see it through sxhost.
#include <GL/gl.h>

#include <cstdio>
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
bool busy = false;

enum Id {
  kEvents = 10,
  kAsk = 11,
  kStatus = 12,
  kOpen = 13,
  kFile = 14,
  kColour = 15,
  kValue = 16,
  kFlag = 17,
  kFast = 18,
  kFine = 19,
  kOption = 20,
  kList = 21,
  kScale = 22,
  kProgress = 23,
  kView = 24,
  kSeed = 25,
  kBusy = 26,
  kClose = 1
};

void status(const std::string& text) {
  sxTextSetString(sxFindGuiById(dialog, kStatus), text.c_str());
}

void countPref(const char* key) {
  int n = 0;
  sxPluginToolPrefGetInteger(tool, key, &n, 0);
  sxPluginToolPrefSetInteger(tool, key, n + 1);
}

int onControl(SxGui control, int id, int reason, void*, void* callData) {
  if (reason == SX_REASON_REFRESH) {
    if (id == kValue) {
      int v = 0;
      sxPluginToolPrefGetInteger(tool, "Value", &v, -1);
      sxTextSetInteger(control, v, nullptr);
    }
    return 0;
  }
  switch (id) {
    case kAsk:
      status(sxMessageDialog(dialog, "Question", "Proceed?", SX_MESSAGE_YES_NO) == SX_ANSWER_YES
                 ? "yes"
                 : "no");
      break;
    case kOpen: {
      int count = 0;
      char** names = nullptr;
      if (sxPromptDialogFile(dialog, SX_PROMPT_OPEN, &count, &names, "PromptFileFlags", 1,
                             "PromptFilePattern", "Text|*.txt", "PromptFileTitle", "Open",
                             nullptr) == 0) {
        sxTextSetString(sxFindGuiById(dialog, kFile), names[0]);
        status(std::to_string(count) + " chosen");
        sxFreeStringList(names);
      } else {
        status("cancelled");
      }
      break;
    }
    case kColour: {
      unsigned short r = 1, g = 2, b = 3;
      if (sxPromptDialogColor(nullptr, 10, 20, 30, &r, &g, &b) == 0) {
        status(std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b));
      } else {
        status("colour cancelled");
      }
      break;
    }
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
    case kFlag:
    case kFast:
    case kFine:
      status("toggle " + std::to_string(id) + " " +
             std::to_string(sxToggleButtonGetState(control)));
      break;
    case kOption:
    case kList: {
      int pos = 0;
      const int rc = id == kOption ? sxOptionMenuGetSelectedItemPos(control, &pos)
                                   : sxListGetSelectedItemPos(control, &pos);
      status((id == kOption ? "option " : "list ") + std::to_string(rc == 0 ? pos : -1));
      break;
    }
    case kScale: {
      double v = 0;
      sxScaleGetValue(control, &v);
      char text[64];
      std::snprintf(text, sizeof text, "scale %.2f drag %d", v,
                    static_cast<SxScaleCallData*>(callData)->dragState);
      status(text);
      sxProgressSetValue(sxFindGuiById(dialog, kProgress), v * 100.0);
      break;
    }
    case kSeed:
      status("seed");
      break;
    case kBusy:
      busy = !busy;
      sxSetCursor(busy ? sxResourceGetCursor(nullptr, SX_CURSOR_WAIT) : nullptr);
      break;
    case kClose:
      sxHideDialog(dialog);
      break;
    default:
      break;
  }
  return 0;
}

int onDraw(SxGui, int, int, void*, void* callData) {
  const auto* view = static_cast<SxGLDrawData*>(callData);
  glClearColor(64 / 255.0f, 128 / 255.0f, 192 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3ub(0, 255, 0);
  glBegin(GL_QUADS);
  glVertex2i(0, 0);
  glVertex2i(view->viewWidth / 2, 0);
  glVertex2i(view->viewWidth / 2, view->viewHeight / 2);
  glVertex2i(0, view->viewHeight / 2);
  glEnd();
  return 0;
}

int onMouse(SxGui, int, int event, void*, void* callData) {
  const auto* m = static_cast<SxMouseData*>(callData);
  status("mouse " + std::to_string(event) + " " + std::to_string(m->action) + " " +
         std::to_string(m->x) + " " + std::to_string(m->y));
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
    for (int id : {kAsk, kOpen, kColour, kFlag, kFast, kFine, kOption, kList, kScale, kSeed, kBusy,
                   kClose}) {
      sxSetGuiCallback(sxFindGuiById(d, id), SX_MASK_ACTIVATE, onControl, nullptr);
    }
    sxSetGuiCallback(sxFindGuiById(d, kValue), SX_MASK_ACTIVATE_REFRESH, onControl, nullptr);
    SxGui option = sxFindGuiById(d, kOption);
    for (const char* item : {"One", "Two", "Three"})
      sxOptionMenuAddItem(option, item);
    SxGui scale = sxFindGuiById(d, kScale);
    sxScaleSetMinMax(scale, 0.0, 2.0);
    sxScaleSetSpinIncrement(scale, 0.1);
    sxProgressSetMinMax(sxFindGuiById(d, kProgress), 0.0, 200.0);
    SxGui view = sxFindGuiById(d, kView);
    sxSetGuiCallback(view, SX_MASK_GL_DRAW, onDraw, nullptr);
    sxGLSetMouseFunc(view, SX_MOUSE_EVENT, onMouse, nullptr);
    sxControlSetAttribute(view, SX_ATTRIBUTE_OPAQUE, 1);
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
