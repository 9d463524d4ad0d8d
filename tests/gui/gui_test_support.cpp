#include "gui_test_support.h"

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "process.h"
#include "relievo_testing/files.h"

namespace relievo::gui_test {

namespace {

// Long enough for the sanitizer builds on a busy machine; a passing run waits far less.
constexpr auto kTimeout = std::chrono::seconds(60);
constexpr auto kPoll = std::chrono::milliseconds(25);
constexpr char kMainWindow[] = "relievo-gui";
constexpr int kMainDialog = 100;

// FLTK's own settings for the scratch home: its file chooser rather than the desktop's
// (GTK), so that the tests steer the same chooser on every machine.
constexpr char kFltkOptions[] =
    "; FLTK preferences file format 1.0\n; vendor: fltk.org\n; application: fltk\n\n[.]\n\n\n"
    "[./options]\n\nFNFCUsesGTK:0\n";

// Polls `done` until it holds; throws saying `what` when it does not within the timeout.
template <class Done>
void waitFor(const std::string& what, Done done) {
  const auto end = std::chrono::steady_clock::now() + kTimeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) throw std::runtime_error("timed out: " + what);
    std::this_thread::sleep_for(kPoll);
  }
}

}  // namespace

fs::path buildDir() {
  const char* dir = std::getenv("RELIEVO_BUILD_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path(RELIEVO_DEFAULT_BUILD_DIR);
}

int largestDifference(const sxhost::Rgb& a, const sxhost::Rgb& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return 256;
  int largest = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    largest = std::max(largest, std::abs(a.pixels[i] - b.pixels[i]));
  return largest;
}

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
  resource_ = sxhost::readResourceFile((buildDir() / "plugins" / "relievo.rsrc.json").string());
  fs::create_directories(dir.root() / ".fltk" / "fltk.org");
  dir.write(".fltk/fltk.org/fltk.prefs", kFltkOptions);
}

void GuiTest::TearDown() {
  if (gui_ > 0) {
    kill(gui_, SIGKILL);
    waitExit(gui_, kTimeout);
  }
}

void GuiTest::launch(const Settings& settings) {
  sxhost::Preferences prefs;
  for (const auto& [key, value] : settings)
    prefs.set(kTool, key, value);
  fs::create_directories(dir.root() / "config" / "relievo");
  dir.write("config/relievo/settings.json", prefs.toJson());
  SpawnOptions options;
  options.env = {{"DISPLAY", session().display()},
                 {"HOME", dir.root().string()},
                 {"XDG_CONFIG_HOME", dir.path("config")}};
  options.cwd = dir.root();
  gui_ = spawn({(buildDir() / "bin" / "relievo-gui").string(), "--tool", kTool}, options);
  if (gui_ < 0) throw std::runtime_error("relievo-gui cannot be started");
  dialog_ = enterWindow(kTool);
}

int GuiTest::closeMainWindow() {
  session().close(session().window(kMainWindow));
  const int status = waitExit(gui_, kTimeout);
  gui_ = -1;
  return status;
}

sxhost::Preferences GuiTest::savedSettings() const {
  return sxhost::Preferences::fromJson(
      relievo::testing::readFile(dir.path("config/relievo/settings.json")));
}

Box GuiTest::control(int id) const {
  for (const sxhost::ControlTemplate& c : resource_.dialog(kMainDialog)->controls) {
    if (c.id == id) {
      return {dialog_.x + sxhost::unitsToPixelsX(c.rect.x),
              dialog_.y + sxhost::unitsToPixelsY(c.rect.y), sxhost::unitsToPixelsX(c.rect.width),
              sxhost::unitsToPixelsY(c.rect.height)};
    }
  }
  throw std::runtime_error("the main dialog has no control " + std::to_string(id));
}

Box GuiTest::center(const Box& box) const {
  return {box.x + box.w / 2, box.y + box.h / 2, 1, 1};
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
  const Box c = center(control(id));
  click(c.x, c.y);
}

void GuiTest::typeInto(int id, const std::string& text) {
  clickControl(id);
  xdotool({"key", "ctrl+a", "type", text});
  xdotool({"key", "Return"});
}

Box GuiTest::enterWindow(const std::string& title) {
  waitFor("the window \"" + title + "\"", [&] { return session().window(title) != 0; });
  const Box box = session().geometry(session().window(title));
  const Box c = center(box);
  xdotool({"mousemove", std::to_string(c.x), std::to_string(c.y)});
  return box;
}

void GuiTest::waitGone(const std::string& title) {
  waitFor("the window \"" + title + "\" to go", [&] { return session().window(title) == 0; });
}

sxhost::Rgb GuiTest::steady(const Box& box) {
  sxhost::Rgb last = session().grab(box);
  waitFor("the screen to hold still", [&] {
    sxhost::Rgb now = session().grab(box);
    const bool still = now.pixels == last.pixels;
    last = std::move(now);
    return still;
  });
  return last;
}

sxhost::Rgb GuiTest::waitForChange(const Box& box, const sxhost::Rgb& before) {
  sxhost::Rgb now;
  waitFor("a change on the screen", [&] {
    now = steady(box);
    return now.pixels != before.pixels;
  });
  return now;
}

int GuiTest::waitForPicture(const Box& box, const sxhost::Rgb& expected) {
  int difference = 256;
  try {
    waitFor("the picture", [&] {
      difference = largestDifference(steady(box), expected);
      return difference <= 1;
    });
  } catch (const std::runtime_error&) {
    // The difference says how far off the screen stayed.
  }
  return difference;
}

}  // namespace relievo::gui_test
