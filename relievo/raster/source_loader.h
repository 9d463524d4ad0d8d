// Source loading: turns the settings of ToolState into a loaded source. It decides whether a
// source is small enough to load by itself, checks the file against the chosen kind, makes
// the RasterRec, has its data range found, and builds the previews. Reports go through the
// progress display and message dialogs.
#ifndef RELIEVO_RASTER_SOURCE_LOADER_H
#define RELIEVO_RASTER_SOURCE_LOADER_H

#include <cstdint>

#include "plugin/tool_state.h"

namespace relievo {

// Automatic-load limits on width x height, by source kind.
inline constexpr std::int64_t kAutoLoadFractal = 4096 * 4096;
inline constexpr std::int64_t kAutoLoadImage = 1024 * 1024;
inline constexpr std::int64_t kAutoLoadFile = 512 * 512;
// The fractal map's edge while a slider is dragged, so that redraws stay interactive.
inline constexpr int kDragFractalSize = 128;

// Discards the raster, then loads when the source may load by itself; otherwise only
// redraws the (empty) preview, and "Preview Data" offers the load.
void autoLoad(ToolState* state);
// Clears the status line (unless a fractal slider is being dragged), loads, and on success
// applies the spacing rule and redraws.
void loadAction(ToolState* state);
// Loads the source into raster (which must be null). 1 on success, 0 otherwise, with the
// question, message or status text that says why.
int loadSource(ToolState* state);
// The readers' progress callback: advances the display by one step; never cancels.
int loaderProgress(int unused, int valuesRead, void* state);

}  // namespace relievo

#endif  // RELIEVO_RASTER_SOURCE_LOADER_H
