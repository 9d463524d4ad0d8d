// ToolState: everything the converter knows between two host callbacks, composed of the
// records of the subsystems that own them:
//
//   source   SourceLayout     raster/source_layout.h   the source's kind, file and layout
//   facts    SourceFacts      raster/source_facts.h    what the source file last read states
//   raster   RasterRec*       raster/raster.h          the loaded source, owned
//   imageCache ImageCache*    raster/image_reader.h    the last decoded image
//   fractal  FractalParams    fractal/fractal_source.h the generator's settings and cache
//   ranges   ElevationRanges  ded/mapping.h            data and DED ranges, mapping, units
//   extents  Extents          ded/extents.h            corners, spacings, post counts
//   preview  PreviewBuffers   preview/preview_image.h  the picture's buffers and colours
//   scan     ScanFileState    here                     the Scan File dialog's working values
//   ui       DialogHandles    here                     dialogs, controls, progress, cursor
//
// Exactly one record exists per run of the host. It is allocated with sxMalloc (zero-filled:
// every field not set by toolStateAllocate starts at 0, null or an empty string), created at
// the first tool start, handed to every dialog and control callback as user data, and
// released when the plug-in exits. All code runs on the host's user-interface thread, so the
// record has no lock. It is a plain record on purpose: the host's C callbacks carry it as a
// void pointer and its lifetime is the host's, not a C++ scope's.
#ifndef RELIEVO_DIALOG_TOOL_STATE_H
#define RELIEVO_DIALOG_TOOL_STATE_H

#include <cstdint>

#include "ded/extents.h"
#include "ded/mapping.h"
#include "fractal/fractal_source.h"
#include "preview/preview_image.h"
#include "raster/image_reader.h"
#include "raster/source_facts.h"
#include "raster/source_layout.h"
#include "sxapilib.h"

namespace relievo {

// The host's handles of the dialogs and the controls the converter writes to, and the state
// of the progress display.
struct DialogHandles {
  SxDialog dialog;              // the main dialog; set again by its init event
  SxDialog scanDialog;          // the Scan File dialog, null until first opened
  SxGui statusText;             // control 5
  SxGui progressBar;            // control 1068
  SxGui previewGl;              // control 1036
  SxGui colorRampGl;            // control 1046
  double progressAccum;         // running progress value
  std::int32_t busyCursor;      // the wait cursor set by progress begin is showing
  std::int32_t sliderDragging;  // a fractal slider is being dragged
  std::int32_t displayDms;      // angles shown as degrees/minutes/seconds, else decimal
};

// The Scan File dialog's working copies while it is open, and where its listed lines start.
struct ScanFileState {
  std::int32_t scanLineOffsets[41];  // 40 used; all 41 cleared together
  std::int32_t scanHeaderOffset;
  std::int32_t scanWidth;
  std::int32_t scanHeight;
};

struct ToolState {
  SxTool pluginTool;  // first argument of every preference call
  SxResource resource;
  DialogHandles ui;
  ScanFileState scan;
  SourceLayout source;
  SourceFacts facts;  // of the file and band whose facts were last applied to the settings
  RasterRec* raster;  // owned; replaced only after discardRaster
  ImageCache* imageCache;
  FractalParams fractal;
  ElevationRanges ranges;
  Extents extents;
  PreviewBuffers preview;
};

// A new record with the creation values (tool, resource, ramp colours, image component and
// mask, band, the "Other" delimiter and unit scale); null when memory is refused.
ToolState* toolStateAllocate(SxTool tool, SxResource resource);
// Discards the raster and frees the preview buffers, the caches and the record.
void toolStateFree(ToolState* state);

// The discard step: when a raster is loaded, free it and the three preview buffers and set
// raster to null; otherwise nothing happens. The only way raster becomes null again.
void discardRaster(ToolState* state);
// Frees the fractal and image caches.
void releaseCaches(ToolState* state);
// Stores new data dimensions; discards the loaded raster when they differ from the present
// ones or exceed those the preview samples were built for.
void setDimensions(ToolState* state, int w, int h);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_TOOL_STATE_H
