// Source loading: turns the settings of ToolState into a loaded source. The row of the
// source kind table says whether a source is small enough to load by itself, checks the file
// against the kind and opens the RasterRec; this file asks the questions and shows the
// messages, has the data range found and builds the previews, through the progress display.
#ifndef RELIEVO_DIALOG_SOURCE_LOADER_H
#define RELIEVO_DIALOG_SOURCE_LOADER_H

#include "dialog/tool_state.h"

namespace relievo {

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
// The extents' post counts for the layout, as the DED file will hold them: a column-major
// source that is not square has `height` records of `width` posts.
void takePostCounts(ToolState* state);
// Forces a full scan after a change of the undefined-data settings, with progress, and
// rebuilds the preview.
void rescanDataRange(ToolState* state);
// The metres and DED ranges derived again from the data range and the unit; the picture is
// rebuilt and redrawn when the DED range's change calls for it.
void convertRange(ToolState* state);
// setDedRange, with the picture rebuilt and redrawn when it calls for it.
void applyDedRange(ToolState* state, double minimum, double maximum);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_SOURCE_LOADER_H
