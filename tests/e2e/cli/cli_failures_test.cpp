// Every way a run of the built command fails: its exit status, what it says, and that it
// writes nothing it was not asked to.
#include <map>
#include <tuple>

#include "cli_test_support.h"

namespace relievo::e2e {
namespace {

using Case = std::pair<std::string, std::string>;  // the arguments, standard error

class CliFailures : public CliTest {
 protected:
  // Each case exits with `code`, says `err` on standard error and nothing on standard output.
  void expectFailures(const std::vector<Case>& cases, int code) {
    for (const auto& [args, err] : cases) {
      const RunResult r = run(args);
      EXPECT_EQ(std::tie(r.exitCode, r.err, r.out), std::tuple(code, err, "")) << args;
    }
  }
};

// The parser's own messages are its unit tests' case; here the exit status, the prefix, and
// the checks that need the files named.
TEST_F(CliFailures, UsageErrorsExitWithTwoAndOneLine) {
  writeFile(path("a.asc"), "1 2\n3 4\n");
  expectFailures(
      {
          {"a.asc --stride 2",
           "relievo: --stride does not apply to the ascii source that a.asc was taken for; choose "
           "the kind of source with --source ascii|binary|image|fractal|geo\n"},
          {"a.asc --file a.asc", "relievo: --file excludes INPUT\n"},
          {"--settings .", "relievo: --settings: . is a folder\n"},
          // A usage error writes no settings.
          {"--settings s.json --noise 7", "relievo: --noise: '7' is outside 0 ... 1\n"},
      },
      2);
  EXPECT_EQ(files(), (std::vector<std::string>{"a.asc"}));
  EXPECT_THAT(ok("--help").out, HasSubstr("--preview-size"));
}

TEST_F(CliFailures, SourcesThatCannotBeReadAndTheDialogsMessages) {
  fs::create_directories(path("folder"));
  writeFile(path("empty.raw"), "");
  // 24 bytes that no one would take for text.
  writeFile(path("grid.raw"), bytesOf({5, 0, 7, 0, 0xFF, 1}) + std::string(18, '\0'));
  writeFile(path("text.asc"), "1 2\n3 4\n");
  writePng(path("g.png"), 2, 2, 1, {1, 2, 3, 4});
  expectFailures(
      {
          {"--source ascii --file none.asc", "relievo: none.asc: no such file\n"},
          {"--source binary --file folder", "relievo: folder is a folder, not a source file\n"},
          {"--source binary --file /dev/null", "relievo: /dev/null is not a regular file\n"},
          {"--source binary --file empty.raw --width 2 --height 2",
           "relievo: nothing was loaded: " + abs("empty.raw") + " is empty\n"},
          {"--source ascii --file grid.raw --width 2 --height 2",
           "Incorrect Format: This file does not appear to be an ASCII text file.\n\nDo you want "
           "to try to read it anyway? [no]\nrelievo: nothing was loaded\n"},
          {"--source ascii --file text.asc --width 2 --height 2 --delimiter 5",
           "Error: ACSII data delimiter must be a non-numeric character\n"
           "relievo: the dialog refused a setting: ACSII data delimiter must be a non-numeric "
           "character\n"},
          {"--source ascii --file text.asc --scan 3",
           "relievo: Scan File: --scan 3: the file lists only 2 lines\n"},
          {"--source ascii --file grid.raw --scan",
           "relievo: Scan File: no listed line begins with a number; pick the first data line "
           "with --scan LINE\n"},
          {"--source ascii", "relievo: no source file: choose one with --file\n"},
          {"--source binary --file grid.raw",
           "relievo: nothing was loaded: Error reading file (the grid is 0 x 0: give --width and "
           "--height)\n"},
          // Scan File found no header: the hint leaves out the option that ran.
          {"--source ascii --file text.asc --scan 1",
           "relievo: nothing was loaded: Error reading file (the grid is 0 x 0: give --width and "
           "--height)\n"},
          {"--source ascii --file text.asc --width 2",
           "relievo: nothing was loaded: Error reading file (the grid is 2 x 0: give --height, or "
           "--scan)\n"},
          {"--size 8 --preview missing/p.png",
           "relievo: missing/p.png: cannot be written: No such file or directory\n"},
          {"--source image --file g.png --component red",
           "relievo: --component red: the image offers intensity only\n"},
          // The stored north-east corner is (1, 1): a south-west corner beyond it is refused.
          {"--sw 50,50 --size 8",
           "relievo: the dialog refused --sw: the north-east corner must lie north or east of the "
           "south-west corner\n"},
          // The same file by another name is refused all the same; the second prompt is
          // cancelled.
          {"--source binary --file grid.raw --width 4 --height 6 -o ./grid.raw",
           "Invalid Output DED File Name: The name of the output DED file cannot be\nthe same as "
           "the name of the input file.\nrelievo: no DED file was created: Operation canceled\n"},
      },
      1);
  EXPECT_EQ(files(),
            (std::vector<std::string>{"empty.raw", "folder", "g.png", "grid.raw", "text.asc"}));
}

TEST_F(CliFailures, ANotTextAnsweredYesIsReadAnyway) {
  writeFile(path("bytes.asc"), std::string("1 2 \xC8 3 4\n"));
  const RunResult r = ok("--source ascii --file bytes.asc --width 2 --height 2 -y -o b.ded");
  EXPECT_THAT(r.err, HasSubstr("Do you want to try to read it anyway? [yes]\n"));
  EXPECT_EQ(DedFile::read(path("b.ded")).posts(), (std::vector<std::int16_t>{1, 3, 2, 4}));
}

// A DED file the device stops taking: the run fails with the system's reason, and the file of
// that name keeps its old bytes, with no temporary file beside it.
TEST_F(CliFailures, AFileSizeLimitCutsTheWriteShort) {
  const std::string script =
      "mkdir out && trap '' XFSZ && ulimit -f 64 && printf old >out/x.ded && '" +
      relievoPath().string() +
      "' -q --size 256 -o out/x.ded; echo \"exit $?\"; ls -A out; cat out/x.ded";
  const RunResult r = runProgram("bash", {"-c", script}, dir.root());
  const std::string line = "Error writing DED file: File too large";
  EXPECT_EQ(r.err, "Error: " + line + "\n\n" + path("out/x.ded") +
                       "\nrelievo: no DED file was created: " + line + "\n");
  EXPECT_EQ(r.out, "exit 1\nx.ded\nold");
}

TEST_F(CliFailures, WithoutThePlugInModule) {
  // A copy of the command in a folder of its own finds no module beside it...
  fs::create_directories(path("bin"));
  fs::copy_file(relievoPath(), path("bin/relievo"));
  const RunResult lost =
      runProgram(path("bin/relievo"), {"--size", "8"}, dir.root(), {{"RELIEVO_PLUGIN_PATH", ""}});
  EXPECT_EQ(lost.exitCode, 1);
  EXPECT_THAT(lost.err, ::testing::StartsWith("relievo: cannot find relievo.so (set "
                                              "RELIEVO_PLUGIN_PATH); looked at:"));
  // ...until RELIEVO_PLUGIN_PATH names the folder that holds it.
  const RunResult found = runProgram(
      path("bin/relievo"), {"--size", "8"}, dir.root(),
      {{"RELIEVO_PLUGIN_PATH", (relievoPath().parent_path().parent_path() / "plugins").string()}});
  EXPECT_EQ(found.exitCode, 0) << found.err;
  EXPECT_TRUE(fs::exists(path("terrain.ded")));
}

// A host library with neither GDAL module beside it: a geo raster names the file and why it
// cannot be read; a file of no stated kind cannot be told.
TEST_F(CliFailures, WithoutTheGdalModules) {
  fs::create_directories(path("lib"));
  fs::copy_file(relievoPath().parent_path().parent_path() / "lib/libsxapi.so",
                path("lib/libsxapi.so"));
  writeFile(path("g.asc"), "ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\n1 2\n3 4\n");
  const std::map<std::string, std::string> alone{{"LD_LIBRARY_PATH", path("lib")}};
  const auto missing = [&](const std::string& module) {
    return path("lib/" + module) + ": cannot open shared object file: No such file or directory\n";
  };
  const RunResult geo = run("-q --source geo --file g.asc", alone);
  EXPECT_EQ(std::tie(geo.exitCode, geo.err),
            std::tuple(1, "relievo: nothing was loaded: " + abs("g.asc") +
                              ": geo rasters cannot be read: " + missing("librelievo_geo.so")));
  const RunResult told = run("-q g.asc", alone);
  EXPECT_EQ(std::tie(told.exitCode, told.err),
            std::tuple(1, "relievo: GDAL cannot be loaded: " + missing("librelievo_probe.so")));
}

}  // namespace
}  // namespace relievo::e2e
