// Image files for the tests of sources: PNGs written by stb_image_write and SGI files written
// from their planes, both as bytes for ScratchDir::write.
#ifndef RELIEVO_RASTER_TEST_IMAGES_H
#define RELIEVO_RASTER_TEST_IMAGES_H

#include <vector>

namespace relievo::testing {

using Bytes = std::vector<unsigned char>;

// A PNG of width x height pixels of `channels` (1 to 4) interleaved bytes each, rows top row
// first as PNG stores them. Empty when stb refuses.
Bytes pngImage(int width, int height, int channels, const Bytes& pixels);

// A verbatim 8-bit SGI file of `channels` (1 to 4) planes, channel after channel, each plane
// bottom row first as SGI stores it.
Bytes sgiImage(int width, int height, int channels, const Bytes& planes);

}  // namespace relievo::testing

#endif  // RELIEVO_RASTER_TEST_IMAGES_H
