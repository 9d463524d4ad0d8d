#include "dialog/zscale_fields.h"

#include <cmath>
#include <cstdio>

#include "ded/units.h"
#include "dialog/source_loader.h"

namespace relievo {

namespace {

void showDedValue(SxGui control, double value) {
  sxTextSetInteger(control, static_cast<int>(std::trunc(value)), "%d");
}

// A DED range entry: ignored when unreadable or unchanged. A fractal source keeps its water
// surface at 0 metres and its dry floor above it.
void takeDedEntry(ToolState* state, SxGui control, int id) {
  double value = 0.0;
  if (sxTextGetDouble(control, &value) != 0) return;
  const ElevationRanges& ranges = state->ranges;
  const bool isMin = id == kDedMinField;
  if (value == (isMin ? ranges.dedMin : ranges.dedMax)) return;
  const bool fractal = state->source.sourceKind == SourceKind::Fractal;
  if (isMin) {
    if (fractal && state->fractal.fractalWater != 0) {
      value = 0.0;
    } else if (fractal && value == 0.0) {
      value = 1.0;
    }
    applyDedRange(state, value, ranges.dedMax);
  } else {
    applyDedRange(state, ranges.dedMin, value);
  }
  if (fractal) {
    state->fractal.fractalMinimum = ranges.dedMin;
    state->fractal.fractalMaximum = ranges.dedMax;
  }
}

}  // namespace

int zScaleFieldCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  const ElevationRanges& ranges = state->ranges;
  if (reason == SX_REASON_REFRESH) {
    switch (id) {
      case kRawMinField:
        sxTextSetDouble(control, ranges.data.dataMin, nullptr);
        break;
      case kRawMaxField:
        sxTextSetDouble(control, ranges.data.dataMax, nullptr);
        break;
      case kMetersMinField:
        sxTextSetDouble(control, ranges.dataMinMeters, nullptr);
        break;
      case kMetersMaxField:
        sxTextSetDouble(control, ranges.dataMaxMeters, nullptr);
        break;
      case kDedMinField:
        showDedValue(control, ranges.dedMin);
        break;
      case kDedMaxField:
        showDedValue(control, ranges.dedMax);
        break;
      default:
        break;
    }
  } else if (reason == SX_REASON_ACTIVATE && (id == kDedMinField || id == kDedMaxField)) {
    takeDedEntry(state, control, id);
    sxRefreshDialog(state->ui.dialog);
  }
  return 0;
}

int rawDataLabelCallback(SxGui control, int, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason != SX_REASON_REFRESH) return 0;
  const UnitsRow* row = unitsFind(state->ranges.units);
  char text[128];
  std::snprintf(text, sizeof text, "Raw Data (%s)", row != nullptr ? row->name : "Meters");
  sxTextSetString(control, text);
  return 0;
}

int unitsScaleCallback(SxGui control, int, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_REFRESH) {
    sxTextSetFloat(control, static_cast<float>(unitsScale(state->ranges)), nullptr);
    sxSetEnabled(control, state->raster != nullptr ? 1 : 0);
    sxTextSetEditable(control, state->ranges.units == kUnitsOther ? 1 : 0);
  } else if (reason == SX_REASON_ACTIVATE) {
    float scale = 0.0f;
    // A scale of no metres per unit, or a negative one, is no unit either.
    if (sxTextGetFloat(control, &scale) != 0 || !std::isfinite(scale) || !(scale > 0.0f)) {
      sxMessageDialog(state->ui.dialog, "Error", "Please enter a valid unit scale",
                      SX_MESSAGE_ERROR);
      return 0;
    }
    if (setOtherUnitsScale(state->ranges, scale)) convertRange(state);
    sxRefreshDialog(state->ui.dialog);
    sxTextSetString(state->ui.statusText, "");
  }
  return 0;
}

int roundToggleCallback(SxGui control, int, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_REFRESH) {
    sxToggleButtonSetState(control, state->ranges.roundPosts);
  } else if (reason == SX_REASON_ACTIVATE) {
    state->ranges.roundPosts = sxToggleButtonGetState(control) != 0 ? 1 : 0;
  }
  return 0;
}

}  // namespace relievo
