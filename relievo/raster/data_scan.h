// The data range scan: the smallest and largest defined value of the loaded source.
//
// A value is undefined when "Has Undefined Data" is on and the value, truncated toward zero,
// equals nullValue. Values that are not finite numbers (a float grid may hold them) are
// never part of the range either. The range found is stored in the raster record, so a
// second scan of the same source costs nothing until rasterClearMinMax clears it.
#ifndef RELIEVO_RASTER_DATA_SCAN_H
#define RELIEVO_RASTER_DATA_SCAN_H

#include <cstdint>

#include "raster/source_layout.h"

namespace relievo {

// The raw data range of the loaded source.
struct DataRange {
  double dataMin;
  double dataMax;
  std::int32_t hasNullsFound;  // the scan met undefined values
};

// 1 when hasNullData is 1 and value truncated toward zero equals nullValue.
int isUndefinedValue(const UndefinedData& undefined, double value);
// Sets range from raster, read as source.width x source.height values: from the record's
// stored range when it has one (hasNullsFound then unchanged), otherwise by reading every
// row, with one step of 1 (a row) on progress per row delivered. When no defined value is
// found range keeps its values and nothing is stored.
void scanDataRange(RasterRec* raster, const SourceLayout& source, DataRange& range,
                   Progress progress);

}  // namespace relievo

#endif  // RELIEVO_RASTER_DATA_SCAN_H
