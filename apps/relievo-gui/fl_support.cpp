#include "fl_support.h"

#include <FL/Fl_RGB_Image.H>

namespace relievo::gui {

std::string literalLabel(std::string_view text, bool shortcuts) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    if (ch == '@' || (shortcuts && ch == '&')) out.push_back(ch);
    out.push_back(ch);
  }
  return out;
}

std::unique_ptr<Fl_Image> pixmapImage(const sxhost::Pixmap& pixmap) {
  constexpr int kRgbaDepth = 4;
  Fl_RGB_Image shared(pixmap.rgba.data(), pixmap.width, pixmap.height, kRgbaDepth);
  return std::unique_ptr<Fl_Image>(shared.copy());
}

}  // namespace relievo::gui
