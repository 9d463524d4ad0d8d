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

#include <initializer_list>
#include <string>

#include "gui_launch.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo::gui_test {

// Controls of the main dialog that the tests use.
// clang-format off
enum Id : int {
  kPreviewData = 1007, kBrowse = 1015, kWidth = 1033, kHeight = 1034, kPreview = 1036,
  kGenerate = 1044, kRamp = 1046, kSourceKind = 1087, kNoise = 1098,
};
// clang-format on

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts relievo-gui in the scratch folder, nothing stored, and opens the Relievo dialog
  // through the main window's Tools menu.
  void launch();
  // Closes the main window as a person would; returns the program's exit status.
  int closeMainWindow();

  // Where a control of the main dialog is on the screen.
  Box control(int id) const { return controlBox(resource_, dialog_, id); }
  // xdotool with these arguments; throws when it fails.
  void xdotool(std::initializer_list<std::string> args);
  void click(int x, int y);
  void clickControl(int id);
  // Replaces the text of a text field and presses Enter.
  void typeInto(int id, const std::string& text);
  // Waits for the window with that title and moves the pointer into it, where the keys go.
  Box enterWindow(const std::string& title);
  void waitGone(const std::string& title);
  // Waits until box shows something other than before and holds still; returns it.
  sxhost::Rgb waitForChange(const Box& box, const sxhost::Rgb& before);
  // Waits until box shows `expected` within one level per channel.
  void waitForPicture(const Box& box, const sxhost::Rgb& expected);
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
