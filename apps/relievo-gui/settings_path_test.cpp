#include "settings_path.h"

#include <gtest/gtest.h>

namespace relievo::gui {
namespace {

TEST(SettingsPath, TheUsersConfigurationFolder) {
  const struct {
    const char* xdg;
    const char* home;
    const char* path;  // "" for none
  } cases[] = {
      {"/cfg", "/home/me", "/cfg/relievo/settings.json"},
      {nullptr, "/home/me", "/home/me/.config/relievo/settings.json"},
      {"", "/home/me", "/home/me/.config/relievo/settings.json"},
      {"relative/cfg", "/home/me", "/home/me/.config/relievo/settings.json"},
      {nullptr, nullptr, ""},
      {nullptr, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(settingsPath(c.xdg, c.home).value_or(""), c.path)
        << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
  }
}

}  // namespace
}  // namespace relievo::gui
