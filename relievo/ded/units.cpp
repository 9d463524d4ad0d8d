#include "ded/units.h"

#include <array>

namespace relievo {

namespace {

// Kilometres, miles and nautical miles carry the single-precision values the format's
// users have always seen, not the exact conversions.
constexpr std::array<UnitsRow, 8> kUnits{{
    {1, "Inches", 0.0254f},
    {2, "Feet", 0.3048f},
    {3, "Centimeters", 0.01f},
    {4, "Meters", 1.0f},
    {5, "Kilometers", 999.99994f},
    {6, "Miles", 1610.3059f},
    {7, "Nautical Miles", 1853.2449f},
    {kUnitsOther, "Other Units", kDefaultOtherUnitsScale},
}};

}  // namespace

std::span<const UnitsRow> unitsTable() {
  return kUnits;
}

const UnitsRow* unitsFind(int id) {
  for (const UnitsRow& row : kUnits) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

double unitsScale(const ElevationRanges& ranges) {
  if (ranges.units == kUnitsOther) return static_cast<double>(ranges.otherUnitsScale);
  const UnitsRow* row = unitsFind(ranges.units);
  return row != nullptr ? static_cast<double>(row->scale) : 1.0;
}

bool setOtherUnitsScale(ElevationRanges& ranges, float scale) {
  if (ranges.otherUnitsScale == scale) return false;
  ranges.otherUnitsScale = scale;
  return true;
}

}  // namespace relievo
