#include "command_line.h"

namespace relievo::gui {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    if (args[i] == "--tool") {
      if (i + 1 == args.size()) {
        line.error = "--tool needs a tool's name";
      } else {
        line.tool = args[++i];
      }
    } else if (args[i] == "--help" || args[i] == "-h") {
      line.help = true;
    } else {
      line.error = "unknown argument \"" + args[i] + "\"";
    }
  }
  return line;
}

}  // namespace relievo::gui
