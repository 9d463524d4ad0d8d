// The units table: eight units with the number of metres in one unit. A row's id equals its
// position in the "Units" menu; ToolState::units holds the id of the chosen row.
//
// The scales are single-precision values, widened to double where they enter a
// computation. The scale of "Other Units" is module state: the user sets it, it lives as
// long as the plug-in is loaded (unitsReset puts it back at exit) and it is never saved.
#ifndef RELIEVO_DED_UNITS_H
#define RELIEVO_DED_UNITS_H

#include <cstdint>
#include <span>

#include "plugin/tool_state.h"

namespace relievo {

struct UnitsRow {
  std::int32_t id;
  const char* name;
  float scale;  // metres per unit
};

inline constexpr std::int32_t kUnitsMeters = 4;
inline constexpr std::int32_t kUnitsOther = 8;

// The eight rows in menu order.
std::span<const UnitsRow> unitsTable();
// The row with that id, or null.
const UnitsRow* unitsFind(int id);
// The row's scale, or 1.0 when no row has that id.
double unitsScale(int id);
// Stores a new "Other Units" scale when it differs from the present one, then runs
// updateConvertedRange; otherwise nothing happens.
void setOtherUnitsScale(ToolState* state, float scale);
// Puts the "Other Units" scale back to 1.
void unitsReset();

}  // namespace relievo

#endif  // RELIEVO_DED_UNITS_H
