// The responder of the windowed host: the plug-in's messages and prompts as a desktop shows
// them, each a modal FLTK dialog.
//
//   messages       fl_alert for errors and warnings, fl_message for information, fl_choice
//                  with "No" and "Yes" for questions; the message's title on the window
//   file prompts   FLTK's native file chooser with the prompt's title, filter
//                  ("PromptFilePattern") and folder or proposed name; a save prompt asks
//                  before it replaces a file
//   colour prompt  FLTK's colour chooser, starting from the prompt's colour
#ifndef RELIEVO_GUI_DESKTOP_RESPONDER_H
#define RELIEVO_GUI_DESKTOP_RESPONDER_H

#include "sxhost/responder.h"

namespace relievo::gui {

class DesktopResponder : public sxhost::Responder {
 public:
  bool message(const sxhost::Message& message) override;
  std::optional<std::vector<std::string>> promptFile(const sxhost::FilePrompt& prompt) override;
  std::optional<sxhost::Colour> promptColour(const sxhost::ColourPrompt& prompt) override;
};

// The title of the colour chooser's window.
inline constexpr char kColourTitle[] = "Color";

}  // namespace relievo::gui

#endif  // RELIEVO_GUI_DESKTOP_RESPONDER_H
