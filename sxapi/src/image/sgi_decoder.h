// SGI images (.rgb .rgba .bw .int .inta .sgi, or any file that starts with the magic 474):
// a 512-byte big-endian header, then one plane per channel, each plane's rows bottom row
// first, stored either verbatim or run-length encoded behind a table of row offsets and
// lengths. Only 8-bit channels, 1 to 4 of them, are decoded.
#ifndef SXAPI_IMAGE_SGI_DECODER_H
#define SXAPI_IMAGE_SGI_DECODER_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "image_layout.h"

namespace sxhost::image {

inline constexpr std::size_t kSgiHeaderSize = 512;

enum class SgiStatus {
  kOk,
  kNotSgi,       // the file does not start with the magic
  kTruncated,    // the file ends inside the header, the offset tables or the verbatim data
  kUnsupported,  // 2-byte channels, more than 4 channels, a colour map, an unknown storage
  kBadSize,      // a zero side, or width x height x channels beyond kMaxImageBytes
  kBadRleTable,  // a run-length row starts or ends outside the file
  kBadRleRow,    // a run passes the end of its row, or a row ends before it is full
  kOutOfMemory,  // the host refused the pixel block
};

struct SgiHeader {
  ImageHeader image;
  int channels = 0;
  bool runLength = false;
};

// True when the bytes start with the SGI magic.
bool sgiHasMagic(std::span<const unsigned char> start);

// Parses and checks the header from the first bytes of a file (at least kSgiHeaderSize of
// them, else kTruncated). Only the header is looked at.
SgiStatus sgiReadHeader(std::span<const unsigned char> start, SgiHeader& header);

// How many bytes from the start of a file of fileSize bytes decoding must see: the end of
// the verbatim planes (which may lie beyond the file), or the whole file for run-length
// storage, whose rows may sit anywhere in it.
std::uint64_t sgiBytesNeeded(const SgiHeader& header, std::uint64_t fileSize);

// Decodes a whole file held in memory into a block laid out as PixelLayout says. image is
// only written on kOk; on any other status nothing stays allocated.
SgiStatus sgiDecode(std::span<const unsigned char> file, DecodedImage& image);

}  // namespace sxhost::image

#endif  // SXAPI_IMAGE_SGI_DECODER_H
