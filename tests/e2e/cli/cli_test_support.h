// What the end-to-end tests of the `relievo` command share: running the built command in a
// working folder of its own, making input files in the formats other tools write, and
// reading back the DED files and pictures it writes.
#ifndef RELIEVO_TESTS_E2E_CLI_TEST_SUPPORT_H
#define RELIEVO_TESTS_E2E_CLI_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace relievo::clitest {

namespace fs = std::filesystem;

struct RunResult {
  int exitCode = -1;  // -1 when it did not end by itself in time
  std::string out;    // standard output
  std::string err;    // standard error
};

// The built command (RELIEVO_BUILD_DIR/bin/relievo).
fs::path relievoPath();
// The build tree's plug-in folder.
fs::path pluginDir();

// Runs `program args...` in `cwd` with no standard input, the environment of the test plus
// `env` (a value of "" removes the variable).
RunResult runProgram(const fs::path& program, const std::vector<std::string>& args,
                     const fs::path& cwd, const std::map<std::string, std::string>& env = {});

// A test whose every run gets an empty working folder, removed afterwards.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  RunResult run(const std::vector<std::string>& args,
                const std::map<std::string, std::string>& env = {}) {
    return runProgram(relievoPath(), args, dir_, env);
  }
  fs::path path(const std::string& name) const { return dir_ / name; }
  // The names in the working folder, sorted.
  std::vector<std::string> files() const;

  fs::path dir_;
};

void writeFile(const fs::path& path, const std::string& bytes);
std::string readFile(const fs::path& path);

// An ASCII grid as GIS tools export it: ncols, nrows, xllcorner, yllcorner, cellsize and
// NODATA_value lines, then the rows from north to south, values separated by blanks.
std::string asciiGrid(const std::vector<std::vector<double>>& rowsNorthFirst, double nodata);

// A verbatim 8-bit SGI image of `channels` planes; planes[c][y * width + x] with row y = 0 at
// the bottom, as SGI stores it.
std::string sgiImage(int width, int height, const std::vector<std::vector<std::uint8_t>>& planes);

// A PNG file of `channels` (1 grey, 3 RGB) 8-bit samples, rows from the top.
void writePng(const fs::path& path, int width, int height, int channels,
              const std::vector<std::uint8_t>& topRowFirst);

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // rows from the top
  std::array<std::uint8_t, 3> at(int x, int yFromTop) const;
};
Picture readPng(const fs::path& path);

// A DED file read back with nothing but its format: big-endian, 200-byte preamble.
struct Ded {
  std::string bytes;
  std::int16_t rangeLowest() const;
  std::int16_t rangeHighest() const;
  // Extents values 0 ... 9 in file order: SW lat, NE lat, SW lon, NE lon, lat spacing, lon
  // spacing, posts per record, records, lon feet, lat feet.
  float extent(int i) const;
  int postsPerRecord() const { return static_cast<int>(extent(6)); }
  int records() const { return static_cast<int>(extent(7)); }
  std::int16_t post(int record, int index) const;
  // Every post, record after record.
  std::vector<std::int16_t> posts() const;
};
Ded readDed(const fs::path& path);

// The post that the dialog's linear mapping gives for a value v in metres.
std::int16_t linearPost(double v, double inMin, double inMax, double outMin, double outMax);

}  // namespace relievo::clitest

#endif  // RELIEVO_TESTS_E2E_CLI_TEST_SUPPORT_H
