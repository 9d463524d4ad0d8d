#include "raster/detect.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "raster/file.h"
#include "sxapilib.h"

namespace relievo {

namespace {

bool hostReadsImage(const std::string& path) {
  SxImageInfo info = nullptr;
  if (sxReadImageInfo(path.c_str(), &info) != 0) return false;
  int kind = 0;
  const bool image =
      sxGetTextureType(info, &kind) == 1 && kind >= SX_IMAGE_INTENSITY && kind <= SX_IMAGE_RGBA;
  sxFreeImageInfo(info);
  return image;
}

// Truncates a finite double into an int, 0 when it has no finite value or is out of range.
int truncatedOrZero(double value) {
  if (!std::isfinite(value)) return 0;
  const double t = std::trunc(value);
  if (t < std::numeric_limits<int>::min() || t > std::numeric_limits<int>::max()) return 0;
  return static_cast<int>(t);
}

}  // namespace

FileKind rasterDetectFileKind(std::string_view path) {
  const std::int32_t size = rasterFileSize(path);
  if (size <= 0) return FileKind::None;
  const std::string name(path);
  if (hostReadsImage(name)) return FileKind::Image;
  const FilePtr file = fileOpenAt(name.c_str(), 0);
  if (!file) return FileKind::None;
  unsigned char bytes[kDetectBytes];
  const std::size_t read =
      std::fread(bytes, 1, static_cast<std::size_t>(std::min(size, kDetectBytes)), file.get());
  for (std::size_t i = 0; i < read; ++i) {
    if (bytes[i] >= 0x80) return FileKind::Binary;
  }
  return FileKind::Text;
}

LargestFit largestFitForFile(const SourceLayout& source) {
  const std::int64_t available = std::int64_t{source.fileSize} - source.headerOffset;
  LargestFit fit{};
  fit.dataSize = truncatedOrZero(static_cast<double>(available) / source.width / source.height);
  const int elementSize = rasterElementSize(source.byteType);
  if (elementSize > 0 && available > 0) {
    fit.dimension = static_cast<int>(std::sqrt(static_cast<double>(available / elementSize)));
  }
  fit.suggestedByteType = byteTypeForSize(fit.dataSize);
  return fit;
}

ByteType byteTypeForSize(int bytesPerValue) {
  if (bytesPerValue <= 1) return ByteType::Int8;
  if (bytesPerValue <= 3) return ByteType::Int16;
  if (bytesPerValue <= 7) return ByteType::Int32;
  return ByteType::Float64;
}

PluralEnding pluralEnding(int size) {
  return size == 1 ? PluralEnding{'.', ' '} : PluralEnding{'s', '.'};
}

std::string binaryLayoutMessage(const SourceLayout& source) {
  const LargestFit fit = largestFitForFile(source);
  char line[256];
  std::string text;
  std::snprintf(line, sizeof line,
                "This file is not large enough to contain %d x %d x %d-byte elements.\n\n",
                source.width, source.height, rasterElementSize(source.byteType));
  text += line;
  if (fit.dataSize > 0) {
    const PluralEnding ending = pluralEnding(fit.dataSize);
    std::snprintf(line, sizeof line, "The largest data size for these dimensions is %d byte%c%c\n",
                  fit.dataSize, ending.first, ending.second);
    text += line;
  }
  std::snprintf(line, sizeof line, "The largest dimensions for this data size is %d x %d.\n",
                fit.dimension, fit.dimension);
  text += line;
  return text;
}

}  // namespace relievo
