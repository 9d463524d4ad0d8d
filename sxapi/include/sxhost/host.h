// sxhost::Host: the stand-in host that front ends and tests drive.
//
//   sxhost::Host host;                          // fresh: in-memory prefs, scripted responder
//   host.loadPlugin("build/plugins/relievo.so");
//   host.startTool("Relievo");
//   sxhost::Dialog& d = host.dialog(100);
//   d.control(1033).type("403");
//
// One Host exists at a time in a process: the sx... calls of plug-ins act on it, and fail
// when there is none. Constructing one while another lives throws. Destroying it unloads the
// plug-ins as unloadPlugin does, saves the preferences file if one is in use, and drops the
// remaining dialogs and resources (those made without a plug-in) without any event: their
// callbacks' data may be gone by then.
//
// Plug-in modules are opened with RTLD_NOW | RTLD_LOCAL; they export sxpInit and sxpExit
// and the texts sxpVendor, sxpIDString, sxpUUIDString and sxpVersion (const char*
// variables). A plug-in's dialogs are dropped when it is unloaded, after sxpExit; shown ones
// are closed first (their close event runs while the plug-in is still whole).
#ifndef SXHOST_HOST_H
#define SXHOST_HOST_H

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sxapilib.h"
#include "sxhost/gui.h"
#include "sxhost/preferences.h"
#include "sxhost/resource.h"
#include "sxhost/responder.h"

namespace sxhost {

namespace detail {
struct HostState;
}

struct [[gnu::visibility("default")]] ToolInfo {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // in registration order
  SxTool handle = nullptr;
};

struct PluginInfo {
  SxPlugin handle = nullptr;
  std::string path;  // the module file
  std::string vendor, id, uuid, version;
  std::vector<std::string> helpFiles;
};

// A plug-in linked into the program rather than loaded from a module file: its entry
// points are given directly. modulePath is where its resource file is looked for
// (sxLoadResource reads "<stem>.rsrc.json" beside it); the file itself need not exist.
struct StaticPlugin {
  std::string modulePath;
  SxpInitFn init = nullptr;
  SxpExitFn exit = nullptr;
  std::string vendor, id, uuid, version;
};

enum class Change {
  Text,
  Value,
  Range,
  Checked,
  Selection,
  Items,
  Visible,
  Enabled,
  Editable,
  Picture,
  TopPos,
  FixedFont,
  SpinIncrement
};

// Hears every change of a control's state, after it happened.
using ChangeListener = std::function<void(const Control& control, Change change)>;

// What happens to a dialog as a whole. Created comes before the dialog's init event, so a
// front end can follow every change from the start; Shown and Hidden come once the dialog is
// marked so, before the show event and after the close event; Dropped comes just before the
// dialog goes (its plug-in unloaded or the host going), while its controls still exist.
enum class DialogChange { Created, Shown, Hidden, Caption, Enabled, Dropped };
using DialogListener = std::function<void(Dialog& dialog, DialogChange change)>;

// Hears the plug-in set the wait cursor (true) and the normal one (false).
using CursorListener = std::function<void(bool wait)>;

class [[gnu::visibility("default")]] Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The living host, or null.
  static Host* current();

  // Loads a module and runs its sxpInit. Throws sxhost::Error when the module does not
  // open, is no plug-in, is already loaded, or its sxpInit returns 0 (then it is unloaded).
  const PluginInfo& loadPlugin(const std::string& path);
  const PluginInfo& attachPlugin(const StaticPlugin& plugin);
  // sxpExit, drops its tools, resources and dialogs, closes the module.
  void unloadPlugin(SxPlugin plugin);
  std::vector<PluginInfo> plugins() const;

  std::vector<ToolInfo> tools() const;
  // Runs the tool's start function. Throws when there is no such tool.
  void startTool(std::string_view name);
  // A tool without a plug-in, for programs that link the plug-in's code directly.
  SxTool addTool(const std::string& name, SxToolStartFn start = nullptr,
                 SxResource resource = nullptr);

  // Resources from a JSON text, as sxLoadResource makes them from a file (released with
  // sxUnloadResource or with the host). Throws sxhost::Error with the parse message.
  SxResource loadResourceJson(std::string_view json, std::string_view name = "<string>");

  // The most recently created dialog of that template id; throws when there is none.
  Dialog& dialog(int templateId);
  Dialog* findDialog(int templateId);
  // The dialog of a handle, or null.
  Dialog* dialogOf(SxDialog handle);
  Control* controlOf(SxGui handle);

  // The scripted responder; it answers unless setResponder installed another.
  ScriptedResponder& responder();
  // Installs a responder; null goes back to the scripted one.
  void setResponder(std::unique_ptr<Responder> responder);

  Preferences& preferences();
  // Backs the preferences with a JSON file: reads it now (replacing what is held), and
  // writes it at savePreferences() and when the host goes. A file that is not valid is
  // renamed to "<path>.corrupt", the preferences start empty and a warning is logged.
  // A missing file is no error; one that cannot be read (a folder, no permission) is never
  // written, and a warning with the system's reason is logged.
  void usePreferencesFile(const std::string& path);
  // Writes the file; throws sxhost::Error when it cannot. Nothing without a file.
  void savePreferences();

  bool waitCursorShown() const;

  // Whether sxDrawControl draws at once (the default) or leaves the picture as it is, for a
  // front end that shows no pictures: the GL library is then loaded only by Control::draw or
  // Control::render, which draw either way.
  void setDrawOnRequest(bool draw);

  void setChangeListener(ChangeListener listener);
  void setDialogListener(DialogListener listener);
  void setCursorListener(CursorListener listener);

  // Warnings and failures of the host calls, oldest first.
  const std::vector<std::string>& log() const;
  // The last failure of a host call ("" when none).
  const std::string& lastError() const;

 private:
  std::unique_ptr<detail::HostState> state_;
};

}  // namespace sxhost

#endif  // SXHOST_HOST_H
