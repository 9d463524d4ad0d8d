#include "ded_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "ded_test_file.h"
#include "errors.h"

namespace relievo::cli {
namespace {

using testing::dedBytes;

class DedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("relievo_ded_file_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string write(const std::string& bytes) {
    const std::string path = (dir_ / "f.ded").string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(DedFileTest, ReadsThePreambleAndThePosts) {
  const DedFile f = readDedFile(write(dedBytes({-32768, 7, -3, 1200, -32768, 0}, 3, 2)));
  EXPECT_EQ(f.size, 212u);
  EXPECT_EQ(f.header.length, 128);
  EXPECT_EQ(f.header.tag, "KTLX");
  EXPECT_EQ(f.header.projection, "DMA1    ");
  EXPECT_EQ(f.header.version, "V1.0    ");
  EXPECT_EQ(f.header.created, "Thu Dec  4 14:59:22 2026");
  EXPECT_EQ(f.range.marker, 1);
  EXPECT_EQ(f.range.lowest, -5);
  EXPECT_EQ(f.range.highest, 1200);
  EXPECT_EQ(f.extents.swLat, 45.0f);
  EXPECT_EQ(f.extents.neLat, 46.0f);
  EXPECT_EQ(f.extents.swLon, 7.0f);
  EXPECT_EQ(f.extents.neLon, 8.0f);
  EXPECT_EQ(f.extents.latSpacing, 30.0f);
  EXPECT_EQ(f.extents.lonSpacing, 60.0f);
  EXPECT_EQ(f.extents.postsPerRecord, 3.0f);
  EXPECT_EQ(f.extents.records, 2.0f);
  EXPECT_EQ(f.extents.lonFeet, 4000.5f);
  EXPECT_EQ(f.extents.latFeet, 303.8f);
  EXPECT_EQ(f.problem, "");
  ASSERT_TRUE(f.posts);
  EXPECT_EQ(f.posts->count, 6u);
  EXPECT_EQ(f.posts->nulls, 2u);
  EXPECT_EQ(f.posts->lowest, -3);
  EXPECT_EQ(f.posts->highest, 1200);
}

TEST_F(DedFileTest, PostsReadAcrossChunks) {
  std::vector<std::int16_t> posts(100000, 10);
  posts[70001] = -20000;
  posts[99999] = 32767;
  const DedFile f = readDedFile(write(dedBytes(posts, 1000, 100)));
  ASSERT_TRUE(f.posts);
  EXPECT_EQ(f.posts->count, 100000u);
  EXPECT_EQ(f.posts->lowest, -20000);
  EXPECT_EQ(f.posts->highest, 32767);
}

TEST_F(DedFileTest, OnlyNullPostsHaveNoLowestOrHighest) {
  const DedFile f = readDedFile(write(dedBytes({-32768, -32768}, 2, 1)));
  ASSERT_TRUE(f.posts);
  EXPECT_EQ(f.posts->nulls, 2u);
  EXPECT_FALSE(f.posts->lowest);
  EXPECT_FALSE(f.posts->highest);
}

TEST_F(DedFileTest, ShortFilesAndMissingFilesAreRunErrors) {
  const std::string path = write(std::string(199, ' '));
  try {
    readDedFile(path);
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()),
              path + ": 199 bytes, shorter than the 200-byte preamble of a DED file");
  }
  const std::string missing = (dir_ / "none.ded").string();
  try {
    readDedFile(missing);
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()), missing + ": cannot be opened: No such file or directory");
  }
}

TEST_F(DedFileTest, ALengthThatDoesNotMatchLeavesThePostsUnread) {
  const DedFile f = readDedFile(write(dedBytes({1, 2, 3, 4, 5}, 3, 2)));
  EXPECT_EQ(f.problem,
            "the file holds 210 bytes, but its counts (2 records of 3 posts) call for 212");
  EXPECT_FALSE(f.posts);
}

TEST(DedLength, ProblemsOfTheCounts) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    std::uintmax_t size;
    float perRecord, records;
    std::string problem;
  };
  const Case cases[] = {
      {212, 3, 2, ""},
      {200, 0, 0, ""},
      {200, 0, 5, ""},
      {212, 2, 3, ""},
      {213, 3, 2, "the file holds 213 bytes, but its counts (2 records of 3 posts) call for 212"},
      {212, 2.5f, 2, "its post counts (2.5 per record, 2 records) are not whole numbers of posts"},
      {212, -3, 2, "its post counts (-3 per record, 2 records) are not whole numbers of posts"},
      {212, 3, nan, "its post counts (3 per record, nan records) are not whole numbers of posts"},
      {212, inf, 2, "its post counts (inf per record, 2 records) are not whole numbers of posts"},
      {212, 1e20f, 2,
       "its post counts (1.00000002e+20 per record, 2 records) are beyond what a DED file can "
       "hold"},
      {212, 2147483648.0f, 1,
       "its post counts (2.14748365e+09 per record, 1 records) are beyond what a DED file can "
       "hold"},
      {212, 2147483520.0f, 2147483520.0f,
       "the file holds 212 bytes, but its counts (2147483520 records of 2147483520 posts) call "
       "for 9223370937343181000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lengthProblem(c.size, c.perRecord, c.records), c.problem) << c.size;
  }
}

}  // namespace
}  // namespace relievo::cli
