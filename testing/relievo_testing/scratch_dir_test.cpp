#include "relievo_testing/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace relievo::testing {
namespace {

namespace fs = std::filesystem;

TEST(ScratchDir, IsANewFolderNamedAfterTheTestAndGoesWithEverythingInIt) {
  fs::path kept;
  {
    const ScratchDir dir;
    const ScratchDir other;
    kept = dir.root();
    EXPECT_NE(kept, other.root());
    EXPECT_EQ(kept.parent_path(), fs::temp_directory_path());
    // The test's name is cut to 64 characters.
    const std::string test = "ScratchDir_IsANewFolderNamedAfterTheTestAndGoesWithEverythingInIt";
    EXPECT_EQ(kept.filename().string().rfind("relievo-" + test.substr(0, 64) + "-", 0), 0u) << kept;
    EXPECT_TRUE(fs::is_empty(kept));
    EXPECT_EQ(dir.path("a.txt"), (kept / "a.txt").string());
    fs::create_directories(kept / "sub" / "deeper");
    EXPECT_EQ(dir.write("sub/deeper/b.bin", std::vector<unsigned char>{0, 1, 2}),
              (kept / "sub/deeper/b.bin").string());
  }
  EXPECT_FALSE(fs::exists(kept));
}

class ScratchDirOfParameterizedTest : public ::testing::TestWithParam<int> {};

// The names of such tests hold slashes; the folder still sits right in the temporary folder,
// and its name adds no extension to the paths made in it.
TEST_P(ScratchDirOfParameterizedTest, KeepsTheNameToLettersDigitsAndUnderscores) {
  const ScratchDir dir;
  const std::string name = dir.root().filename().string();
  EXPECT_EQ(dir.root().parent_path(), fs::temp_directory_path());
  EXPECT_EQ(name.rfind("relievo-Odd_ScratchDirOfParameterizedTest_KeepsTheNameToLetters", 0), 0u)
      << name;
  EXPECT_EQ(name.find('.'), std::string::npos) << name;
  EXPECT_EQ(fs::path(dir.path("grid")).extension(), "");
}

INSTANTIATE_TEST_SUITE_P(Odd, ScratchDirOfParameterizedTest, ::testing::Values(1));

}  // namespace
}  // namespace relievo::testing
