#include "output_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "errors.h"

namespace relievo::cli {
namespace {

namespace fs = std::filesystem;

class OutputPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("relievo_output_paths_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string at(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(OutputPathsTest, WrittenFilesMustBeDistinct) {
  struct Case {
    std::vector<NamedPath> paths;
    std::string message;
  };
  const std::string src = at("a.png");
  const std::string alias = (dir_ / "x" / ".." / "a.png").string();
  const Case cases[] = {
      {{{"--preview", src, true}, {"--file", alias, false}},
       "--preview and --file name the same file"},
      {{{"--output", at("o.ded"), true}, {"--preview", at("o.ded"), true}},
       "--output and --preview name the same file"},
      {{{"--settings", at("s"), true}, {"--file", at("s"), false}},
       "--settings and --file name the same file"},
      {{{"--png", at("f.ded"), true}, {"FILE.ded", at("f.ded"), false}},
       "--png and FILE.ded name the same file"},
  };
  for (const Case& c : cases) {
    try {
      checkOutputPaths(c.paths);
      ADD_FAILURE() << c.message;
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  // The dialog itself refuses a DED file named like its source.
  EXPECT_NO_THROW(checkOutputPaths({{"--output", src, true}, {"--file", src, false}}));
  EXPECT_NO_THROW(checkOutputPaths({{"--output", at("a.ded"), true},
                                    {"--preview", std::nullopt, true},
                                    {"--file", src, false}}));
}

TEST_F(OutputPathsTest, AFifoIsNoPlaceToWrite) {
  const std::string fifo = at("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  try {
    checkOutputPaths({{"--preview", fifo, true}});
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()), "--preview: " + fifo + " is not a regular file");
  }
  // Read from, it is checked elsewhere; a folder fails when it is opened.
  EXPECT_NO_THROW(checkOutputPaths({{"--file", fifo, false}}));
  EXPECT_NO_THROW(checkOutputPaths({{"--output", dir_.string(), true}}));
}

}  // namespace
}  // namespace relievo::cli
