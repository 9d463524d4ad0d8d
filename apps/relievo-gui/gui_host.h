// GuiHost: the windowed host. A stand-in host (sxhost::Host) with relievo.so loaded, a main
// window with the Tools menu (every tool the plug-ins registered), a status line and the
// host's progress bar, and a DialogWindow for every dialog the plug-in makes.
//
// The windows follow the host's object model through its listeners; a person's actions go
// through act(), which runs them through the host, reports a refused action in the status
// line, and then draws the GL controls that became visible (a GL control shows what the
// plug-in drew last, and is drawn anew each time it appears, as a window system exposes it).
// While the plug-in works, the windows are redrawn a few times a second so that the progress
// bars, the status texts and the wait cursor show.
//
// The tools' settings live in the user's settings file (settings_path.h), read at start and
// written whenever a dialog closes and when the host goes.
#ifndef RELIEVO_GUI_GUI_HOST_H
#define RELIEVO_GUI_GUI_HOST_H

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control_view.h"
#include "dialog_window.h"
#include "sxhost/host.h"

class Fl_Box;
class Fl_Double_Window;
class Fl_Menu_Bar;
class Fl_Progress;
class Fl_Widget;
struct Fl_Menu_Item;

namespace relievo::gui {

// The title of the main window.
inline constexpr char kHostTitle[] = "relievo-gui";

class GuiHost : public ActionRunner {
 public:
  // Builds the main window and loads relievo.so (found as the relievo command finds it).
  // Throws sxhost::Error when the plug-in cannot be found or loaded.
  GuiHost();
  ~GuiHost() override;

  // Starts a tool as its menu item does; a failure shows in the status line and on stderr.
  void startTool(const std::string& name);
  // Shows the main window and runs until it is closed; returns the exit status.
  int run();

  void act(sxhost::Control* control, const std::function<void()>& action) override;

 private:
  // Runs an action through the host; a refusal (sxhost::Error) shows in the status line.
  void attempt(const std::function<void()>& action);
  void onControl(const sxhost::Control& control, sxhost::Change change);
  void onDialog(sxhost::Dialog& dialog, sxhost::DialogChange change);
  void onCursor(bool wait);
  void queueDraw(const sxhost::Control& control);
  void drawPending();
  void flushSometimes();
  void showStatus(const std::string& text);
  void reportHostLog();
  void usePreferencesFile();
  void savePreferences();
  void buildToolsMenu();
  static void toolCallback(Fl_Widget*, void* data);
  static void closeCallback(Fl_Widget*, void* data);

  std::unique_ptr<Fl_Double_Window> window_;
  Fl_Menu_Bar* menu_ = nullptr;
  Fl_Box* status_ = nullptr;
  Fl_Progress* progress_ = nullptr;
  std::vector<std::string> toolNames_, toolLabels_;
  std::vector<Fl_Menu_Item> toolsMenu_;
  std::map<const sxhost::Dialog*, std::unique_ptr<DialogWindow>> dialogs_;
  std::vector<sxhost::Control*> pendingDraws_;
  int depth_ = 0;  // actions under way (a prompt may run a nested event loop)
  std::size_t logSeen_ = 0;
  bool closing_ = false;
  std::chrono::steady_clock::time_point lastFlush_;
  // Last, so that it goes first: its unloading and closing reach the windows above.
  sxhost::Host host_;
};

}  // namespace relievo::gui

#endif  // RELIEVO_GUI_GUI_HOST_H
