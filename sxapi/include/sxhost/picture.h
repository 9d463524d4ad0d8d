// sxhost::Rgb: a picture that a GL control drew, as the host read it back.
//
// Rows are stored bottom row first, as OpenGL draws them: at(0, 0) is the bottom-left
// pixel, matching the one-unit-per-pixel projection with its origin at the bottom-left that
// draw callbacks get. writePng flips the rows so that the file shows the picture upright.
#ifndef SXHOST_PICTURE_H
#define SXHOST_PICTURE_H

#include <cstdint>
#include <string>
#include <vector>

namespace sxhost {

struct Pixel {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

struct [[gnu::visibility("default")]] Rgb {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes, bottom row first

  bool empty() const {
    return width == 0 || height == 0;
  }
  // The pixel at x from the left, y from the bottom. Throws sxhost::Error outside.
  Pixel at(int x, int y) const;
  // Writes a PNG file; throws sxhost::Error naming the path when it cannot.
  void writePng(const std::string& path) const;
};

}  // namespace sxhost

#endif  // SXHOST_PICTURE_H
