#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace relievo::gui_test {

pid_t spawn(const std::vector<std::string>& argv, const SpawnOptions& options) {
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // A test that dies leaves no X server or program behind.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  for (const auto& [key, value] : options.env)
    setenv(key.c_str(), value.c_str(), 1);
  const int null = open("/dev/null", O_RDWR);
  dup2(null, STDIN_FILENO);
  if (options.quiet) {
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
  }
  // dup2 onto itself would leave the descriptor closing at exec.
  if (options.passFd == 3) fcntl(3, F_SETFD, 0);
  if (options.passFd >= 0 && options.passFd != 3) dup2(options.passFd, 3);
  if ((options.cwd.empty() || chdir(options.cwd.c_str()) == 0)) execvp(args[0], args.data());
  _exit(kNotStarted);
}

int waitExit(pid_t pid, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int run(const std::vector<std::string>& argv, const SpawnOptions& options) {
  return waitExit(spawn(argv, options), std::chrono::minutes(2));
}

}  // namespace relievo::gui_test
