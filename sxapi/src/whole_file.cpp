#include "whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace sxhost::detail {

namespace {

constexpr std::size_t kChunk = 1 << 16;

struct Closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

int lastError() {
  return errno != 0 ? errno : EIO;
}

}  // namespace

WholeFile readWholeFile(const std::string& path) {
  WholeFile whole;
  errno = 0;
  const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    whole.error = lastError();
    return whole;
  }
  char chunk[kChunk];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
    whole.bytes.append(chunk, n);
  // A folder opens, then fails its first read (EISDIR).
  if (std::ferror(file.get()) != 0) {
    whole.error = lastError();
    whole.bytes.clear();
  }
  return whole;
}

std::string cannotBeRead(const std::string& path, int error) {
  return path + ": cannot be read: " + std::strerror(error);
}

}  // namespace sxhost::detail
