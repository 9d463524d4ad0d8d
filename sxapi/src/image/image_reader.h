// Reading an image file of any kind the host knows: SGI by its magic number, whatever its
// name; every other format through stb_image. Neither call throws. When the file cannot be
// opened or read, `problem` (when given) receives its path and the system's reason; a file
// that is no image the host reads leaves it as it was.
#ifndef SXAPI_IMAGE_IMAGE_READER_H
#define SXAPI_IMAGE_IMAGE_READER_H

#include <optional>
#include <string>

#include "image_layout.h"

namespace sxhost::image {

// The kind and size from the file's header alone; nothing when the file is missing, not a
// regular file, not an image the host reads, or declares a size it refuses.
std::optional<ImageHeader> readImageHeader(const char* path, std::string* problem = nullptr);

// The whole image, rows bottom row first; nothing on any failure (then nothing stays
// allocated).
std::optional<DecodedImage> readImage(const char* path, std::string* problem = nullptr);

}  // namespace sxhost::image

#endif  // SXAPI_IMAGE_IMAGE_READER_H
