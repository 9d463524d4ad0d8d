#include "image_layout.h"

#include <cstring>

#include "sxapilib.h"

namespace sxhost::image {

int imageKindForChannels(int channels) {
  switch (channels) {
    case 1:
      return SX_IMAGE_INTENSITY;
    case 2:
      return SX_IMAGE_INTENSITY_ALPHA;
    case 3:
      return SX_IMAGE_RGB;
    case 4:
      return SX_IMAGE_RGBA;
    default:
      return 0;
  }
}

std::optional<std::size_t> imageBlockSize(long long width, long long height, int channels) {
  if (width <= 0 || height <= 0 || channels <= 0) return std::nullopt;
  std::size_t pixels = 0;
  std::size_t bytes = 0;
  if (__builtin_mul_overflow(static_cast<unsigned long long>(width),
                             static_cast<unsigned long long>(height), &pixels) ||
      __builtin_mul_overflow(pixels, static_cast<std::size_t>(channels), &bytes) ||
      bytes > kMaxImageBytes) {
    return std::nullopt;
  }
  return bytes;
}

void SxFreeDeleter::operator()(unsigned char* block) const {
  sxFree(block);
}

namespace {

int channelsOfKind(int kind) {
  switch (kind) {
    case SX_IMAGE_INTENSITY:
      return 1;
    case SX_IMAGE_INTENSITY_ALPHA:
      return 2;
    case SX_IMAGE_RGB:
      return 3;
    default:
      return 4;
  }
}

}  // namespace

PixelLayout::PixelLayout(const ImageHeader& header)
    : header_(header), channels_(channelsOfKind(header.kind)) {}

bool PixelLayout::interleaved() const {
  return header_.kind == SX_IMAGE_RGBA;
}

std::size_t PixelLayout::blockSize() const {
  return static_cast<std::size_t>(header_.width) * static_cast<std::size_t>(header_.height) *
         static_cast<std::size_t>(channels_);
}

PixelBlock PixelLayout::allocate() const {
  return PixelBlock(static_cast<unsigned char*>(sxMalloc(blockSize())));
}

void PixelLayout::putChannelRow(unsigned char* block, int channel, int row,
                                std::span<const unsigned char> values) const {
  const auto width = static_cast<std::size_t>(header_.width);
  const auto rowIndex = static_cast<std::size_t>(row);
  if (!interleaved()) {
    const std::size_t plane = width * static_cast<std::size_t>(header_.height);
    std::memcpy(block + static_cast<std::size_t>(channel) * plane + rowIndex * width, values.data(),
                width);
    return;
  }
  const auto step = static_cast<std::size_t>(channels_);
  unsigned char* out = block + rowIndex * width * step + static_cast<std::size_t>(channel);
  for (const unsigned char value : values) {
    *out = value;
    out += step;
  }
}

void PixelLayout::putPixelRow(unsigned char* block, int row,
                              std::span<const unsigned char> pixels) const {
  const auto width = static_cast<std::size_t>(header_.width);
  const auto step = static_cast<std::size_t>(channels_);
  const auto rowIndex = static_cast<std::size_t>(row);
  if (interleaved()) {
    std::memcpy(block + rowIndex * width * step, pixels.data(), width * step);
    return;
  }
  const std::size_t plane = width * static_cast<std::size_t>(header_.height);
  for (std::size_t channel = 0; channel < step; ++channel) {
    unsigned char* out = block + channel * plane + rowIndex * width;
    const unsigned char* in = pixels.data() + channel;
    for (std::size_t x = 0; x < width; ++x, in += step)
      out[x] = *in;
  }
}

}  // namespace sxhost::image
