// The command line of relievo-gui:
//
//   relievo-gui [--tool NAME]
//
// --tool NAME opens the dialog of tool NAME at start; --help (-h) prints the usage.
#ifndef RELIEVO_GUI_COMMAND_LINE_H
#define RELIEVO_GUI_COMMAND_LINE_H

#include <optional>
#include <string>
#include <vector>

namespace relievo::gui {

inline constexpr char kUsage[] =
    "usage: relievo-gui [--tool NAME]\n"
    "  --tool NAME   open the dialog of tool NAME (for example Relievo) at start\n";

struct CommandLine {
  std::optional<std::string> tool;
  bool help = false;
  std::string error;  // why the arguments are not valid; "" when they are
};

// The arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

}  // namespace relievo::gui

#endif  // RELIEVO_GUI_COMMAND_LINE_H
