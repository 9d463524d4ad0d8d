#include "image_reader.h"

#include <new>

#include "image_file.h"
#include "sgi_decoder.h"
#include "stb_decoder.h"

namespace sxhost::image {

namespace {

// Enough of the start of a file to hold an SGI header and every signature stb looks for.
constexpr std::size_t kStartBytes = kSgiHeaderSize;

std::optional<ImageHeader> headerOf(const char* path) {
  const auto file = ImageFile::open(path);
  if (!file) return std::nullopt;
  const auto start = file->readStart(kStartBytes);
  if (!start) return std::nullopt;
  if (sgiHasMagic(*start)) {
    SgiHeader header;
    if (sgiReadHeader(*start, header) != SgiStatus::kOk) return std::nullopt;
    return header.image;
  }
  ImageHeader header;
  if (!stbMayRead(*start, path) || !stbReadHeader(*file, header)) return std::nullopt;
  return header;
}

std::optional<DecodedImage> decode(const char* path) {
  const auto file = ImageFile::open(path);
  if (!file) return std::nullopt;
  const auto start = file->readStart(kStartBytes);
  if (!start) return std::nullopt;
  DecodedImage image;
  if (sgiHasMagic(*start)) {
    SgiHeader header;
    if (sgiReadHeader(*start, header) != SgiStatus::kOk) return std::nullopt;
    const auto bytes = file->readStart(sgiBytesNeeded(header, file->size()));
    if (!bytes || sgiDecode(*bytes, image) != SgiStatus::kOk) return std::nullopt;
    return image;
  }
  if (!stbMayRead(*start, path) || !stbDecode(*file, image)) return std::nullopt;
  return image;
}

}  // namespace

std::optional<ImageHeader> readImageHeader(const char* path) {
  try {
    return headerOf(path);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<DecodedImage> readImage(const char* path) {
  try {
    return decode(path);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace sxhost::image
