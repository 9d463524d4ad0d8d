// The progress display: the one way long operations (loading, scanning, previewing,
// generating) report to the user, through the main dialog's progress bar (control 1068),
// its status line (control 5) and the wait cursor.
//
// Updates are not shown while a fractal slider is dragged (sourceKind is Fractal and
// sliderDragging is set): the map is regenerated at every move and the display stays still.
// The core's passes report through progressSteps, which advances this display.
#ifndef RELIEVO_DIALOG_PROGRESS_H
#define RELIEVO_DIALOG_PROGRESS_H

#include "dialog/tool_state.h"

namespace relievo {

// Starts an operation: the wait cursor (unless a slider is dragged), the bar's range
// 0 ... maximum, the bar at 0 and text in the status line.
void progressBegin(ToolState* state, const char* text, double maximum);
// Moves the bar to value (unless value is -1) and shows text (unless it is null).
void progressUpdate(ToolState* state, int value, const char* text);
// Adds amount to the running progress and shows its integer part.
void progressAdvance(ToolState* state, double amount);
// The Progress a pass of the core reports to: each step is a progressAdvance.
Progress progressSteps(ToolState* state);
// The readers' progress callback: advances the display by one step; never cancels.
int readerProgress(int unused, int valuesRead, void* state);
// Ends an operation: the bar back to 0, text left in the status line, the normal cursor
// back when progressBegin set the wait cursor.
void progressEnd(ToolState* state, const char* text);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_PROGRESS_H
