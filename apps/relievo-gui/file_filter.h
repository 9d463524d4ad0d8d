// The pattern of a file prompt ("PromptFilePattern") as the filter of FLTK's file chooser.
//
// Prompts give descriptions and patterns separated by '|', the groups often separated by
// "||": "Raster Files|*.*||Text Files|*.txt". FLTK wants one "description<TAB>pattern" per
// line. "*.*" means every file, which FLTK writes "*"; several patterns of one group
// ("*.rgb;*.png") become FLTK's alternatives ("*.{rgb,png}") when each is "*.<ext>".
#ifndef RELIEVO_GUI_FILE_FILTER_H
#define RELIEVO_GUI_FILE_FILTER_H

#include <string>
#include <string_view>

namespace relievo::gui {

std::string fltkFilter(std::string_view promptPattern);

}  // namespace relievo::gui

#endif  // RELIEVO_GUI_FILE_FILTER_H
