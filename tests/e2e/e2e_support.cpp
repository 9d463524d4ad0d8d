#include "e2e_support.h"

#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>

namespace relievo::e2e {

namespace fs = std::filesystem;

std::string pluginPath() {
  if (const char* build = std::getenv("RELIEVO_BUILD_DIR")) {
    return (fs::path(build) / "plugins" / "relievo.so").string();
  }
  return RELIEVO_PLUGIN_PATH;
}

TempDir::TempDir() {
  std::random_device random;
  path_ = fs::temp_directory_path() /
          ("relievo-e2e-" + std::to_string(getpid()) + "-" + std::to_string(random()));
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void writeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

void writeFile(const std::string& path, const std::string& text) {
  writeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DedFile DedFile::read(const std::string& path) {
  return DedFile{readFile(path)};
}

std::int32_t DedFile::int32At(std::size_t offset) const {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i)
    v = (v << 8) | bytes.at(offset + i);
  return static_cast<std::int32_t>(v);
}

std::int16_t DedFile::int16At(std::size_t offset) const {
  return static_cast<std::int16_t>((bytes.at(offset) << 8) | bytes.at(offset + 1));
}

float DedFile::floatAt(std::size_t offset) const {
  return std::bit_cast<float>(static_cast<std::uint32_t>(int32At(offset)));
}

std::string DedFile::textAt(std::size_t offset, std::size_t length) const {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
          bytes.begin() + static_cast<std::ptrdiff_t>(offset + length)};
}

void expectDedHeader(const DedFile& ded) {
  ASSERT_GE(ded.bytes.size(), 200u);
  EXPECT_EQ(ded.int32At(0), 128);
  EXPECT_EQ(ded.textAt(4, 4), "KTLX");
  EXPECT_EQ(ded.textAt(8, 8), "DMA1    ");
  EXPECT_EQ(ded.textAt(16, 8), "V1.0    ");
  EXPECT_EQ(ded.bytes[48], '\n');
  EXPECT_EQ(ded.bytes[49], '\0');
  EXPECT_EQ(ded.textAt(50, 78), std::string(78, ' '));
  EXPECT_EQ(ded.int32At(128), 1);
  EXPECT_EQ(ded.textAt(136, 24), std::string(24, ' '));

  std::tm created{};
  const std::string stamp = ded.textAt(24, 24);
  const char* end = strptime(stamp.c_str(), "%a %b %e %H:%M:%S %Y", &created);
  ASSERT_NE(end, nullptr) << "creation time \"" << stamp << "\"";
  EXPECT_EQ(*end, '\0') << "creation time \"" << stamp << "\"";
  created.tm_isdst = -1;
  EXPECT_LT(std::fabs(std::difftime(std::time(nullptr), std::mktime(&created))), 300.0)
      << "creation time \"" << stamp << "\"";
}

std::pair<float, float> feetOf(float latSouthWest, float latNorthEast, float latSpacing,
                               float lonSpacing) {
  constexpr float kFeetPerSecond = 101.26667f;
  constexpr float kTenths = 10.0f;
  constexpr float kRadiansPerDegree = 0.017453292f;
  const auto difference =
      static_cast<float>(std::fabs(static_cast<double>(latNorthEast) - latSouthWest));
  const auto middle = static_cast<float>(latSouthWest + static_cast<double>(difference) / 2.0f);
  const auto latFeet =
      static_cast<float>(static_cast<double>(kFeetPerSecond) * latSpacing / kTenths);
  const auto lonProduct =
      static_cast<float>(static_cast<double>(kFeetPerSecond) * lonSpacing / kTenths);
  const double cosine = std::cos(static_cast<double>(middle) * kRadiansPerDegree);
  return {static_cast<float>(cosine * lonProduct), latFeet};
}

RelievoTest::RelievoTest() : plugin(host.loadPlugin(pluginPath())) {}

void RelievoTest::TearDown() {
  for (const std::string& line : host.log())
    ADD_FAILURE() << "host log: " << line;
  // Every operation ends with the normal cursor and the progress bar back at 0.
  EXPECT_FALSE(host.waitCursorShown());
  if (host.findDialog(100) != nullptr) {
    EXPECT_EQ(c(kProgress).value(), 0.0);
  }
}

sxhost::Dialog& RelievoTest::start() {
  host.startTool(kTool);
  return main();
}

void RelievoTest::chooseFile(const std::string& path) {
  responder().queueFile({path});
  c(kBrowse).press();
  EXPECT_EQ(responder().pendingFiles(), 0u) << "no file prompt for " << path;
}

void RelievoTest::generate(const std::string& path) {
  responder().queueFile({path});
  c(kGenerate).press();
  EXPECT_EQ(responder().pendingFiles(), 0u) << "no save prompt for " << path;
}

sxhost::Message RelievoTest::lastMessage() {
  const auto& messages = host.responder().messages();
  return messages.empty() ? sxhost::Message{} : messages.back().message;
}

std::vector<std::uint8_t> int16Grid(std::span<const std::int16_t> values) {
  std::vector<std::uint8_t> bytes;
  for (const std::int16_t v : values) {
    const auto u = static_cast<std::uint16_t>(v);
    bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return bytes;
}

}  // namespace relievo::e2e
