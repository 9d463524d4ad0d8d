#include "raster/test_images.h"

#include <algorithm>
#include <cstddef>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace relievo::testing {

namespace {

constexpr std::size_t kSgiHeaderSize = 512;
constexpr unsigned kSgiMagic = 474;
constexpr unsigned kSgiPlanes = 3;  // dimension: an image of `channels` planes
constexpr unsigned kSgiMaxValue = 255;

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<Bytes*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

void put16(Bytes& bytes, std::size_t at, unsigned value) {
  bytes[at] = static_cast<unsigned char>(value >> 8);
  bytes[at + 1] = static_cast<unsigned char>(value);
}

void put32(Bytes& bytes, std::size_t at, unsigned value) {
  put16(bytes, at, value >> 16);
  put16(bytes, at + 2, value & 0xFFFF);
}

}  // namespace

Bytes pngImage(int width, int height, int channels, const Bytes& pixels) {
  Bytes out;
  if (stbi_write_png_to_func(appendBytes, &out, width, height, channels, pixels.data(),
                             width * channels) == 0) {
    out.clear();
  }
  return out;
}

Bytes sgiImage(int width, int height, int channels, const Bytes& planes) {
  Bytes out(kSgiHeaderSize + planes.size(), 0);
  put16(out, 0, kSgiMagic);
  out[2] = 0;  // verbatim
  out[3] = 1;  // one byte per channel
  put16(out, 4, kSgiPlanes);
  put16(out, 6, static_cast<unsigned>(width));
  put16(out, 8, static_cast<unsigned>(height));
  put16(out, 10, static_cast<unsigned>(channels));
  put32(out, 12, 0);
  put32(out, 16, kSgiMaxValue);
  std::copy(planes.begin(), planes.end(), out.begin() + kSgiHeaderSize);
  return out;
}

}  // namespace relievo::testing
