#include "raster/data_scan.h"

#include <cmath>

#include "dialog/progress.h"
#include "preview/preview_image.h"

namespace relievo {

namespace {

struct ScanContext {
  bool found;
  bool undefinedSeen;
  double minimum;
  double maximum;
  ToolState* state;
};

int scanRow(const double* values, int count, int, void* context) {
  auto* scan = static_cast<ScanContext*>(context);
  for (int i = 0; i < count; ++i) {
    const double v = values[i];
    if (isUndefinedValue(scan->state, v)) {
      scan->undefinedSeen = true;
      continue;
    }
    if (!std::isfinite(v)) continue;
    if (!scan->found) {
      scan->found = true;
      scan->minimum = v;
      scan->maximum = v;
    } else if (v < scan->minimum) {
      scan->minimum = v;
    } else if (v > scan->maximum) {
      scan->maximum = v;
    }
  }
  progressAdvance(scan->state, 1.0);
  return 1;
}

}  // namespace

int isUndefinedValue(const ToolState* state, double value) {
  // Comparing in double keeps values beyond the integer range well defined.
  return state->hasNullData == 1 && std::trunc(value) == static_cast<double>(state->nullValue) ? 1
                                                                                               : 0;
}

void scanDataRange(ToolState* state) {
  if (rasterGetMinMax(state->raster, &state->dataMin, &state->dataMax)) return;
  ScanContext scan{false, false, 0.0, 0.0, state};
  rasterForEachRow(state->raster, state->width, state->height, scanRow, &scan);
  if (!scan.found) return;
  state->dataMin = scan.minimum;
  state->dataMax = scan.maximum;
  state->hasNullsFound = scan.undefinedSeen ? 1 : 0;
  rasterSetMinMax(state->raster, scan.minimum, scan.maximum);
}

void rescanDataRange(ToolState* state) {
  rasterClearMinMax(state->raster);
  progressBegin(state, "Scanning data for Min/Max values...", state->height * 2.0);
  scanDataRange(state);
  previewBuildSamples(state);
  previewBuildImage(state);
  redrawPreview(state);
  progressEnd(state, "Done");
}

}  // namespace relievo
