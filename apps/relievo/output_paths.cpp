#include "output_paths.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "errors.h"

namespace relievo::cli {

namespace {

namespace fs = std::filesystem;

bool sourceAndOutput(const NamedPath& a, const NamedPath& b) {
  const auto is = [](const NamedPath& p, const char* option) {
    return std::strcmp(p.option, option) == 0;
  };
  return (is(a, "--file") && is(b, "--output")) || (is(a, "--output") && is(b, "--file"));
}

}  // namespace

bool namesStandardOutput(std::string_view path) {
  return path == "-" || path == "/dev/stdout";
}

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? path : p.string();
}

void checkOutputPaths(const std::vector<NamedPath>& paths) {
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const NamedPath& a = paths[i];
    if (!a.path || !a.written) continue;
    for (std::size_t j = 0; j < paths.size(); ++j) {
      const NamedPath& b = paths[j];
      if (i == j || !b.path || sourceAndOutput(a, b)) continue;
      if (absolutePath(*a.path) == absolutePath(*b.path)) {
        throw UsageError(std::string(a.option) + " and " + b.option + " name the same file");
      }
    }
    std::error_code ec;
    const fs::file_status status = fs::status(*a.path, ec);
    if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status)) {
      throw RunError(std::string(a.option) + ": " + *a.path + " is not a regular file");
    }
  }
}

void checkSourceFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) throw RunError(path + ": no such file");
  if (fs::is_directory(status)) throw RunError(path + " is a folder, not a source file");
  if (!fs::is_regular_file(status)) throw RunError(path + " is not a regular file");
}

}  // namespace relievo::cli
