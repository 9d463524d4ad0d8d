// Drawing of the preview picture and the colour ramp in the dialog's two GL controls, and
// the clicks and toggles that edit what they show.
//
//   preview 1036   the picture of previewImage, centred on the background colour; a click
//                  asks for a new background colour (a display choice, never saved)
//   ramp 1046      the two-colour ramp, bottom colour at the left edge, top colour at the
//                  right; a click on the left half edits the bottom colour, else the top
//   "Shaded" 1077, "Invert" 1080, "Default" 1078
//
// Draw callbacks only read the state and leave the host's GL state as they found it. The
// picture itself is built by preview/preview_image.h, from here and the loader.
#ifndef RELIEVO_DIALOG_PREVIEW_DRAW_H
#define RELIEVO_DIALOG_PREVIEW_DRAW_H

#include "dialog/tool_state.h"

namespace relievo {

enum PreviewControl : int {
  kPreviewGl = 1036,
  kColorRampGl = 1046,
  kShadedToggle = 1077,
  kInvertToggle = 1080,
  kDefaultColorsButton = 1078,
};

int previewDraw(SxGui control, int id, int reason, void* state, void* drawData);
int rampDraw(SxGui control, int id, int reason, void* state, void* drawData);
int rampMouse(SxGui control, int id, int event, void* state, void* mouseData);
int previewMouse(SxGui control, int id, int event, void* state, void* mouseData);
// "Shaded" and "Invert".
int previewToggle(SxGui control, int id, int reason, void* state, void* callData);
// "Default": back to the default ramp colours.
int rampDefault(SxGui control, int id, int reason, void* state, void* callData);
// Asks the host to redraw the ramp control.
void rampRedraw(ToolState* state);
// Asks the host to redraw the preview control.
void redrawPreview(ToolState* state);
// The preview samples of the loaded raster, at the size of the preview control's view, with
// progress.
void buildSamples(ToolState* state);
// The picture from the samples, in the present orientation, colours and shading.
void buildPicture(ToolState* state);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_PREVIEW_DRAW_H
