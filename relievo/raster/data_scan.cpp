#include "raster/data_scan.h"

#include <cmath>

namespace relievo {

namespace {

struct ScanContext {
  bool found;
  bool undefinedSeen;
  double minimum;
  double maximum;
  UndefinedData undefined;
  Progress progress;
};

int scanRow(const double* values, int count, int, void* context) {
  auto* scan = static_cast<ScanContext*>(context);
  for (int i = 0; i < count; ++i) {
    const double v = values[i];
    if (isUndefinedValue(scan->undefined, v)) {
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
  scan->progress.step(1.0);
  return 1;
}

}  // namespace

int isUndefinedValue(const UndefinedData& undefined, double value) {
  // Comparing in double keeps values beyond the integer range well defined.
  return undefined.hasNullData == 1 && std::trunc(value) == static_cast<double>(undefined.nullValue)
             ? 1
             : 0;
}

void scanDataRange(RasterRec* raster, const SourceLayout& source, DataRange& range,
                   Progress progress) {
  if (rasterGetMinMax(raster, &range.dataMin, &range.dataMax)) return;
  ScanContext scan{false, false, 0.0, 0.0, source.undefined, progress};
  rasterForEachRow(raster, source.width, source.height, scanRow, &scan);
  if (!scan.found) return;
  range.dataMin = scan.minimum;
  range.dataMax = scan.maximum;
  range.hasNullsFound = scan.undefinedSeen ? 1 : 0;
  rasterSetMinMax(raster, scan.minimum, scan.maximum);
}

}  // namespace relievo
