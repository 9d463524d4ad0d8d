// Programs that the tests of the windowed host start: the host itself, xdotool, Xvfb and the
// relievo command.
#ifndef RELIEVO_TESTS_GUI_PROCESS_H
#define RELIEVO_TESTS_GUI_PROCESS_H

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace relievo::gui_test {

// The exit status of a program that could not be started.
inline constexpr int kNotStarted = 127;

struct SpawnOptions {
  std::map<std::string, std::string> env;  // set in the program's environment
  std::filesystem::path cwd;               // empty: the test's working folder
  bool quiet = false;                      // standard output and error to /dev/null
  int passFd = -1;                         // a descriptor the program gets as descriptor 3
};

// Starts argv[0] (looked up in PATH) with standard input from /dev/null; returns its id. A
// program that cannot be started ends with kNotStarted.
pid_t spawn(const std::vector<std::string>& argv, const SpawnOptions& options = {});

// The exit status of the process (128 + the signal when a signal ended it), or -1 when it has
// not ended within timeout; it is then killed.
int waitExit(pid_t pid, std::chrono::milliseconds timeout);

// Runs a program to its end (two minutes at most).
int run(const std::vector<std::string>& argv, const SpawnOptions& options = {});

}  // namespace relievo::gui_test

#endif  // RELIEVO_TESTS_GUI_PROCESS_H
