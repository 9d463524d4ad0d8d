#include "cli_test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace relievo::e2e {

namespace {

// A run that takes longer than this has hung.
constexpr auto kRunLimit = std::chrono::seconds(120);

fs::path buildDir() {
  const char* dir = std::getenv("RELIEVO_BUILD_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path(RELIEVO_DEFAULT_BUILD_DIR);
}

}  // namespace

fs::path relievoPath() {
  return buildDir() / "bin" / "relievo";
}

fs::path pluginDir() {
  return buildDir() / "plugins";
}

RunResult runProgram(const fs::path& program, const std::vector<std::string>& args,
                     const fs::path& cwd, const std::map<std::string, std::string>& env) {
  // The output goes to files beside the working folder, never into it.
  const std::string outPath = cwd.string() + ".stdout";
  const std::string errPath = cwd.string() + ".stderr";
  std::vector<std::string> argvText{program.string()};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argvText)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(cwd.c_str()) != 0) {
      _exit(127);
    }
    for (const auto& [key, value] : env) {
      if (value.empty()) {
        unsetenv(key.c_str());
      } else {
        setenv(key.c_str(), value.c_str(), 1);
      }
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (status != -1 && WIFSIGNALED(status)) result.exitCode = 128 + WTERMSIG(status);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return result;
}

RunResult CliTest::run(const std::string& line, const std::map<std::string, std::string>& env) {
  std::istringstream words(line);
  std::vector<std::string> args;
  for (std::string word; words >> word;)
    args.push_back(word);
  return runProgram(relievoPath(), args, dir.path(), env);
}

RunResult CliTest::ok(const std::string& line) {
  RunResult r = run(line);
  EXPECT_EQ(r.exitCode, 0) << line << "\n" << r.err;
  return r;
}

std::string CliTest::abs(const std::string& name) const {
  return (fs::canonical(dir.path()) / name).string();
}

std::vector<std::string> CliTest::files() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void writePng(const std::string& path, int width, int height, int channels,
              const std::vector<std::uint8_t>& topRowFirst) {
  if (stbi_write_png(path.c_str(), width, height, channels, topRowFirst.data(), width * channels) ==
      0) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::array<std::uint8_t, 3> Picture::at(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return {rgb.at(i), rgb.at(i + 1), rgb.at(i + 2)};
}

Picture readPng(const std::string& path) {
  Picture p;
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 3);
  if (data == nullptr) throw std::runtime_error("cannot read the picture " + path);
  p.rgb.assign(data, data + static_cast<std::size_t>(p.width) * p.height * 3);
  stbi_image_free(data);
  return p;
}

}  // namespace relievo::e2e
