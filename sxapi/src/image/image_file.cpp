#include "image_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>

namespace sxhost::image {

std::optional<ImageFile> ImageFile::open(const char* path) {
  if (path == nullptr) return std::nullopt;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
  if (!file) return std::nullopt;
  struct stat status {};
  if (fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
    return std::nullopt;
  }
  return ImageFile(std::move(file), static_cast<std::uint64_t>(status.st_size));
}

std::optional<std::vector<unsigned char>> ImageFile::readStart(std::uint64_t maxBytes) const {
  const std::uint64_t wanted = std::min(maxBytes, size_);
  std::vector<unsigned char> bytes(static_cast<std::size_t>(wanted));
  if (std::fseek(file_.get(), 0, SEEK_SET) != 0) return std::nullopt;
  if (std::fread(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) return std::nullopt;
  return bytes;
}

}  // namespace sxhost::image
