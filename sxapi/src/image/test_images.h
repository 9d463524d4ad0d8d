// Encoded images for the tests: stb_image_write's encoders writing into memory (they fail
// only on bad arguments or memory), and JPEG files damaged on purpose. Pixels are given top
// row first, as stb writes them.
#ifndef SXAPI_IMAGE_TEST_IMAGES_H
#define SXAPI_IMAGE_TEST_IMAGES_H

#include <vector>

namespace sxhost::image::testing {

using Bytes = std::vector<unsigned char>;

enum class TgaStorage { kRaw, kRunLength };

Bytes encodePng(int width, int height, int channels, const Bytes& topFirst);
Bytes encodeTga(int width, int height, int channels, const Bytes& topFirst, TgaStorage storage);
Bytes encodeJpeg(int width, int height, int channels, const Bytes& topFirst, int quality);

// A Huffman table segment (marker, length, class, 16 code counts) whose counts add up to
// more than 256 codes.
Bytes oversizedHuffmanSegment();

// The JPEG with the code counts of its first Huffman table raised beyond 256 codes.
Bytes withOversizedHuffmanTable(Bytes jpeg);

}  // namespace sxhost::image::testing

#endif  // SXAPI_IMAGE_TEST_IMAGES_H
