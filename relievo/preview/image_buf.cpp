#include "preview/image_buf.h"

#include "sxapilib.h"

namespace relievo {

int imageBufGrow(ImageBuf* buffer, int w, int h, int bytesPerPixel) {
  const std::int64_t need = std::int64_t{w} * h * bytesPerPixel;
  buffer->width = w;
  buffer->height = h;
  if (w < 0 || h < 0 || bytesPerPixel <= 0 || need > INT32_MAX) {
    sxFree(buffer->pixels);
    buffer->pixels = nullptr;
    buffer->capacity = 0;
    return 0;
  }
  if (need > buffer->capacity || buffer->pixels == nullptr) {
    sxFree(buffer->pixels);
    buffer->pixels = static_cast<unsigned char*>(sxMalloc(static_cast<size_t>(need)));
    buffer->capacity = buffer->pixels != nullptr ? static_cast<std::int32_t>(need) : 0;
  }
  return buffer->pixels != nullptr ? 1 : 0;
}

void imageBufFree(ImageBuf* buffer) {
  sxFree(buffer->pixels);
  buffer->pixels = nullptr;
  buffer->width = 0;
  buffer->height = 0;
  buffer->capacity = 0;
}

}  // namespace relievo
