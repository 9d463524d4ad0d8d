#include "image_reader.h"

#include <new>
#include <vector>

#include "image_file.h"
#include "sgi_decoder.h"
#include "stb_decoder.h"

namespace sxhost::image {

namespace {

// Enough of the start of a file to hold an SGI header and every signature stb looks for.
constexpr std::size_t kStartBytes = kSgiHeaderSize;

// An open file with its first bytes, which tell which decoder it goes to.
struct Opened {
  ImageFile file;
  std::vector<unsigned char> start;

  bool isSgi() const { return sgiHasMagic(start); }
};

std::optional<Opened> openImage(const char* path, std::string* problem) {
  auto file = ImageFile::open(path, problem);
  if (!file) return std::nullopt;
  auto start = file->readStart(kStartBytes, problem);
  if (!start) return std::nullopt;
  return Opened{std::move(*file), std::move(*start)};
}

std::optional<ImageHeader> headerOf(const char* path, std::string* problem) {
  const auto opened = openImage(path, problem);
  if (!opened) return std::nullopt;
  if (opened->isSgi()) {
    SgiHeader header;
    if (sgiReadHeader(opened->start, header) != SgiStatus::kOk) return std::nullopt;
    return header.image;
  }
  ImageHeader header;
  if (!stbMayRead(opened->start, path) || !stbReadHeader(opened->file, header)) {
    return std::nullopt;
  }
  return header;
}

std::optional<DecodedImage> decode(const char* path, std::string* problem) {
  const auto opened = openImage(path, problem);
  if (!opened) return std::nullopt;
  DecodedImage image;
  if (opened->isSgi()) {
    SgiHeader header;
    if (sgiReadHeader(opened->start, header) != SgiStatus::kOk) return std::nullopt;
    // Only the bytes the decoder needs are read: a verbatim file may carry anything after.
    const auto bytes = opened->file.readStart(sgiBytesNeeded(header, opened->file.size()), problem);
    if (!bytes || sgiDecode(*bytes, image) != SgiStatus::kOk) return std::nullopt;
    return image;
  }
  if (!stbMayRead(opened->start, path) || !stbDecode(opened->file, image)) return std::nullopt;
  return image;
}

}  // namespace

std::optional<ImageHeader> readImageHeader(const char* path, std::string* problem) {
  try {
    return headerOf(path, problem);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<DecodedImage> readImage(const char* path, std::string* problem) {
  try {
    return decode(path, problem);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace sxhost::image
