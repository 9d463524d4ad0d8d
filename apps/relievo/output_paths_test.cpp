#include "output_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "errors.h"
#include "test_support.h"

namespace relievo::cli {
namespace {

// What checkOutputPaths throws (UsageError or RunError), or "".
template <class Error>
std::string refusal(const std::vector<NamedPath>& paths) {
  try {
    checkOutputPaths(paths);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(OutputPaths, WrittenFilesMustBeDistinct) {
  const testing::ScratchDir dir;
  const std::string src = dir / "a.png";
  const std::string alias = dir / "x/../a.png";
  const std::pair<std::vector<NamedPath>, std::string> cases[] = {
      {{{"--preview", src, true}, {"--file", alias, false}},
       "--preview and --file name the same file"},
      {{{"--output", dir / "o.ded", true}, {"--preview", dir / "o.ded", true}},
       "--output and --preview name the same file"},
      {{{"--settings", dir / "s", true}, {"--file", dir / "s", false}},
       "--settings and --file name the same file"},
      {{{"--png", dir / "f.ded", true}, {"FILE.ded", dir / "f.ded", false}},
       "--png and FILE.ded name the same file"},
      // The dialog itself refuses a DED file named like its source.
      {{{"--output", src, true}, {"--file", src, false}}, ""},
      {{{"--output", dir / "a.ded", true},
        {"--preview", std::nullopt, true},
        {"--file", src, false}},
       ""},
  };
  for (const auto& [paths, message] : cases)
    EXPECT_EQ(refusal<UsageError>(paths), message);
}

TEST(OutputPaths, AFifoIsNoPlaceToWrite) {
  const testing::ScratchDir dir;
  const std::string fifo = dir / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(refusal<RunError>({{"--preview", fifo, true}}),
            "--preview: " + fifo + " is not a regular file");
  // Read from, it is checked elsewhere; a folder fails when it is opened.
  EXPECT_EQ(refusal<RunError>({{"--file", fifo, false}}), "");
  EXPECT_EQ(refusal<RunError>({{"--output", dir.root().string(), true}}), "");
}

}  // namespace
}  // namespace relievo::cli
