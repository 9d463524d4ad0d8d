#include "sxhost/plugin_path.h"

#include <gtest/gtest.h>

#include "relievo_testing/files.h"
#include "relievo_testing/scratch_dir.h"

namespace sxhost {
namespace {

namespace fs = std::filesystem;

// Where the running program lies is seen whenever the command finds its plug-in.
TEST(PluginPath, TheFirstExistingFileOfTheCandidatesInOrderWins) {
  const fs::path bin = "/r/bin";
  EXPECT_EQ(pluginCandidates("relievo.so", "/opt/r/relievo.so", bin, "lib/x86_64-linux-gnu"),
            (std::vector<fs::path>{
                "/opt/r/relievo.so", bin / "relievo.so", bin / ".." / "plugins" / "relievo.so",
                bin / ".." / "lib" / "relievo" / "relievo.so",
                bin / ".." / "lib/x86_64-linux-gnu" / "relievo" / "relievo.so"}));

  const relievo::testing::ScratchDir dir;
  const fs::path root = dir.root();
  fs::create_directories(root / "bin");
  // A folder given by the user means the module in it.
  EXPECT_EQ(pluginCandidates("relievo.so", root.string(), root / "bin", "lib")[0],
            root / "relievo.so");
  const auto candidates = pluginCandidates("relievo.so", "", root / "bin", "lib");
  EXPECT_FALSE(findPlugin(candidates));
  for (const fs::path& module :
       {root / "lib" / "relievo" / "relievo.so", root / "plugins" / "relievo.so"}) {
    fs::create_directories(module.parent_path());
    relievo::testing::writeFile(module, "x");
    EXPECT_EQ(findPlugin(candidates), module);
  }
  // A folder of that name is no module.
  fs::create_directories(root / "bin" / "relievo.so");
  EXPECT_EQ(findPlugin(candidates), root / "plugins" / "relievo.so");
}

}  // namespace
}  // namespace sxhost
