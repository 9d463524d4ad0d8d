// The host's decoded-image block: kinds, size limit and where each pixel component goes.
//
// A decoded image is one block from sxMalloc of width x height x channels bytes, rows bottom
// row first. Kinds 2, 3 and 4 (grey, grey+alpha, RGB) hold one plane per channel, each plane
// width x height bytes; kind 5 (RGBA) holds one plane of interleaved r, g, b, a groups.
// Decoders fill the block through PixelLayout, so neither needs to know the other's order.
#ifndef SXAPI_IMAGE_IMAGE_LAYOUT_H
#define SXAPI_IMAGE_IMAGE_LAYOUT_H

#include <cstddef>
#include <memory>
#include <optional>
#include <span>

namespace sxhost::image {

// Largest block the host decodes into. Anything larger is a hostile or corrupt header, not an
// elevation source: the plug-in would also need four bytes per pixel on top of it.
inline constexpr std::size_t kMaxImageBytes = std::size_t{1} << 30;

// The SxImageKind for a number of 8-bit channels (1 to 4), or 0 for any other count.
int imageKindForChannels(int channels);

// width x height x channels when every factor is positive, the product does not overflow and
// it stays within kMaxImageBytes; otherwise nothing.
std::optional<std::size_t> imageBlockSize(long long width, long long height, int channels);

// What a header tells: enough to answer sxGetTextureType/Width/Height.
struct ImageHeader {
  int kind = 0;
  int width = 0;
  int height = 0;
};

struct SxFreeDeleter {
  void operator()(unsigned char* block) const;
};
using PixelBlock = std::unique_ptr<unsigned char[], SxFreeDeleter>;

// A fully decoded image; pixels is laid out as PixelLayout describes for its kind.
struct DecodedImage {
  ImageHeader header;
  PixelBlock pixels;
};

class PixelLayout {
 public:
  // The header must have passed imageBlockSize (a valid kind and size).
  explicit PixelLayout(const ImageHeader& header);

  int channels() const { return channels_; }
  std::size_t blockSize() const;

  // A zero-filled block of blockSize() bytes from sxMalloc, or null when refused.
  PixelBlock allocate() const;

  // Stores channel `channel` of every pixel of row `row` (0 = bottom): values[x] belongs to
  // pixel x. values holds exactly width bytes.
  void putChannelRow(unsigned char* block, int channel, int row,
                     std::span<const unsigned char> values) const;

  // Stores row `row` (0 = bottom) from interleaved pixels of channels() bytes each. pixels
  // holds exactly width x channels() bytes.
  void putPixelRow(unsigned char* block, int row, std::span<const unsigned char> pixels) const;

 private:
  bool interleaved() const;

  ImageHeader header_;
  int channels_;
};

}  // namespace sxhost::image

#endif  // SXAPI_IMAGE_IMAGE_LAYOUT_H
