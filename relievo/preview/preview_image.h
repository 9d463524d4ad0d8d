// The preview picture of the loaded source, built in three stages:
//   samples   the raster read once, resampled to the preview's pixel size, one byte per
//             pixel: 0 for undefined data and values that are no number, 1 ... 255 for the
//             place in the data range, infinities at its ends (previewSamples, in the order
//             the source delivers its rows);
//   colouring the bytes laid out in display order (row 0 at the bottom, previewShade) and
//             coloured with the two-colour ramp, yellow for undefined data and blue for zero
//             elevation (previewImage, r, g, b);
//   shading   optionally, relief shading lit from the north-west, in place.
// Only the first stage reads the raster; the other two run again after every display change.
// Drawing the picture is the dialog's (dialog/preview_draw.h).
#ifndef RELIEVO_PREVIEW_PREVIEW_IMAGE_H
#define RELIEVO_PREVIEW_PREVIEW_IMAGE_H

#include <cstdint>
#include <span>

#include "ded/mapping.h"
#include "preview/image_buf.h"
#include "raster/source_layout.h"

namespace relievo {

struct Rgb8 {
  std::uint8_t r, g, b;
};

inline constexpr Rgb8 kDefaultTopColor{0, 255, 0};
inline constexpr Rgb8 kDefaultBottomColor{0, 60, 0};
inline constexpr Rgb8 kUndefinedColor{255, 255, 0};
inline constexpr Rgb8 kZeroElevationColor{15, 111, 255};
// Free pixels on each side of the picture, inside the preview control's view.
inline constexpr int kPreviewMargin = 5;

// The picture's buffers and colours: the part of ToolState the preview is made of.
struct PreviewBuffers {
  ImageBuf previewSamples;
  ImageBuf previewShade;
  ImageBuf previewImage;
  std::int32_t shaded;               // "Shaded"
  Rgb8 topColor;                     // the ramp's colour of the highest sample
  Rgb8 bottomColor;                  // and of the lowest
  std::uint16_t backgroundColor[3];  // r, g, b of the view around the picture, 0 ... 255
};

struct PreviewSize {
  int width;
  int height;
};

// The picture's size for data of w x h in a view of the preview control: the data's aspect
// ratio, enlarged by a whole factor or shrunk to fit the smaller side less the margins.
PreviewSize previewSize(PreviewSize view, int w, int h);
// Resamples raster (as source.width x source.height values) into previewSamples at the
// picture's size for view, placing each value in range; a step of height / outputRows per
// output row on progress, so the pass moves it by height. Nothing without a valid raster;
// stops when the buffer cannot be had.
void previewBuildSamples(PreviewBuffers& preview, RasterRec* raster, const SourceLayout& source,
                         const DataRange& range, PreviewSize view, Progress progress);
// Rebuilds previewShade and previewImage from previewSamples (nothing without samples) in the
// layout's order and origin, after selectMapping; shades the result when "Shaded" is on.
void previewBuildImage(PreviewBuffers& preview, const SourceLayout& source,
                       ElevationRanges& ranges);
// The colour of one sample byte; d is topColor - bottomColor per channel.
Rgb8 previewPixelColor(const PreviewBuffers& preview, const ElevationRanges& ranges,
                       const UndefinedData& undefined, int sample, std::span<const float, 3> d);
// Relief shading of previewImage in place, from the bytes of previewShade, for a source
// sourceWidth values wide.
void previewShadeImage(PreviewBuffers& preview, int sourceWidth);
// Frees previewSamples, previewShade and previewImage.
void previewBuffersFree(PreviewBuffers& preview);

}  // namespace relievo

#endif  // RELIEVO_PREVIEW_PREVIEW_IMAGE_H
