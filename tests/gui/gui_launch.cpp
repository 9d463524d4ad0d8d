#include "gui_launch.h"

#include <cstdlib>

#include "process.h"
#include "relievo_testing/files.h"

namespace relievo::gui_test {

namespace {

constexpr char kFltkOptions[] =
    "; FLTK preferences file format 1.0\n; vendor: fltk.org\n; application: fltk\n\n[.]\n\n\n"
    "[./options]\n\nFNFCUsesGTK:0\n";

}  // namespace

fs::path buildDir() {
  const char* dir = std::getenv("RELIEVO_BUILD_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path(RELIEVO_DEFAULT_BUILD_DIR);
}

pid_t startGui(const XSession& session, const fs::path& home,
               const std::vector<std::string>& args) {
  fs::create_directories(home / ".fltk" / "fltk.org");
  relievo::testing::writeFile(home / ".fltk" / "fltk.org" / "fltk.prefs", kFltkOptions);
  SpawnOptions options;
  options.env = {{"DISPLAY", session.display()},
                 {"HOME", home.string()},
                 {"XDG_CONFIG_HOME", (home / "config").string()}};
  options.cwd = home;
  std::vector<std::string> argv{(buildDir() / "bin" / "relievo-gui").string()};
  argv.insert(argv.end(), args.begin(), args.end());
  const pid_t pid = spawn(argv, options);
  if (pid < 0) throw std::runtime_error("relievo-gui cannot be started");
  return pid;
}

sxhost::Resource relievoResource() {
  return sxhost::readResourceFile((buildDir() / "plugins" / "relievo.rsrc.json").string());
}

Box controlBox(const sxhost::Resource& resource, const Box& dialog, int id) {
  constexpr int kMainDialog = 100;
  for (const sxhost::ControlTemplate& c : resource.dialog(kMainDialog)->controls) {
    if (c.id == id) {
      return {dialog.x + sxhost::unitsToPixelsX(c.rect.x),
              dialog.y + sxhost::unitsToPixelsY(c.rect.y), sxhost::unitsToPixelsX(c.rect.width),
              sxhost::unitsToPixelsY(c.rect.height)};
    }
  }
  throw std::runtime_error("the main dialog has no control " + std::to_string(id));
}

sxhost::Rgb steady(const XSession& session, const Box& box) {
  sxhost::Rgb last = session.grab(box);
  waitFor("the screen to hold still", [&] {
    sxhost::Rgb now = session.grab(box);
    const bool still = now.pixels == last.pixels;
    last = std::move(now);
    return still;
  });
  return last;
}

}  // namespace relievo::gui_test
