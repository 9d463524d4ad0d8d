// relievo_gui_snapshot OUT.png: photographs relievo-gui's Relievo dialog showing the preview
// of the built-in fractal terrain, on a private X server, for the README.
#include <signal.h>
#include <stdlib.h>

#include <cstdio>
#include <exception>

#include "gui_launch.h"
#include "process.h"

namespace {

using namespace relievo::gui_test;

constexpr int kPreview = 1036;

bool showsTerrain(const sxhost::Rgb& preview) {
  for (std::size_t i = 3; i < preview.pixels.size(); ++i) {
    if (preview.pixels[i] != preview.pixels[i % 3]) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: relievo_gui_snapshot OUT.png\n");
    return 2;
  }
  XSession session;
  if (!session.problem().empty()) {
    std::fprintf(stderr, "relievo_gui_snapshot: no X server: %s\n", session.problem().c_str());
    return 1;
  }
  char home[] = "/tmp/relievo-snapshot-XXXXXX";
  if (mkdtemp(home) == nullptr) {
    std::perror("relievo_gui_snapshot: mkdtemp");
    return 1;
  }
  pid_t gui = -1;
  int status = 0;
  try {
    // A first start, nothing stored: the built-in fractal terrain.
    gui = startGui(session, home, {"--tool", kTool});
    Box dialog;
    waitFor("the dialog", [&] { return session.window(kTool) != 0; });
    const sxhost::Resource resource = relievoResource();
    waitFor("the preview", [&] {
      dialog = session.geometry(session.window(kTool));
      return showsTerrain(steady(session, controlBox(resource, dialog, kPreview)));
    });
    steady(session, dialog).writePng(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "relievo_gui_snapshot: %s\n", e.what());
    status = 1;
  }
  if (gui > 0) {
    kill(gui, SIGTERM);
    waitExit(gui, kTimeout);
  }
  std::error_code ignored;
  fs::remove_all(home, ignored);
  return status;
}
