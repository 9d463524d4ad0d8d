// The host's SGI decoder over any bytes held in memory. A decoded image must be what its
// header announced, in a block of exactly width x height x channels bytes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "read_all.h"
#include "sgi_decoder.h"

using namespace sxhost::image;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const unsigned char> file(data, size);
  SgiHeader header;
  const SgiStatus headerStatus = sgiReadHeader(file, header);
  DecodedImage image;
  if (sgiDecode(file, image) != SgiStatus::kOk) return 0;
  if (headerStatus != SgiStatus::kOk || image.header.kind != header.image.kind ||
      image.header.width != header.image.width || image.header.height != header.image.height) {
    std::abort();
  }
  relievo::fuzz::readAll(image.pixels.get(), PixelLayout(image.header).blockSize());
  return 0;
}
