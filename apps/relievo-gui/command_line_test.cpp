#include "command_line.h"

#include <gtest/gtest.h>

namespace relievo::gui {
namespace {

TEST(CommandLine, ToolHelpAndRefusals) {
  const struct {
    std::vector<std::string> args;
    const char* tool;  // "" for none
    bool help;
    const char* error;
  } cases[] = {
      {{}, "", false, ""},
      {{"--tool", "Relievo"}, "Relievo", false, ""},
      {{"-h"}, "", true, ""},
      {{"--tool"}, "", false, "--tool needs a tool's name"},
      {{"--tool", "A", "--size", "8"}, "A", false, "unknown argument \"--size\""},
  };
  for (const auto& c : cases) {
    const CommandLine line = parseCommandLine(c.args);
    EXPECT_EQ(line.tool.value_or(""), c.tool) << c.error;
    EXPECT_EQ(line.help, c.help) << c.error;
    EXPECT_EQ(line.error, c.error);
  }
}

}  // namespace
}  // namespace relievo::gui
