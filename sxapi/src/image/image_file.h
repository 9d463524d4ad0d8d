// The image file the host reads: an owned stream on a regular file, its size and a bounded
// read from its start. Decoders work on the bytes read, never on the stream's position.
#ifndef SXAPI_IMAGE_IMAGE_FILE_H
#define SXAPI_IMAGE_IMAGE_FILE_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace sxhost::image {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

class ImageFile {
 public:
  // Opens a regular file for reading; nothing when the path is null, missing, unreadable or
  // names a directory, device or pipe (which could block or never end).
  static std::optional<ImageFile> open(const char* path);

  std::FILE* stream() const { return file_.get(); }
  std::uint64_t size() const { return size_; }

  // The first min(maxBytes, size()) bytes; nothing when they cannot all be read (the file
  // shrank, or a read error). May throw std::bad_alloc.
  std::optional<std::vector<unsigned char>> readStart(std::uint64_t maxBytes) const;

 private:
  ImageFile(std::unique_ptr<std::FILE, FileCloser> file, std::uint64_t size)
      : file_(std::move(file)), size_(size) {}

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::uint64_t size_;
};

}  // namespace sxhost::image

#endif  // SXAPI_IMAGE_IMAGE_FILE_H
