// Starting relievo-gui in a home of its own on an X server, and waiting for what the screen
// shows: what the tests and the README's screenshot share.
#ifndef RELIEVO_TESTS_GUI_GUI_LAUNCH_H
#define RELIEVO_TESTS_GUI_GUI_LAUNCH_H

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "sxhost/picture.h"
#include "sxhost/preferences.h"
#include "sxhost/resource.h"
#include "x_session.h"

namespace relievo::gui_test {

namespace fs = std::filesystem;

inline constexpr char kTool[] = "Relievo";
inline constexpr char kMainWindow[] = "relievo-gui";

// Long enough for the sanitizer builds on a busy machine; a passing run waits far less.
inline constexpr auto kTimeout = std::chrono::seconds(60);
inline constexpr auto kPoll = std::chrono::milliseconds(25);

// The build tree: RELIEVO_BUILD_DIR, else the one these programs were built in.
fs::path buildDir();

// Starts relievo-gui with args on the session's server, with `home` as its home and working
// folder, nothing stored (its settings file is home/config/relievo/settings.json). FLTK's
// options in that home choose FLTK's own file chooser rather than the desktop's (GTK), so
// that the chooser is the same on every machine. Throws std::runtime_error when the program
// cannot be started.
pid_t startGui(const XSession& session, const fs::path& home, const std::vector<std::string>& args);

// The plug-in's resource file, as built.
sxhost::Resource relievoResource();
// Where control `id` of the main dialog is on the screen when the dialog is at `dialog`.
Box controlBox(const sxhost::Resource& resource, const Box& dialog, int id);

// Polls `done` until it holds; throws std::runtime_error saying `what` when it does not
// within the timeout.
template <class Done>
void waitFor(const std::string& what, Done done) {
  const auto end = std::chrono::steady_clock::now() + kTimeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) throw std::runtime_error("timed out: " + what);
    std::this_thread::sleep_for(kPoll);
  }
}

// The screen in box once it holds still.
sxhost::Rgb steady(const XSession& session, const Box& box);

}  // namespace relievo::gui_test

#endif  // RELIEVO_TESTS_GUI_GUI_LAUNCH_H
