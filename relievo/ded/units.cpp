#include "ded/units.h"

#include <array>

#include "ded/mapping.h"

namespace relievo {

namespace {

// Kilometres, miles and nautical miles carry the single-precision values the format's
// users have always seen, not the exact conversions.
constexpr std::array<UnitsRow, 8> kInitialUnits{{
    {1, "Inches", 0.0254f},
    {2, "Feet", 0.3048f},
    {3, "Centimeters", 0.01f},
    {4, "Meters", 1.0f},
    {5, "Kilometers", 999.99994f},
    {6, "Miles", 1610.3059f},
    {7, "Nautical Miles", 1853.2449f},
    {8, "Other Units", 1.0f},
}};

std::array<UnitsRow, 8> units = kInitialUnits;

}  // namespace

std::span<const UnitsRow> unitsTable() {
  return units;
}

const UnitsRow* unitsFind(int id) {
  for (const UnitsRow& row : units) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

double unitsScale(int id) {
  const UnitsRow* row = unitsFind(id);
  return row != nullptr ? static_cast<double>(row->scale) : 1.0;
}

void setOtherUnitsScale(ToolState* state, float scale) {
  for (UnitsRow& row : units) {
    if (row.id != kUnitsOther) continue;
    if (row.scale == scale) return;
    row.scale = scale;
    updateConvertedRange(state);
    return;
  }
}

void unitsReset() {
  units = kInitialUnits;
}

}  // namespace relievo
