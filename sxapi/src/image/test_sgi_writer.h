// SGI files written by the tests: well-formed ones from pixel planes, and the pieces needed to
// build broken ones (a header with any field values, run-length rows assembled as given).
#ifndef SXAPI_IMAGE_TEST_SGI_WRITER_H
#define SXAPI_IMAGE_TEST_SGI_WRITER_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sxhost::image::testing {

// Every header field the decoder looks at; the defaults describe a 1 x 1 grey verbatim image.
struct SgiFields {
  unsigned magic = 474;
  unsigned storage = 0;  // 0 verbatim, 1 run-length
  unsigned bytesPerChannel = 1;
  unsigned dimension = 3;
  unsigned width = 1;
  unsigned height = 1;
  unsigned channels = 1;
  std::uint32_t colorMap = 0;
};

// The 512-byte header.
std::vector<unsigned char> sgiHeader(const SgiFields& fields);

// A picture as SGI stores it: channel after channel, each bottom row first, so the byte of
// channel c, row y, column x is planes[(c * height + y) * width + x].
struct SgiPicture {
  int width = 0;
  int height = 0;
  int channels = 0;
  std::vector<unsigned char> planes;
};

// A complete verbatim file.
std::vector<unsigned char> sgiVerbatim(const SgiPicture& picture);

// A complete run-length file, each row a repeat run of its first byte, a literal run of the
// rest and a closing 0 (so 2 ... 128 pixels wide).
std::vector<unsigned char> sgiRunLength(const SgiPicture& picture);

// A run-length file whose rows (one per channel and row, channel by channel) are the bytes
// given, stored one after the other behind the offset and length tables.
std::vector<unsigned char> sgiFromRows(const SgiFields& fields,
                                       const std::vector<std::vector<unsigned char>>& rows);

void putBigEndian32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value);

}  // namespace sxhost::image::testing

#endif  // SXAPI_IMAGE_TEST_SGI_WRITER_H
