// The preview picture of the loaded source, built in three stages:
//   samples   the raster read once, resampled to the preview's pixel size, one byte per
//             pixel: 0 for undefined data, 1 ... 255 for the place in the data range
//             (previewSamples, in the order the source delivers its rows);
//   colouring the bytes laid out in display order (row 0 at the bottom, previewShade) and
//             coloured with the two-colour ramp, yellow for undefined data and blue for zero
//             elevation (previewImage, r, g, b);
//   shading   optionally, relief shading lit from the north-west, in place.
// Only the first stage reads the raster; the other two run again after every display change.
#ifndef RELIEVO_PREVIEW_PREVIEW_IMAGE_H
#define RELIEVO_PREVIEW_PREVIEW_IMAGE_H

#include <span>

#include "plugin/tool_state.h"

namespace relievo {

inline constexpr Rgb8 kUndefinedColor{255, 255, 0};
inline constexpr Rgb8 kZeroElevationColor{15, 111, 255};
// Free pixels on each side of the picture, inside the preview control's view.
inline constexpr int kPreviewMargin = 5;

struct PreviewSize {
  int width;
  int height;
};

// The picture's size for data of w x h in the preview control's view: the data's aspect
// ratio, enlarged by a whole factor or shrunk to fit the smaller side less the margins.
PreviewSize previewSize(const ToolState* state, int w, int h);
// Resamples the loaded raster into previewSamples (nothing without a loaded raster; stops
// when the buffer cannot be had).
void previewBuildSamples(ToolState* state);
// Rebuilds previewShade and previewImage from previewSamples (nothing without samples),
// shading the result when "Shaded" is on.
void previewBuildImage(ToolState* state);
// The colour of one sample byte; d is topColor - bottomColor per channel.
Rgb8 previewPixelColor(const ToolState* state, int sample, std::span<const float, 3> d);
// Relief shading of previewImage in place, from the bytes of previewShade.
void previewShadeImage(ToolState* state);
// Asks the host to redraw the preview control.
void redrawPreview(ToolState* state);
// Stores new data dimensions; discards the loaded raster when they differ from the present
// ones or exceed those the samples were built for.
void setDimensions(ToolState* state, int w, int h);

}  // namespace relievo

#endif  // RELIEVO_PREVIEW_PREVIEW_IMAGE_H
