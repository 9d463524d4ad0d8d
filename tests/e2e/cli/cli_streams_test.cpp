// Where the command's output goes: a DED file through standard output into a file or a pipe,
// never onto a terminal; and what a terminal shows while a file converts.
#include <tuple>

#include "cli_test_support.h"

namespace relievo::e2e {
namespace {

using CliStreams = CliTest;

// The command line for a shell, the command itself first.
std::string shellLine(const std::string& arguments) {
  return std::string("'").append(relievoPath().string()).append("' ").append(arguments);
}

TEST_F(CliStreams, TheDedFileThroughStandardOutput) {
  const std::string summary = "Output:     standard output (712 bytes)\n";
  std::vector<std::int16_t> posts;
  for (const char* output : {"-", "/dev/stdout"}) {
    const RunResult r = ok(std::string("--size 16 --seed 3 -o ") + output);
    // The summary goes to standard error, leaving the DED bytes alone.
    EXPECT_THAT(r.err, HasSubstr(summary));
    const DedFile ded{r.out};
    EXPECT_EQ(std::tuple(ded.bytes.size(), ded.extent(6), ded.extent(7)),
              std::tuple(712u, 16.0f, 16.0f));
    if (posts.empty()) posts = ded.posts();
    EXPECT_EQ(ded.posts(), posts) << output;
  }
  const RunResult piped = runProgram(
      "bash", {"-c", "set -o pipefail; " + shellLine("--size 16 --seed 3 -o - | cat > p.ded")},
      dir.root());
  EXPECT_EQ(piped.exitCode, 0) << piped.err;
  EXPECT_EQ(DedFile::read(path("p.ded")).posts(), posts);
  // No file was made for the output's name.
  EXPECT_EQ(files(), std::vector<std::string>{"p.ded"});
}

TEST_F(CliStreams, StandardOutputThatTakesNothing) {
  const RunResult full =
      runProgram("bash", {"-c", shellLine("-q --size 8 -o - >/dev/full")}, dir.root());
  // Nothing says the file was created.
  EXPECT_EQ(std::tie(full.exitCode, full.err),
            std::tuple(1,
                       "relievo: standard output: cannot be written: No space left on "
                       "device\n"));
  const RunResult noTemp = run("-q --size 8 -o -", {{"TMPDIR", path("none")}});
  EXPECT_EQ(std::tie(noTemp.exitCode, noTemp.err),
            std::tuple(1, "relievo: " + path("none") +
                              ": no temporary folder can be made in it: No such file or "
                              "directory\n"));
}

TEST_F(CliStreams, OnATerminal) {
  const auto onTerminal = [&](const std::string& arguments) {
    return runProgram("script", {"-qec", shellLine(arguments), "/dev/null"}, dir.root());
  };
  const RunResult refused = onTerminal("-o -");
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_EQ(refused.out,
            "relievo: --output -: standard output is a terminal; send the DED file to a file or "
            "a pipe\r\n");
  // The progress of a file conversion shows the file being read, and no stored fractal first.
  writeFile(path("a.asc"), "1 2\n3 4\n");
  const RunResult text = onTerminal("--source ascii --file a.asc --width 2 --height 2");
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_THAT(text.out, HasSubstr("Reading File..."));
  EXPECT_THAT(text.out, ::testing::Not(HasSubstr("Fractal")));
}

}  // namespace
}  // namespace relievo::e2e
