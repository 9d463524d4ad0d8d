// The stand-in host's internal state: every object a plug-in holds a handle to, kept in
// maps by handle number.
//
// A handle given to a plug-in is a number from a process-wide counter, never reused, cast
// to the opaque pointer type. Every call looks its handle up in the map of its type, so a
// null, stale (object gone) or mistyped handle is found missing and the call fails without
// touching anything.
#ifndef SXHOST_SRC_HOST_STATE_H
#define SXHOST_SRC_HOST_STATE_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gl_view.h"
#include "sxapilib.h"
#include "sxhost/gui.h"
#include "sxhost/host.h"
#include "sxhost/preferences.h"
#include "sxhost/resource.h"
#include "sxhost/responder.h"

namespace sxhost::detail {

using HandleId = std::uintptr_t;

HandleId newHandleId();

template <class H>
H toHandle(HandleId id) {
  return reinterpret_cast<H>(id);
}
template <class H>
HandleId idOf(H handle) {
  return reinterpret_cast<HandleId>(handle);
}

struct Callback {
  SxGuiFn fn = nullptr;
  void* data = nullptr;
};

struct DialogRec;

struct ControlRec {
  HandleId handle = 0;
  DialogRec* dialog = nullptr;
  int id = -1;
  ControlKind kind = ControlKind::Label;
  std::string group;  // radio group
  Rect rect;          // dialog units
  std::string text;
  std::string helpContext;
  bool enabled = true;
  bool visible = true;
  bool editable = true;
  bool fixedFont = false;
  bool opaque = false;
  bool checked = false;
  std::vector<std::string> items;
  int selected = 0;  // position from 1; 0 none
  int top = 1;
  double min = 0.0, max = 1.0, value = 0.0, increment = 0.0;
  int viewWidth = 0, viewHeight = 0;
  std::shared_ptr<const Pixmap> pixmap;
  int callbackMask = 0;  // SX_MASK_ACTIVATE | SX_MASK_REFRESH bits of `callback`
  Callback callback;
  Callback draw;
  Callback mouse;
  Rgb picture;
  std::unique_ptr<Control> facade;
};

struct DialogRec {
  HandleId handle = 0;
  int templateId = 0;
  HandleId plugin = 0;  // the plug-in whose resource made it; 0 for none
  std::string caption;
  std::string helpContext;
  int width = 0, height = 0;  // dialog units
  bool visible = false;
  bool enabled = true;
  int mask = 0;
  SxDialogFn fn = nullptr;
  void* data = nullptr;
  std::vector<std::unique_ptr<ControlRec>> controls;
  std::unique_ptr<Dialog> facade;
};

struct ResourceRec {
  std::shared_ptr<const Resource> data;
  HandleId plugin = 0;
  std::string name;
  std::map<int, HandleId> pixmaps;  // pixmap id -> handle, made on first request
};

struct PixmapRec {
  HandleId resource = 0;
  std::shared_ptr<const Pixmap> pixmap;
};

struct ToolRec {
  std::string name;
  SxToolStartFn start = nullptr;
  SxResource resource = nullptr;
  std::vector<std::pair<std::string, std::string>> attributes;
  HandleId plugin = 0;
};

struct PluginRec {
  PluginInfo info;
  HandleId module = 0;
  void* library = nullptr;  // dlopen handle; null for static plug-ins
  SxpExitFn exit = nullptr;
};

struct HostState {
  Host* host = nullptr;
  std::map<HandleId, PluginRec> plugins;
  std::map<HandleId, HandleId> modules;  // module handle -> plug-in handle
  std::map<HandleId, ResourceRec> resources;
  std::map<HandleId, PixmapRec> pixmaps;
  std::map<HandleId, ToolRec> tools;  // handles grow, so this is registration order
  std::map<HandleId, std::unique_ptr<DialogRec>> dialogs;
  std::unordered_map<HandleId, ControlRec*> controls;
  Preferences prefs;
  std::string prefsPath;
  ScriptedResponder scripted;
  std::unique_ptr<Responder> custom;
  HandleId cursor = 0;
  HandleId waitCursor = newHandleId();
  GlView gl;
  std::vector<std::string> log;
  std::string lastError;
  ChangeListener listener;
  DialogListener dialogListener;
  CursorListener cursorListener;
  bool drawOnRequest = true;  // sxDrawControl draws (Host::setDrawOnRequest)

  // Calls into plug-in code under way; a module cannot be closed while one runs.
  int callbacksRunning = 0;

  Responder& responder() { return custom ? *custom : scripted; }
  // Records a failure of a host call; returns -1 for the caller to hand back.
  int fail(std::string message);
  void warn(std::string message);

  ControlRec* control(SxGui gui);
  DialogRec* dialog(SxGui gui);
  ToolRec* tool(SxTool tool);
  PluginRec* plugin(SxPlugin plugin);

  void notify(const ControlRec& control, Change change);
  void notify(DialogRec& dialog, DialogChange change);
  // Delivers a dialog event when the dialog's mask asks for it.
  void deliver(DialogRec& dialog, int event);
  void runCallback(ControlRec& control, int reason, void* callData);

  SxResource addResource(Resource resource, std::string name, HandleId plugin);
  SxDialog createDialog(const ResourceRec& resource, int templateId, int mask, SxDialogFn fn,
                        void* data);
  // Shows a hidden dialog: the show event, then every refresh callback (so the controls
  // show the state the show event left), then the activate event.
  void showDialog(DialogRec& dialog);
  // Runs the refresh callback of every control, in template order.
  void refreshDialog(DialogRec& dialog);
  void hideDialog(DialogRec& dialog);
  // Drops the dialogs, resources and tools of a plug-in (0: those of none).
  void dropOwnedBy(HandleId plugin);
  void dropDialog(HandleId handle);
  // Draws a GL control at its view size into its picture.
  bool drawControl(ControlRec& control);
};

// Counts a call into plug-in code for as long as it lives.
class InPlugin {
 public:
  explicit InPlugin(HostState& s) : s_(s) { ++s_.callbacksRunning; }
  ~InPlugin() { --s_.callbacksRunning; }
  InPlugin(const InPlugin&) = delete;
  InPlugin& operator=(const InPlugin&) = delete;

 private:
  HostState& s_;
};

// The state of the living host, or null.
HostState* state();

// A control's name for messages: "control 1033 of dialog 100".
std::string describe(const ControlRec& control);

}  // namespace sxhost::detail

#endif  // SXHOST_SRC_HOST_STATE_H
