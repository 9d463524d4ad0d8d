#include "desktop_responder.h"

#include <FL/Fl_Color_Chooser.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>

#include <algorithm>
#include <filesystem>

#include "file_filter.h"
#include "fl_support.h"
#include "sxapilib.h"

namespace relievo::gui {

bool DesktopResponder::message(const sxhost::Message& m) {
  fl_message_title(m.title.c_str());
  const std::string text = literalLabel(m.text, false);
  switch (m.kind) {
    case SX_MESSAGE_YES_NO:
      return fl_choice("%s", "No", "Yes", nullptr, text.c_str()) == 1;
    case SX_MESSAGE_INFORMATION:
      fl_message("%s", text.c_str());
      return false;
    default:
      fl_alert("%s", text.c_str());
      return false;
  }
}

std::optional<std::vector<std::string>> DesktopResponder::promptFile(
    const sxhost::FilePrompt& prompt) {
  Fl_Native_File_Chooser chooser;
  const bool save = prompt.mode == SX_PROMPT_SAVE;
  chooser.type(save ? Fl_Native_File_Chooser::BROWSE_SAVE_FILE
                    : Fl_Native_File_Chooser::BROWSE_FILE);
  if (save) chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM);
  if (const std::string* title = prompt.text("PromptFileTitle")) chooser.title(title->c_str());
  std::string filter;
  if (const std::string* pattern = prompt.text("PromptFilePattern")) {
    filter = fltkFilter(*pattern);
    chooser.filter(filter.c_str());
  }
  std::string folder, name;
  if (const std::string* full = prompt.text("PromptFileFullFilename")) {
    const std::filesystem::path path(*full);
    folder = path.parent_path().string();
    name = path.filename().string();
  } else if (const std::string* directory = prompt.text("PromptFileDirectory")) {
    folder = *directory;
  }
  if (!folder.empty()) chooser.directory(folder.c_str());
  if (!name.empty()) chooser.preset_file(name.c_str());

  const int shown = chooser.show();
  if (shown < 0) fl_alert("%s", literalLabel(chooser.errmsg(), false).c_str());
  if (shown != 0 || chooser.filename() == nullptr || *chooser.filename() == '\0') {
    return std::nullopt;
  }
  return std::vector<std::string>{chooser.filename()};
}

std::optional<sxhost::Colour> DesktopResponder::promptColour(const sxhost::ColourPrompt& prompt) {
  // The plug-in passes components of 0 ... 255 held in 16 bits.
  const auto byte = [](std::uint16_t v) {
    return static_cast<uchar>(std::min<std::uint16_t>(v, 255));
  };
  uchar r = byte(prompt.r), g = byte(prompt.g), b = byte(prompt.b);
  constexpr int kByteMode = 1;  // the chooser shows 0 ... 255 per component
  if (fl_color_chooser(kColourTitle, r, g, b, kByteMode) == 0) return std::nullopt;
  return sxhost::Colour{r, g, b};
}

}  // namespace relievo::gui
