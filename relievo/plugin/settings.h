// Settings persistence: the user's choices as the host's per-tool preferences, loaded at
// every show of the dialog and saved at every close, plus the rules that derive settings
// from one another (the file name rule and the replace-value rule; the spacing rule is in
// plugin/spacing.h, the delimiter table in plugin/delimiters.h).
//
// "Fractal Size" is loaded but never saved, so a stored value always comes back unchanged;
// the image component, background colour, "Invert", "Shaded" and the DED range are never
// saved at all. The delimiter comes back as it was saved: "DelimiterType" is the selected
// row and "Delimiter" the "Other" row's character.
#ifndef RELIEVO_PLUGIN_SETTINGS_H
#define RELIEVO_PLUGIN_SETTINGS_H

#include <string_view>

#include "plugin/tool_state.h"

namespace relievo {

// Loads every setting under state->pluginTool, with defaults and the load-time checks.
void settingsLoad(ToolState* state);
// Saves the settings that persist.
void settingsSave(ToolState* state);

// Takes a new source file name. An empty name only discards the raster (and reports a
// change); the present name changes nothing; a new one derives sourceDir, fileSize and
// dedFileName and discards the raster. Returns whether anything changed.
bool fileNameRule(ToolState* state, std::string_view name);
// Under "DED NULL" the replacement is -32768; otherwise v is taken when above -32768.
// Returns whether replaceNullValue changed.
bool replaceValueRule(ToolState* state, int v);

}  // namespace relievo

#endif  // RELIEVO_PLUGIN_SETTINGS_H
