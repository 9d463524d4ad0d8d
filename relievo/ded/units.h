// The units table: eight units with the number of metres in one unit. A row's id equals its
// position in the "Units" menu; ElevationRanges::units holds the id of the chosen row.
//
// The scales are single-precision values, widened to double where they enter a
// computation. The scale of "Other Units" is the user's (ElevationRanges::otherUnitsScale):
// it lives as long as the state record and is never saved.
#ifndef RELIEVO_DED_UNITS_H
#define RELIEVO_DED_UNITS_H

#include <cstdint>
#include <span>

#include "ded/mapping.h"

namespace relievo {

struct UnitsRow {
  std::int32_t id;
  const char* name;
  float scale;  // metres per unit; the "Other Units" row's is the record's
};

inline constexpr std::int32_t kUnitsFeet = 2;
inline constexpr std::int32_t kUnitsMeters = 4;
inline constexpr std::int32_t kUnitsOther = 8;
// The "Other Units" scale until the user sets one.
inline constexpr float kDefaultOtherUnitsScale = 1.0f;

// The eight rows in menu order.
std::span<const UnitsRow> unitsTable();
// The row with that id, or null.
const UnitsRow* unitsFind(int id);
// The scale of the chosen unit (otherUnitsScale for "Other Units"), or 1.0 when no row has
// that id.
double unitsScale(const ElevationRanges& ranges);
// Stores a new "Other Units" scale. True when it differs from the present one: the metres
// range must then be derived again (updateConvertedRange).
bool setOtherUnitsScale(ElevationRanges& ranges, float scale);

}  // namespace relievo

#endif  // RELIEVO_DED_UNITS_H
