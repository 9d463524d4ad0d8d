// Helpers shared by the host's tests: the message of a refused request, and a scratch folder.
#ifndef SXAPI_SRC_TEST_SUPPORT_H
#define SXAPI_SRC_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "sxhost/error.h"

namespace sxhost::testing {

// What sxhost::Error `action` throws, or "no error".
inline std::string errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

// A fresh folder named after the running test and process, removed with its contents.
class ScratchDir {
 public:
  ScratchDir() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("sxapi_" + std::string(test->test_suite_name()) + "_" + test->name() + "_" +
             std::to_string(::getpid()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  ~ScratchDir() { std::filesystem::remove_all(root_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path operator/(const std::string& name) const { return root_ / name; }

 private:
  std::filesystem::path root_;
};

}  // namespace sxhost::testing

#endif  // SXAPI_SRC_TEST_SUPPORT_H
