#include "raster/file.h"

#include <fcntl.h>

#include <filesystem>
#include <system_error>

namespace relievo {

FilePtr fileOpenAt(const char* path, std::int64_t offset) {
  if (offset < 0) return nullptr;
  FilePtr file(std::fopen(path, "rb"));
  if (file == nullptr) return nullptr;
  if (std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0) return nullptr;
  // Only advice: the kernel may then read further ahead of a reading that moves on in order.
  ::posix_fadvise(fileno(file.get()), static_cast<off_t>(offset), 0, POSIX_FADV_SEQUENTIAL);
  return file;
}

std::uint64_t fileSizeBytes(std::string_view path) {
  std::error_code error;
  const std::filesystem::path name(path);
  if (!std::filesystem::is_regular_file(name, error)) return 0;
  const std::uintmax_t size = std::filesystem::file_size(name, error);
  return error ? 0 : static_cast<std::uint64_t>(size);
}

}  // namespace relievo
