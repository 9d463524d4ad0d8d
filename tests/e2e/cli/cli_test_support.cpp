#include "cli_test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace relievo::clitest {

namespace {

// A run that takes longer than this has hung.
constexpr auto kRunLimit = std::chrono::seconds(120);

fs::path buildDir() {
  const char* dir = std::getenv("RELIEVO_BUILD_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path(RELIEVO_DEFAULT_BUILD_DIR);
}

std::uint32_t bigEndian(const std::string& bytes, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = 0; i < n; ++i)
    v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return v;
}

void putBigEndian(std::string& out, std::uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i)
    out += static_cast<char>((v >> (8 * i)) & 0xFF);
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
  const fs::path outPath = fs::path(cwd).concat(".stdout");
  const fs::path errPath = fs::path(cwd).concat(".stderr");
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

void CliTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ =
      fs::temp_directory_path() / ("relievo_cli_" + std::to_string(getpid()) + "_" + info->name());
  fs::remove_all(dir_);
  fs::create_directories(dir_);
}

void CliTest::TearDown() {
  fs::remove_all(dir_);
}

std::vector<std::string> CliTest::files() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string asciiGrid(const std::vector<std::vector<double>>& rows, double nodata) {
  std::ostringstream s;
  s << "ncols         " << rows.at(0).size() << "\n"
    << "nrows         " << rows.size() << "\n"
    << "xllcorner     7.000000000000\n"
    << "yllcorner     45.000000000000\n"
    << "cellsize      0.000833333333\n"
    << "NODATA_value  " << nodata << "\n";
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i)
      s << (i == 0 ? "" : " ") << row[i];
    s << "\n";
  }
  return s.str();
}

std::string sgiImage(int width, int height, const std::vector<std::vector<std::uint8_t>>& planes) {
  std::string out;
  putBigEndian(out, 474, 2);  // magic
  out += '\0';                // storage: verbatim
  out += '\1';                // one byte per channel
  putBigEndian(out, planes.size() == 1 ? 2 : 3, 2);
  putBigEndian(out, static_cast<std::uint32_t>(width), 2);
  putBigEndian(out, static_cast<std::uint32_t>(height), 2);
  putBigEndian(out, static_cast<std::uint32_t>(planes.size()), 2);
  putBigEndian(out, 0, 4);    // pixmin
  putBigEndian(out, 255, 4);  // pixmax
  out += std::string(4, '\0');
  out += std::string(80, '\0');  // image name
  putBigEndian(out, 0, 4);       // colour map: normal
  out += std::string(404, '\0');
  for (const auto& plane : planes) {
    out.append(reinterpret_cast<const char*>(plane.data()), plane.size());
  }
  return out;
}

void writePng(const fs::path& path, int width, int height, int channels,
              const std::vector<std::uint8_t>& topRowFirst) {
  if (stbi_write_png(path.c_str(), width, height, channels, topRowFirst.data(), width * channels) ==
      0) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::array<std::uint8_t, 3> Picture::at(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return {rgb.at(i), rgb.at(i + 1), rgb.at(i + 2)};
}

Picture readPng(const fs::path& path) {
  Picture p;
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 3);
  if (data == nullptr) throw std::runtime_error("cannot read the picture " + path.string());
  p.rgb.assign(data, data + static_cast<std::size_t>(p.width) * p.height * 3);
  stbi_image_free(data);
  return p;
}

std::int16_t Ded::rangeLowest() const {
  return static_cast<std::int16_t>(bigEndian(bytes, 132, 2));
}

std::int16_t Ded::rangeHighest() const {
  return static_cast<std::int16_t>(bigEndian(bytes, 134, 2));
}

float Ded::extent(int i) const {
  return std::bit_cast<float>(bigEndian(bytes, 160 + 4 * static_cast<std::size_t>(i), 4));
}

std::int16_t Ded::post(int record, int index) const {
  const std::size_t at = 200 + 2 * (static_cast<std::size_t>(record) * postsPerRecord() + index);
  return static_cast<std::int16_t>(bigEndian(bytes, at, 2));
}

std::vector<std::int16_t> Ded::posts() const {
  std::vector<std::int16_t> out;
  for (std::size_t at = 200; at + 1 < bytes.size(); at += 2) {
    out.push_back(static_cast<std::int16_t>(bigEndian(bytes, at, 2)));
  }
  return out;
}

Ded readDed(const fs::path& path) {
  Ded d{readFile(path)};
  if (d.bytes.size() < 200) throw std::runtime_error(path.string() + " is no DED file");
  return d;
}

std::int16_t linearPost(double v, double inMin, double inMax, double outMin, double outMax) {
  const double t = (v - inMin) / (inMax - inMin);
  return static_cast<std::int16_t>(static_cast<int>((outMax - outMin) * t + outMin));
}

}  // namespace relievo::clitest
