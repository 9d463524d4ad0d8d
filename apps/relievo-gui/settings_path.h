// Where the windowed host keeps the tools' settings: the user's configuration folder, as the
// desktop's base directory rules place it. $XDG_CONFIG_HOME/relievo/settings.json when that
// variable holds an absolute path, else $HOME/.config/relievo/settings.json; nothing when
// neither is set. The file has the format of `relievo --settings` (sxhost/preferences.h).
#ifndef RELIEVO_GUI_SETTINGS_PATH_H
#define RELIEVO_GUI_SETTINGS_PATH_H

#include <filesystem>
#include <optional>

namespace relievo::gui {

// The arguments are the variables' values, null when unset.
std::optional<std::filesystem::path> settingsPath(const char* xdgConfigHome, const char* home);

}  // namespace relievo::gui

#endif  // RELIEVO_GUI_SETTINGS_PATH_H
