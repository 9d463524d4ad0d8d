// What the tests of the windowed host share: an X server, relievo-gui started in a scratch
// home of its own, a person's mouse and keyboard through xdotool, and waiting for what the
// screen shows.
//
// Nothing waits a fixed time: each step waits for what it needs (a window, a change on the
// screen, the program's end) up to a timeout generous enough for the sanitizer builds.
#ifndef RELIEVO_TESTS_GUI_GUI_TEST_SUPPORT_H
#define RELIEVO_TESTS_GUI_GUI_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "gui_launch.h"
#include "relievo_testing/scratch_dir.h"
#include "sxhost/resource.h"
#include "x_session.h"

namespace relievo::gui_test {

// Controls of the main dialog that the tests use.
// clang-format off
enum Id : int {
  kPreviewData = 1007, kBrowse = 1015, kWidth = 1033, kHeight = 1034, kPreview = 1036,
  kGenerate = 1044, kRamp = 1046, kSourceKind = 1087, kNoise = 1098,
};
// clang-format on

// The largest difference of one channel between two pictures of the same size.
int largestDifference(const sxhost::Rgb& a, const sxhost::Rgb& b);

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts `relievo-gui --tool Relievo` in the scratch folder with these stored settings and
  // waits for its dialog; with viaToolsMenu, starts `relievo-gui` and chooses the tool in the
  // main window's Tools menu.
  void launch(const Settings& settings, bool viaToolsMenu = false);
  // Closes the main window as a person would; returns the program's exit status.
  int closeMainWindow();
  // The settings file that the program left.
  sxhost::Preferences savedSettings() const;

  // Where a control of the main dialog is on the screen.
  Box control(int id) const;
  // xdotool with these arguments; the test fails when it does.
  void xdotool(std::initializer_list<std::string> args);
  // A click at a point of the screen.
  void click(int x, int y);
  void clickControl(int id);
  // Replaces the text of a text field and presses Enter.
  void typeInto(int id, const std::string& text);
  // Waits for the window with that title and moves the pointer into it, where the keys go.
  Box enterWindow(const std::string& title);
  void waitGone(const std::string& title);
  // Waits until box shows something other than before and holds still; returns it.
  sxhost::Rgb waitForChange(const Box& box, const sxhost::Rgb& before);
  // Waits until box shows `expected` within one level per channel; returns the largest
  // difference of a channel between the two, as it was at the end.
  int waitForPicture(const Box& box, const sxhost::Rgb& expected);
  sxhost::Rgb steady(const Box& box) { return gui_test::steady(session(), box); }

  static XSession& session();

  relievo::testing::ScratchDir dir;

 private:
  pid_t gui_ = -1;
  Box dialog_;
  sxhost::Resource resource_;
};

}  // namespace relievo::gui_test

#endif  // RELIEVO_TESTS_GUI_GUI_TEST_SUPPORT_H
