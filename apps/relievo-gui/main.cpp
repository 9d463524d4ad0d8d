// relievo-gui: the windowed host. Loads relievo.so, shows the host's main window with the
// Tools menu, and with --tool opens a tool's dialog at start.
#include <FL/fl_ask.H>

#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "fl_support.h"
#include "gui_host.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "usage: relievo-gui [--tool NAME]\n"
    "  --tool NAME   open the dialog of tool NAME (for example Relievo) at start\n";

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> tool;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--tool") == 0) {
      if (i + 1 == argc) {
        std::fprintf(stderr, "relievo-gui: --tool needs a tool's name\n%s", kUsage);
        return kExitUsage;
      }
      tool = argv[++i];
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "relievo-gui: unknown argument \"%s\"\n%s", argv[i], kUsage);
      return kExitUsage;
    }
  }
  try {
    relievo::gui::GuiHost host;
    if (tool) host.startTool(*tool);
    return host.run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "relievo-gui: %s\n", e.what());
    fl_message_title(relievo::gui::kHostTitle);
    fl_alert("%s", relievo::gui::literalLabel(e.what(), false).c_str());
    return kExitFailure;
  }
}
