// Reading an image file of any kind the host knows: SGI by its magic number, whatever its
// name; every other format through stb_image. Neither call throws.
#ifndef SXAPI_IMAGE_IMAGE_READER_H
#define SXAPI_IMAGE_IMAGE_READER_H

#include <optional>

#include "image_layout.h"

namespace sxhost::image {

// The kind and size from the file's header alone; nothing when the file is missing, not a
// regular file, not an image the host reads, or declares a size it refuses.
std::optional<ImageHeader> readImageHeader(const char* path);

// The whole image, rows bottom row first; nothing on any failure (then nothing stays
// allocated).
std::optional<DecodedImage> readImage(const char* path);

}  // namespace sxhost::image

#endif  // SXAPI_IMAGE_IMAGE_READER_H
