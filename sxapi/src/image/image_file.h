// The image file the host reads: an owned stream on a regular file, its size and a bounded
// read from its start. Decoders work on the bytes read, never on the stream's position.
#ifndef SXAPI_IMAGE_IMAGE_FILE_H
#define SXAPI_IMAGE_IMAGE_FILE_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sxhost::image {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

class ImageFile {
 public:
  // Opens a regular file for reading; nothing when the path is null, missing, unreadable or
  // names a directory, device or pipe (which could block or never end). Then, when `problem`
  // is given and the path was, it receives the path and the reason.
  static std::optional<ImageFile> open(const char* path, std::string* problem = nullptr);

  std::FILE* stream() const { return file_.get(); }
  std::uint64_t size() const { return size_; }

  // The first min(maxBytes, size()) bytes; nothing when they cannot all be read (the file
  // shrank, or a read error), the path and the reason then going to `problem` when given.
  // May throw std::bad_alloc.
  std::optional<std::vector<unsigned char>> readStart(std::uint64_t maxBytes,
                                                      std::string* problem = nullptr) const;

 private:
  ImageFile(std::unique_ptr<std::FILE, FileCloser> file, std::uint64_t size, std::string path)
      : file_(std::move(file)), size_(size), path_(std::move(path)) {}

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::uint64_t size_;
  std::string path_;
};

}  // namespace sxhost::image

#endif  // SXAPI_IMAGE_IMAGE_FILE_H
