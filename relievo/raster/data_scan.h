// The data range scan: the smallest and largest defined value of the loaded source.
//
// A value is undefined when "Has Undefined Data" is on and the value, truncated toward zero,
// equals nullValue. Values that are not finite numbers (a float grid may hold them) are
// never part of the range either. The range found is stored in the raster record, so a
// second scan of the same source costs nothing until rescanDataRange clears it.
#ifndef RELIEVO_RASTER_DATA_SCAN_H
#define RELIEVO_RASTER_DATA_SCAN_H

#include "plugin/tool_state.h"

namespace relievo {

// 1 when hasNullData is 1 and value truncated toward zero equals nullValue.
int isUndefinedValue(const ToolState* state, double value);
// Sets dataMin, dataMax and hasNullsFound from the loaded raster: from the record's stored
// range when it has one (hasNullsFound then unchanged), otherwise by reading every row.
// When no defined value is found the three fields keep their values and nothing is stored.
void scanDataRange(ToolState* state);
// Forces a full scan after a change of the undefined-data settings, with progress, and
// rebuilds the preview.
void rescanDataRange(ToolState* state);

}  // namespace relievo

#endif  // RELIEVO_RASTER_DATA_SCAN_H
