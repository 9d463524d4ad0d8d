#include "image_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace sxhost::image {

namespace {

// "<path>: <what>", into problem when there is one.
void report(std::string* problem, const std::string& path, const std::string& what) {
  if (problem != nullptr) *problem = path + ": " + what;
}

std::string cannotBeRead() {
  return std::string("cannot be read: ") + (errno != 0 ? std::strerror(errno) : "it ended early");
}

}  // namespace

std::optional<ImageFile> ImageFile::open(const char* path, std::string* problem) {
  if (path == nullptr) return std::nullopt;
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
  if (!file) {
    report(problem, path, cannotBeRead());
    return std::nullopt;
  }
  struct stat status {};
  if (fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
    report(problem, path, "is not a regular file");
    return std::nullopt;
  }
  return ImageFile(std::move(file), static_cast<std::uint64_t>(status.st_size), path);
}

std::optional<std::vector<unsigned char>> ImageFile::readStart(std::uint64_t maxBytes,
                                                               std::string* problem) const {
  const std::uint64_t wanted = std::min(maxBytes, size_);
  std::vector<unsigned char> bytes(static_cast<std::size_t>(wanted));
  errno = 0;
  if (std::fseek(file_.get(), 0, SEEK_SET) != 0 ||
      std::fread(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) {
    report(problem, path_, cannotBeRead());
    return std::nullopt;
  }
  return bytes;
}

}  // namespace sxhost::image
