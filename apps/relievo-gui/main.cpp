// relievo-gui: the windowed host. Loads relievo.so, shows the host's main window with the
// Tools menu, and with --tool opens a tool's dialog at start.
#include <FL/fl_ask.H>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "command_line.h"
#include "fl_support.h"
#include "gui_host.h"

int main(int argc, char** argv) {
  using namespace relievo::gui;
  constexpr int kExitFailure = 1;
  constexpr int kExitUsage = 2;
  const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr, "relievo-gui: %s\n%s", line.error.c_str(), kUsage);
    return kExitUsage;
  }
  if (line.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  try {
    GuiHost host;
    if (line.tool) host.startTool(*line.tool);
    return host.run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "relievo-gui: %s\n", e.what());
    fl_message_title(kHostTitle);
    fl_alert("%s", literalLabel(e.what(), false).c_str());
    return kExitFailure;
  }
}
