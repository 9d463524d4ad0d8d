#include "settings_path.h"

namespace relievo::gui {

std::optional<std::filesystem::path> settingsPath(const char* xdgConfigHome, const char* home) {
  namespace fs = std::filesystem;
  fs::path folder;
  // A relative value is to be ignored, as if it were unset.
  if (xdgConfigHome != nullptr && fs::path(xdgConfigHome).is_absolute()) {
    folder = xdgConfigHome;
  } else if (home != nullptr && *home != '\0') {
    folder = fs::path(home) / ".config";
  } else {
    return std::nullopt;
  }
  return folder / "relievo" / "settings.json";
}

}  // namespace relievo::gui
