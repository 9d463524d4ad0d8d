#include "ded_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>
#include <vector>

#include "errors.h"
#include "relievo_testing/error_of.h"
#include "relievo_testing/scratch_dir.h"
#include "test_support.h"

namespace relievo::cli {
namespace {

using testing::dedBytes;

class DedFileTest : public ::testing::Test {
 protected:
  std::string write(const std::string& bytes) { return dir_.write("f.ded", bytes); }
  static std::string runError(const std::string& path) {
    return relievo::testing::errorOf<RunError>([&] { readDedFile(path); });
  }
  relievo::testing::ScratchDir dir_;
};

// Every field of the preamble is checked through inspect's report of parsePreamble. Posts are
// read in chunks; the extremes may lie in any of them.
TEST_F(DedFileTest, CountsThePosts) {
  std::vector<std::int16_t> posts(100000, 10);
  posts[3] = posts[40000] = -32768;
  posts[70001] = -20000;
  posts[99999] = 32767;
  const DedFile f = readDedFile(write(dedBytes(posts, 1000, 100)));
  EXPECT_EQ(std::tie(f.size, f.posts.count, f.posts.nulls, f.posts.lowest, f.posts.highest),
            std::tuple(200200u, 100000u, 2u, -20000, 32767));
  // Only "DED NULL" posts: no lowest or highest.
  const DedFile nulls = readDedFile(write(dedBytes({-32768, -32768}, 2, 1)));
  EXPECT_EQ(std::tie(nulls.posts.nulls, nulls.posts.lowest, nulls.posts.highest),
            std::tuple(2u, std::nullopt, std::nullopt));
}

TEST_F(DedFileTest, FilesThatAreNoDedFiles) {
  const std::string good = dedBytes({1, 2, 3, 4, 5, 6}, 3, 2);
  const auto with = [&](std::size_t at, std::string_view bytes) {
    return std::string(good).replace(at, bytes.size(), bytes);
  };
  const std::pair<std::string, std::string> cases[] = {
      {std::string(199, ' '),
       "not a DED file: 199 bytes, shorter than the 200-byte preamble of a DED file"},
      {with(0, std::string("\x89PNG", 4)),
       "not a DED file: its header does not begin with the length 128"},
      {with(4, "KTLY"), "not a DED file: its header does not hold the tag \"KTLX\""},
      {with(8, "UTM "), "not a DED file: its header does not hold the projection \"DMA1\""},
      {good.substr(0, 210),
       "not a DED file: the file holds 210 bytes, but its counts (2 records of 3 posts) call for "
       "212"},
  };
  for (const auto& [bytes, error] : cases)
    EXPECT_EQ(runError(write(bytes)), error);
  EXPECT_EQ(runError(dir_.path("none.ded")), "cannot be opened: No such file or directory");
  ASSERT_EQ(mkfifo(dir_.path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(runError(dir_.path("fifo")), "cannot be opened: it is not a regular file");
}

TEST(DedLength, ProblemsOfTheCounts) {
  const std::tuple<std::uintmax_t, float, float, std::string> cases[] = {
      {212, 3, 2, ""},
      {212, 2.5f, 2, "its post counts (2.5 per record, 2 records) are not whole numbers of posts"},
      {212, 1e20f, 2,
       "its post counts (1.00000002e+20 per record, 2 records) are beyond what a DED file can "
       "hold"},
      {212, 2147483520.0f, 2147483520.0f,
       "the file holds 212 bytes, but its counts (2147483520 records of 2147483520 posts) call "
       "for 9223370937343181000"},
  };
  for (const auto& [size, perRecord, records, problem] : cases)
    EXPECT_EQ(lengthProblem(size, perRecord, records), problem) << size;
}

}  // namespace
}  // namespace relievo::cli
