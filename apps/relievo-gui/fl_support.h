// Small bridges between the host's data and what FLTK draws.
#ifndef RELIEVO_GUI_FL_SUPPORT_H
#define RELIEVO_GUI_FL_SUPPORT_H

#include <memory>
#include <string>
#include <string_view>

#include "sxhost/resource.h"

class Fl_Image;

namespace relievo::gui {

// The text as a label that FLTK draws literally. FLTK reads '@' as the start of a symbol in
// any label, and '&' as a shortcut mark in the labels of buttons and menu items (shortcuts
// set): both are doubled where FLTK would read them.
std::string literalLabel(std::string_view text, bool shortcuts);

// An image of the pixmap with its own copy of the pixels.
std::unique_ptr<Fl_Image> pixmapImage(const sxhost::Pixmap& pixmap);

}  // namespace relievo::gui

#endif  // RELIEVO_GUI_FL_SUPPORT_H
