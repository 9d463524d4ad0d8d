// What a source file states about itself beyond its values, read before it loads: which value
// marks its undefined cells, the unit of its values, where its posts lie on the globe, and in
// words how it is placed. Geo rasters state these; the layouts of the other kinds are the
// user's. A plain record, kept in ToolState.
#ifndef RELIEVO_RASTER_SOURCE_FACTS_H
#define RELIEVO_RASTER_SOURCE_FACTS_H

#include <cstdint>

#include "raster/source_layout.h"

namespace relievo {

enum class SourceUnit : std::int32_t { Unknown, Metres, Feet };

inline constexpr int kPlacementTextSize = 256;

struct SourceFacts {
  char file[kPathSize];  // the file and band they were read from; "" when none was read
  std::int32_t band;
  std::int32_t bandCount;
  UndefinedData undefined;  // hasNullData 0: the file marks no cell undefined
  SourceUnit unit;
  std::int32_t placed;                // the corners below are known
  double swLat, swLon, neLat, neLon;  // the corner posts (cell centres), WGS 84 degrees
  char placement[kPlacementTextSize];
};

}  // namespace relievo

#endif  // RELIEVO_RASTER_SOURCE_FACTS_H
