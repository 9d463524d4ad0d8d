// Callbacks of the "Z Scale" and "Units" fields of the main dialog:
//   1038, 1039  raw minimum and maximum (read-only)
//   1042, 1045  the same range converted to metres (read-only)
//   1040, 1041  the DED file range minimum and maximum, in whole metres
//   1071        the "Raw Data (<unit>)" label
//   1023        the units scale, editable for "Other Units"
//   1113        "Round to nearest": posts rounded instead of truncated
// Each takes (control, id, reason, ToolState, call data) and returns 0.
#ifndef RELIEVO_DIALOG_ZSCALE_FIELDS_H
#define RELIEVO_DIALOG_ZSCALE_FIELDS_H

#include "sxapilib.h"

namespace relievo {

enum ZScaleControl : int {
  kRawMinField = 1038,
  kRawMaxField = 1039,
  kDedMinField = 1040,
  kDedMaxField = 1041,
  kMetersMinField = 1042,
  kMetersMaxField = 1045,
  kRawDataLabel = 1071,
  kUnitsScaleField = 1023,
  kRoundToggle = 1113,
};

// 1038, 1039, 1040, 1041, 1042 and 1045.
int zScaleFieldCallback(SxGui control, int id, int reason, void* state, void* callData);
// 1071.
int rawDataLabelCallback(SxGui control, int id, int reason, void* state, void* callData);
// 1023.
int unitsScaleCallback(SxGui control, int id, int reason, void* state, void* callData);
// 1113.
int roundToggleCallback(SxGui control, int id, int reason, void* state, void* callData);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_ZSCALE_FIELDS_H
