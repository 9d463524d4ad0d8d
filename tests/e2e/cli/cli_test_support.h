// What the end-to-end tests of the `relievo` command share: running the built command in a
// working folder of its own, and the PNG files it reads and writes.
#ifndef RELIEVO_TESTS_E2E_CLI_TEST_SUPPORT_H
#define RELIEVO_TESTS_E2E_CLI_TEST_SUPPORT_H

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_files.h"

namespace relievo::e2e {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct RunResult {
  int exitCode = -1;  // 137 when it was killed after hanging for two minutes
  std::string out;    // standard output
  std::string err;    // standard error
};

// The built command (RELIEVO_BUILD_DIR/bin/relievo).
fs::path relievoPath();

// Runs `program args...` in `cwd` with no standard input, the environment of the test plus
// `env` (a value of "" removes the variable). A crash shows as 128 + the signal's number.
RunResult runProgram(const fs::path& program, const std::vector<std::string>& args,
                     const fs::path& cwd, const std::map<std::string, std::string>& env = {});

// A test whose runs happen in an empty working folder of its own.
class CliTest : public ::testing::Test {
 protected:
  // The command with the arguments of `line`, separated by blanks.
  RunResult run(const std::string& line, const std::map<std::string, std::string>& env = {});
  // A run that must succeed.
  RunResult ok(const std::string& line);
  std::string path(const std::string& name) const { return dir.path(name); }
  // The path as the command reports it.
  std::string abs(const std::string& name) const;
  // The names in the working folder, sorted.
  std::vector<std::string> files() const;

  ScratchDir dir;
};

// A PNG file of `channels` (1 grey, 3 RGB) 8-bit samples, rows from the top.
void writePng(const std::string& path, int width, int height, int channels,
              const std::vector<std::uint8_t>& topRowFirst);

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // rows from the top
  std::array<std::uint8_t, 3> at(int x, int yFromTop) const;
};
Picture readPng(const std::string& path);

}  // namespace relievo::e2e

#endif  // RELIEVO_TESTS_E2E_CLI_TEST_SUPPORT_H
