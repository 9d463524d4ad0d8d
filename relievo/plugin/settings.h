// Settings persistence: the user's choices as the host's per-tool preferences, loaded at
// every show of the dialog and saved at every close. One table (settings.cpp) names every
// preference key with its type, field, default and the range checked at load; both the load
// and the save walk it, the save in table order.
//
// "Fractal Size" is loaded but never saved, so a stored value always comes back unchanged;
// the image component, background colour, "Invert", "Shaded" and the DED range are never
// saved at all. The delimiter comes back as it was saved: "DelimiterType" is the selected
// row and "Delimiter" the "Other" row's character.
#ifndef RELIEVO_PLUGIN_SETTINGS_H
#define RELIEVO_PLUGIN_SETTINGS_H

#include "dialog/tool_state.h"

namespace relievo {

// Loads every setting under state->pluginTool, with defaults and the load-time checks, then
// gives a fractal source without a width or height the generator's edge (roundFractalSize of
// the fractal size) and applies the spacing rule and the replace-value rule. The background colour goes back to
// black, and the stored file name goes through the file name rule.
void settingsLoad(ToolState* state);
// Saves the settings that persist.
void settingsSave(ToolState* state);

}  // namespace relievo

#endif  // RELIEVO_PLUGIN_SETTINGS_H
