#include "cli_test_support.h"

#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace relievo::e2e {

namespace {

fs::path buildDir() {
  const char* dir = std::getenv("RELIEVO_BUILD_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path(RELIEVO_DEFAULT_BUILD_DIR);
}

// The text as one word for a shell.
std::string quoted(const std::string& text) {
  std::string out = "'";
  for (const char ch : text)
    out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return out + "'";
}

}  // namespace

fs::path relievoPath() {
  return buildDir() / "bin" / "relievo";
}

RunResult runProgram(const fs::path& program, const std::vector<std::string>& args,
                     const fs::path& cwd, const std::map<std::string, std::string>& env) {
  // The output goes to files beside the working folder, never into it; a run that has not
  // ended after two minutes has hung and is killed.
  const std::string out = cwd.string() + ".stdout";
  const std::string err = cwd.string() + ".stderr";
  std::string command = "cd " + quoted(cwd.string()) + " && env";
  for (const auto& [key, value] : env)
    command.append(value.empty() ? " -u " + key : " " + key + "=" + quoted(value));
  command.append(" timeout -s KILL 120 ").append(quoted(program.string()));
  for (const std::string& arg : args)
    command.append(" ").append(quoted(arg));
  command.append(" </dev/null >").append(quoted(out)).append(" 2>").append(quoted(err));
  const int status = std::system(command.c_str());
  RunResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
  fs::remove(out);
  fs::remove(err);
  return result;
}

RunResult CliTest::run(const std::string& line, const std::map<std::string, std::string>& env) {
  std::istringstream words(line);
  std::vector<std::string> args;
  for (std::string word; words >> word;)
    args.push_back(word);
  return runProgram(relievoPath(), args, dir.root(), env);
}

RunResult CliTest::ok(const std::string& line) {
  RunResult r = run(line);
  EXPECT_EQ(r.exitCode, 0) << line << "\n" << r.err;
  return r;
}

std::string CliTest::abs(const std::string& name) const {
  return (fs::canonical(dir.root()) / name).string();
}

std::vector<std::string> CliTest::files() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.root()))
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
