#include "output_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "errors.h"
#include "relievo_testing/error_of.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo::cli {
namespace {

// What checkOutputPaths throws (UsageError or RunError), or "".
template <class Error>
std::string refusal(const std::vector<NamedPath>& paths) {
  return relievo::testing::errorOf<Error>([&] { checkOutputPaths(paths); }, "");
}

TEST(OutputPaths, WrittenFilesMustBeDistinct) {
  const relievo::testing::ScratchDir dir;
  const std::string src = dir.path("a.png");
  const std::string alias = dir.path("x/../a.png");
  const std::pair<std::vector<NamedPath>, std::string> cases[] = {
      {{{"--preview", src, true}, {"--file", alias, false}},
       "--preview and --file name the same file"},
      {{{"--output", dir.path("o.ded"), true}, {"--preview", dir.path("o.ded"), true}},
       "--output and --preview name the same file"},
      // The dialog itself refuses a DED file named like its source.
      {{{"--output", src, true}, {"--file", src, false}}, ""},
      {{{"--output", dir.path("a.ded"), true},
        {"--preview", std::nullopt, true},
        {"--file", src, false}},
       ""},
  };
  for (const auto& [paths, message] : cases)
    EXPECT_EQ(refusal<UsageError>(paths), message);
}

TEST(OutputPaths, AFifoIsNoPlaceToWrite) {
  const relievo::testing::ScratchDir dir;
  const std::string fifo = dir.path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(refusal<RunError>({{"--preview", fifo, true}}),
            "--preview: " + fifo + " is not a regular file");
  // Read from, it is checked elsewhere; a folder fails when it is opened.
  EXPECT_EQ(refusal<RunError>({{"--file", fifo, false}}), "");
  EXPECT_EQ(refusal<RunError>({{"--output", dir.root().string(), true}}), "");
}

}  // namespace
}  // namespace relievo::cli
