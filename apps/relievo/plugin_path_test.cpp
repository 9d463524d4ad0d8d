#include "plugin_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace relievo::cli {
namespace {

namespace fs = std::filesystem;

class PluginPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("relievo_plugin_path_" + std::to_string(::getpid()));
    fs::create_directories(root_ / "bin");
  }
  void TearDown() override { fs::remove_all(root_); }
  void touch(const fs::path& p) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
  }
  fs::path root_;
};

TEST_F(PluginPathTest, CandidatesInOrder) {
  const fs::path bin = root_ / "bin";
  const auto c = pluginCandidates("/opt/r/relievo.so", bin, "lib/x86_64-linux-gnu");
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[0], fs::path("/opt/r/relievo.so"));
  EXPECT_EQ(c[1], bin / "relievo.so");
  EXPECT_EQ(c[2], bin / ".." / "plugins" / "relievo.so");
  EXPECT_EQ(c[3], bin / ".." / "lib" / "relievo" / "relievo.so");
  EXPECT_EQ(c[4], bin / ".." / "lib/x86_64-linux-gnu" / "relievo" / "relievo.so");
  EXPECT_EQ(pluginCandidates("", bin, "lib").size(), 3u);
}

TEST_F(PluginPathTest, AnEnvironmentFolderMeansTheModuleInIt) {
  const auto c = pluginCandidates(root_.string(), root_ / "bin", "lib");
  EXPECT_EQ(c[0], root_ / "relievo.so");
}

TEST_F(PluginPathTest, TheFirstExistingFileWins) {
  const fs::path bin = root_ / "bin";
  const auto candidates = pluginCandidates("", bin, "lib");
  EXPECT_FALSE(findPlugin(candidates));
  touch(root_ / "lib" / "relievo" / "relievo.so");
  EXPECT_EQ(findPlugin(candidates), root_ / "lib" / "relievo" / "relievo.so");
  touch(root_ / "plugins" / "relievo.so");
  EXPECT_EQ(findPlugin(candidates), root_ / "plugins" / "relievo.so");
  // A folder of that name is no module.
  fs::create_directories(bin / "relievo.so");
  EXPECT_EQ(findPlugin(candidates), root_ / "plugins" / "relievo.so");
}

TEST(PluginPath, ProgramDirectoryIsWhereThisProgramLies) {
  const fs::path dir = programDirectory();
  EXPECT_TRUE(fs::exists(dir / "relievo_cli_unit_tests")) << dir;
}

}  // namespace
}  // namespace relievo::cli
