#include "ded/ded_file_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <string>

#include "ded/transpose.h"
#include "relievo_testing/files.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo {
namespace {

namespace fs = std::filesystem;

// An output reached through a symbolic link, over a file of mode 0640: abandoned, dropped
// unfinished, then completed. Only the completed one replaces the file, which keeps its mode
// and its link.
TEST(DedFileWriter, ReplacesTheLinkedFileOnlyWhenComplete) {
  const testing::ScratchDir dir;
  const std::string target = dir.write("old.ded", "old bytes");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const std::string link = dir.path("link.ded");
  fs::create_symlink(target, link);
  const auto entries = [&] { return std::distance(fs::directory_iterator(dir.root()), {}); };
  const DedFrame frame{0, 1, 0, 0, 1, 1, 36000, 36000, 2, 1, 2, 1};
  {
    DedFileWriter dropped;
    ASSERT_EQ(dropped.open(link.c_str()), 0);
    ASSERT_EQ(dropped.begin(frame), 0);
    EXPECT_EQ(entries(), 3);  // the temporary file beside the output
  }
  EXPECT_EQ(entries(), 2);
  DedFileWriter writer;
  for (const bool complete : {false, true}) {
    ASSERT_EQ(writer.open(link.c_str()), 0);
    ASSERT_EQ(writer.begin(frame), 0);
    const std::array<std::int16_t, 2> posts = {bigEndianPost(1), bigEndianPost(2)};
    ASSERT_EQ(writer.write(0, posts), 0);
    ASSERT_EQ(writer.finish(complete), 0);
    EXPECT_EQ(entries(), 2) << complete;
    if (!complete) {
      EXPECT_EQ(testing::readFile(target), "old bytes");
    }
  }
  EXPECT_TRUE(fs::is_symlink(link));
  const std::string bytes = testing::readFile(target);
  ASSERT_EQ(bytes.size(), 204u);
  EXPECT_EQ(bytes.substr(200), std::string("\x00\x01\x00\x02", 4));
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
}

// A folder that took the output's name while the file was written keeps it, as it would
// against a rename, and the finished file goes.
TEST(DedFileWriter, LeavesAFolderThatTookTheName) {
  const testing::ScratchDir dir;
  const std::string target = dir.path("out.ded");
  DedFileWriter writer;
  ASSERT_EQ(writer.open(target.c_str()), 0);
  ASSERT_EQ(writer.begin({0, 1, 0, 0, 1, 1, 36000, 36000, 1, 1, 1, 1}), 0);
  ASSERT_TRUE(fs::create_directory(target));
  EXPECT_EQ(writer.finish(true), EISDIR);
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.root()), {}), 1);
}

}  // namespace
}  // namespace relievo
