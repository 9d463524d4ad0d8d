// ImageBuf: a growable preview buffer in host memory. It never shrinks; width and height
// follow every grow.
#ifndef RELIEVO_PREVIEW_IMAGE_BUF_H
#define RELIEVO_PREVIEW_IMAGE_BUF_H

#include <cstdint>

namespace relievo {

struct ImageBuf {
  std::int32_t width;
  std::int32_t height;
  std::int32_t sourceWidth;   // previewSamples only: the source's width when they were made
  std::int32_t sourceHeight;  // likewise for height
  std::int32_t capacity;      // bytes held
  unsigned char* pixels;      // owned block from sxMalloc, or null
};

// Makes pixels hold w x h pixels of bytesPerPixel bytes: a larger need frees the old block
// and allocates a new one. width and height become w and h in every case. Returns 1 when
// the buffer has a block large enough, 0 when the size overflows or memory is refused (the
// buffer then holds no block).
int imageBufGrow(ImageBuf* buffer, int w, int h, int bytesPerPixel);
// Releases the block; zeroes pixels, width, height and capacity, keeps sourceWidth/Height.
void imageBufFree(ImageBuf* buffer);

}  // namespace relievo

#endif  // RELIEVO_PREVIEW_IMAGE_BUF_H
