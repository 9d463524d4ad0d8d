#include "sxhost/picture.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include "sxhost/error.h"
#include "sxhost/preferences.h"

namespace sxhost {

Pixel Rgb::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) {
    throw Error("pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                ") is outside the picture of " + std::to_string(width) + " x " +
                std::to_string(height));
  }
  const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                         static_cast<std::size_t>(x)) *
                        3;
  return Pixel{pixels[i], pixels[i + 1], pixels[i + 2]};
}

void Rgb::writePng(const std::string& path) const {
  if (width < 0 || height < 0 || empty() ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
    throw Error(path + ": there is no picture to write");
  }
  // PNG rows run top to bottom; ours bottom to top. A negative stride from the last row
  // writes them upright without a copy.
  const int stride = width * 3;
  const std::uint8_t* top = pixels.data() + static_cast<std::size_t>(height - 1) * stride;
  std::string png;
  const auto append = [](void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
  };
  if (stbi_write_png_to_func(append, &png, width, height, 3, top, -stride) == 0) {
    throw Error(path + ": the picture cannot be encoded as PNG");
  }
  // Written whole or not at all, with the system's reason when not.
  writeFileAtomically(path, png);
}

}  // namespace sxhost
