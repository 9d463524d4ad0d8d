#include "dialog/source_inspect.h"

#include <cstring>
#include <string>
#include <vector>

#include "ded/units.h"
#include "dialog/geo_panel.h"

namespace relievo {

namespace {

void listBands(const ToolState* state, const std::vector<std::string>& labels) {
  SxGui list = sxFindGuiById(state->ui.dialog, kBandList);
  if (list == nullptr) return;
  sxListDeleteAllItems(list);
  for (const std::string& label : labels)
    sxListAppendItem(list, label.c_str());
}

void applyFacts(ToolState* state, const SourceFacts& facts) {
  UndefinedData& undefined = state->source.undefined;
  undefined.hasNullData = facts.undefined.hasNullData;
  if (facts.undefined.hasNullData != 0) undefined.nullValue = facts.undefined.nullValue;
  if (facts.unit == SourceUnit::Metres) state->ranges.units = kUnitsMeters;
  if (facts.unit == SourceUnit::Feet) state->ranges.units = kUnitsFeet;
  if (facts.placed == 0) return;
  Extents& extents = state->extents;
  extents.latStart = static_cast<float>(facts.swLat);
  extents.longStart = static_cast<float>(facts.swLon);
  extents.latEnd = static_cast<float>(facts.neLat);
  extents.longEnd = static_cast<float>(facts.neLon);
  extents.latPosts = static_cast<float>(state->source.height);
  extents.longPosts = static_cast<float>(state->source.width);
  spacingRule(extents);
}

}  // namespace

bool inspectSource(ToolState* state, const SourceKindRow& row) {
  if (state->source.fileName[0] == '\0') return true;
  SourceFacts facts{};
  std::vector<std::string> labels;
  if (!row.inspect(state->source, facts, labels)) {
    state->facts = {};
    listBands(state, {});
    return false;
  }
  listBands(state, labels);
  const bool same =
      std::strcmp(facts.file, state->facts.file) == 0 && facts.band == state->facts.band;
  if (!same) applyFacts(state, facts);
  state->facts = facts;
  return true;
}

}  // namespace relievo
