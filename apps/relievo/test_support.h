// Helpers shared by the command's unit tests: a scratch folder, what was written to a
// temporary FILE, and DED files built byte by byte.
#ifndef RELIEVO_APPS_TEST_SUPPORT_H
#define RELIEVO_APPS_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace relievo::cli::testing {

// A fresh folder named after the running test and process, removed with its contents.
class ScratchDir {
 public:
  ScratchDir() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("relievo_" + std::string(test->test_suite_name()) + "_" + test->name() + "_" +
             std::to_string(::getpid()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  ~ScratchDir() { std::filesystem::remove_all(root_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::string operator/(const std::string& name) const { return (root_ / name).string(); }

 private:
  std::filesystem::path root_;
};

// Everything written to `file` so far.
inline std::string contents(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string s;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
    s += static_cast<char>(c);
  return s;
}

inline void putBig(std::string& bytes, std::size_t at, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) {
    bytes[at + i] = static_cast<char>((v >> (8 * (n - 1 - i))) & 0xFF);
  }
}

// A DED file of `records` records of `perRecord` posts (column after column) with the
// extents counts given (they may lie about the posts).
inline std::string dedBytes(const std::vector<std::int16_t>& posts, float perRecord,
                            float records) {
  std::string b(200, ' ');
  putBig(b, 0, 128, 4);
  b.replace(4, 4, "KTLX");
  b.replace(8, 8, "DMA1    ");
  b.replace(16, 8, "V1.0    ");
  b.replace(24, 26, std::string("Thu Dec  4 14:59:22 2026\n\0", 26));
  putBig(b, 128, 1, 4);
  putBig(b, 132, static_cast<std::uint16_t>(-5), 2);
  putBig(b, 134, 1200, 2);
  const float extents[] = {45.0f, 46.0f,     7.0f,    8.0f,    30.0f,
                           60.0f, perRecord, records, 4000.5f, 303.8f};
  for (int i = 0; i < 10; ++i)
    putBig(b, 160 + 4 * i, std::bit_cast<std::uint32_t>(extents[i]), 4);
  for (const std::int16_t p : posts) {
    b += static_cast<char>((static_cast<std::uint16_t>(p) >> 8) & 0xFF);
    b += static_cast<char>(static_cast<std::uint16_t>(p) & 0xFF);
  }
  return b;
}

}  // namespace relievo::cli::testing

#endif  // RELIEVO_APPS_TEST_SUPPORT_H
