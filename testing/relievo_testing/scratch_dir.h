// ScratchDir: a folder of the test's own under the system's temporary folder, removed with
// everything in it when the object goes.
#ifndef RELIEVO_TESTING_SCRATCH_DIR_H
#define RELIEVO_TESTING_SCRATCH_DIR_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "relievo_testing/files.h"

namespace relievo::testing {

class ScratchDir {
 public:
  // Makes a new, empty folder whose name starts with "relievo-" and names the running test,
  // if any. Throws std::runtime_error when it cannot be made.
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix() + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create " + pattern + ": " + std::strerror(errno));
    }
    root_ = pattern;
  }
  // Removes the folder and its contents; what cannot be removed stays.
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& root() const { return root_; }

  // The path of the file `name` in the folder (which need not exist).
  std::string path(std::string_view name) const { return (root_ / name).string(); }

  // Writes `bytes` to the file `name` in the folder, replacing it, and returns its path.
  // Throws std::runtime_error when the file cannot be written.
  // `bytes` is anything writeFile takes: text or a vector of bytes.
  template <class Bytes>
  std::string write(std::string_view name, const Bytes& bytes) const {
    std::string file = path(name);
    writeFile(file, bytes);
    return file;
  }

 private:
  // The test's name is kept short and to letters, digits and underscores, so that it never
  // adds a separator, an extension or a space to the paths that tests build in the folder.
  static std::string prefix() {
    constexpr std::size_t kMaxTestNameChars = 64;
    std::string prefix = "relievo-";
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr) return prefix;
    std::string name = std::string(test->test_suite_name()) + "_" + test->name();
    name.resize(std::min(name.size(), kMaxTestNameChars));
    for (char& c : name)
      if (const auto u = static_cast<unsigned char>(c); u >= 0x80 || std::isalnum(u) == 0) c = '_';
    return prefix + name + "-";
  }

  std::filesystem::path root_;
};

}  // namespace relievo::testing

#endif  // RELIEVO_TESTING_SCRATCH_DIR_H
