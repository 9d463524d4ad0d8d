// The "Geographic Extents" group: south-west and north-east corners, post spacings and post
// counts, shown in degrees/minutes/seconds or decimal degrees. Editing a corner recomputes
// both spacings; editing a spacing moves both north-east coordinates (ded/extents.h).
#ifndef RELIEVO_DIALOG_EXTENTS_FIELDS_H
#define RELIEVO_DIALOG_EXTENTS_FIELDS_H

#include "sxapilib.h"

namespace relievo {

enum ExtentsControl : int {
  kSwLatField = 1049,
  kSwLonField = 1050,
  kNeLatField = 1051,
  kNeLonField = 1052,
  kLatSpacingField = 1053,
  kLonSpacingField = 1054,
  kLatPostsField = 1055,
  kLonPostsField = 1056,
  kDmsToggle = 1081,
  kDecimalToggle = 1082,
};

// The callback of 1049 ... 1056 (refresh and activate); tells the fields apart by id.
int extentsFieldCallback(SxGui control, int id, int reason, void* state, void* callData);
// The callback of the two display toggles 1081 and 1082, which act as radio buttons.
int angleDisplayCallback(SxGui control, int id, int reason, void* state, void* callData);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_EXTENTS_FIELDS_H
