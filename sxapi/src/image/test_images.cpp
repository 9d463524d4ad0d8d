#include "test_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace sxhost::image::testing {

namespace {

void append(void* context, void* data, int size) {
  auto* out = static_cast<Bytes*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kHuffmanTables = 0xC4;
constexpr int kCodeCounts = 16;
constexpr unsigned char kLargestCount = 0xFF;

}  // namespace

Bytes encodePng(int width, int height, int channels, const Bytes& topFirst) {
  Bytes out;
  stbi_write_png_to_func(append, &out, width, height, channels, topFirst.data(), width * channels);
  return out;
}

Bytes encodeTga(int width, int height, int channels, const Bytes& topFirst, TgaStorage storage) {
  Bytes out;
  stbi_write_tga_with_rle = storage == TgaStorage::kRunLength ? 1 : 0;
  stbi_write_tga_to_func(append, &out, width, height, channels, topFirst.data());
  return out;
}

Bytes encodeJpeg(int width, int height, int channels, const Bytes& topFirst, int quality) {
  Bytes out;
  stbi_write_jpg_to_func(append, &out, width, height, channels, topFirst.data(), quality);
  return out;
}

Bytes oversizedHuffmanSegment() {
  const Bytes head{kMarker, kHuffmanTables, 0, 2 + 1 + kCodeCounts, 0x00};
  Bytes segment(head.size() + kCodeCounts, kLargestCount);
  std::copy(head.begin(), head.end(), segment.begin());
  return segment;
}

Bytes withOversizedHuffmanTable(Bytes jpeg) {
  const unsigned char marker[] = {kMarker, kHuffmanTables};
  const auto table = std::search(jpeg.begin(), jpeg.end(), std::begin(marker), std::end(marker));
  EXPECT_NE(table, jpeg.end());
  // The counts follow the marker, the 2-byte length and the class byte.
  constexpr std::ptrdiff_t kCountsAt = 5;
  if (jpeg.end() - table > kCountsAt + kCodeCounts) {
    std::fill_n(table + kCountsAt, kCodeCounts, kLargestCount);
  }
  return jpeg;
}

}  // namespace sxhost::image::testing
