// Every image format but SGI goes through stb_image: PNG, JPEG, BMP, GIF, PNM (P5, P6) and
// TGA. stb delivers rows top row first; the decoded block holds them bottom row first.
//
// TGA has no signature, and stb's test for it takes many raw binary grids for images (a
// small first elevation and a second one of 2, 3, 10 or 11 make a valid TGA header). So a file
// counts as TGA only when its name ends in a TGA extension; any other file must start with
// the signature of one of the other formats.
//
// stb carries on over a file that ends early, with zeros (or unset bytes) for what is missing.
// The host refuses such a file instead: a decode that wanted bytes beyond the end of the file
// fails, and so does a PNG whose chunks do not all end inside it.
#ifndef SXAPI_IMAGE_STB_DECODER_H
#define SXAPI_IMAGE_STB_DECODER_H

#include <span>
#include <string_view>

#include "image_file.h"
#include "image_layout.h"

namespace sxhost::image {

// True when stb may be asked about the file: its first bytes carry a signature stb reads, or
// its name has a TGA extension (.tga .icb .vda .vst, in any case).
bool stbMayRead(std::span<const unsigned char> start, std::string_view path);

// Reads the header: a kind from 1 to 4 channels and a size within kMaxImageBytes. False for
// anything else.
bool stbReadHeader(const ImageFile& file, ImageHeader& header);

// Decodes the whole file. image is only written on success; on failure nothing stays
// allocated.
bool stbDecode(const ImageFile& file, DecodedImage& image);

}  // namespace sxhost::image

#endif  // SXAPI_IMAGE_STB_DECODER_H
