// Image sources: elevations from one 8-bit component of an image that the host decodes.
//
// The last decoded image is kept in a one-entry cache (path, size, kind, pixels) that the
// caller holds (ToolState::imageCache), so that choosing another component of the same file,
// or loading it again, does not decode it again. Which components the dialog offers is decided from
// the file name's extension only; what can actually be read depends on the decoded image's kind.
#ifndef RELIEVO_RASTER_IMAGE_READER_H
#define RELIEVO_RASTER_IMAGE_READER_H

#include <string_view>

#include <cstdint>

#include "raster/source_layout.h"

namespace relievo {

// The cache's record, from sxMalloc; a null pointer is an empty cache.
struct ImageCache {
  char path[kPathSize];
  std::int32_t width;
  std::int32_t height;
  std::int32_t kind;
  unsigned char* pixels;  // from the host's sxReadImage; owned
};

// An in-memory record of the image's chosen component (luminance for "Intensity" of a colour
// image), or null: the image cannot be decoded (valuesRead stays 0), the component does not
// exist in it (valuesRead is width x height), or memory is refused. width and height receive
// the image's size. The image comes from *cache when it holds this path, otherwise it is
// decoded into the cache (allocated on first use). The progress pair is accepted and not
// called.
RasterRec* rasterOpenImage(ImageCache** cache, std::string_view path, ImageComponent component,
                           int* width, int* height, ProgressCallback progress,
                           void* progressContext, int* valuesRead);
// 1 when the cache holds an image decoded from exactly this path.
int rasterIsCachedImage(const ImageCache* cache, std::string_view path);
// Releases the cached pixels and the cache itself; *cache becomes null.
void rasterFreeImageCache(ImageCache** cache);
// Recomputes componentMask from the extension of fileName ("int", "inta", "rgb", "rgba",
// compared in small letters) and puts imageComponent back to "Intensity" when it is not
// offered.
void componentsOnOffer(SourceLayout& source);

}  // namespace relievo

#endif  // RELIEVO_RASTER_IMAGE_READER_H
