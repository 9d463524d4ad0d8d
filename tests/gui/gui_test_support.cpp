#include "gui_test_support.h"

#include <signal.h>

#include <cstdlib>

#include "process.h"

namespace relievo::gui_test {

XSession& GuiTest::session() {
  static XSession session;
  return session;
}

void GuiTest::SetUp() {
  if (!session().problem().empty()) GTEST_SKIP() << "no X server: " << session().problem();
  SpawnOptions quiet;
  quiet.quiet = true;
  quiet.env = {{"DISPLAY", session().display()}};
  if (run({"xdotool", "version"}, quiet) != 0) {
    GTEST_SKIP() << "xdotool cannot be run; scripts/install-deps.sh installs it";
  }
  resource_ = relievoResource();
}

void GuiTest::TearDown() {
  if (gui_ > 0) {
    kill(gui_, SIGKILL);
    waitExit(gui_, kTimeout);
  }
}

void GuiTest::launch() {
  gui_ = startGui(session(), dir.root(), {});
  const Box main = enterWindow(kMainWindow);
  // The menu bar's only menu, then its first item.
  click(main.x + 20, main.y + 12);
  xdotool({"key", "Down", "key", "Return"});
  dialog_ = enterWindow(kTool);
}

int GuiTest::closeMainWindow() {
  session().close(session().window(kMainWindow));
  const int status = waitExit(gui_, kTimeout);
  gui_ = -1;
  return status;
}

void GuiTest::xdotool(std::initializer_list<std::string> args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args);
  SpawnOptions options;
  options.env = {{"DISPLAY", session().display()}};
  if (run(argv, options) != 0) throw std::runtime_error("xdotool failed");
}

void GuiTest::click(int x, int y) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

void GuiTest::clickControl(int id) {
  const Box c = control(id);
  click(c.x + c.w / 2, c.y + c.h / 2);
}

void GuiTest::typeInto(int id, const std::string& text) {
  clickControl(id);
  xdotool({"key", "ctrl+a", "type", text});
  xdotool({"key", "Return"});
}

Box GuiTest::enterWindow(const std::string& title) {
  waitFor("the window \"" + title + "\"", [&] { return session().window(title) != 0; });
  const Box box = session().geometry(session().window(title));
  xdotool({"mousemove", std::to_string(box.x + box.w / 2), std::to_string(box.y + box.h / 2)});
  return box;
}

void GuiTest::waitGone(const std::string& title) {
  waitFor("the window \"" + title + "\" to go", [&] { return session().window(title) == 0; });
}

sxhost::Rgb GuiTest::waitForChange(const Box& box, const sxhost::Rgb& before) {
  sxhost::Rgb now;
  waitFor("a change on the screen", [&] {
    now = steady(box);
    return now.pixels != before.pixels;
  });
  return now;
}

void GuiTest::waitForPicture(const Box& box, const sxhost::Rgb& expected) {
  waitFor("the expected picture", [&] {
    const sxhost::Rgb shown = steady(box);
    if (shown.width != expected.width || shown.pixels.size() != expected.pixels.size())
      return false;
    for (std::size_t i = 0; i < shown.pixels.size(); ++i)
      if (std::abs(shown.pixels[i] - expected.pixels[i]) > 1) return false;
    return true;
  });
}

}  // namespace relievo::gui_test
