// The host's image reading over any file: the header read that answers a texture's kind and
// size, and the whole decode. The file is named as a TGA file, which lets stb_image try every
// format it has (a name without a TGA extension only narrows that to files with a signature);
// SGI files go to the host's own decoder by their magic whatever the name. An image that
// decodes must have the kind and size that its header read announced, since a plug-in sizes
// its buffers by the header.
#include <cstdint>
#include <cstdlib>

#include "image_reader.h"
#include "read_all.h"
#include "scratch_file.h"

using namespace sxhost::image;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const relievo::fuzz::ScratchFile file(".tga");
  file.write({data, size});
  const auto header = readImageHeader(file.path().c_str());
  const auto image = readImage(file.path().c_str());
  if (!image) return 0;
  if (!header || header->kind != image->header.kind || header->width != image->header.width ||
      header->height != image->header.height) {
    std::abort();
  }
  relievo::fuzz::readAll(image->pixels.get(), PixelLayout(image->header).blockSize());
  return 0;
}
