#include "ded/zscale_fields.h"

#include <cmath>
#include <cstdio>

#include "ded/mapping.h"
#include "ded/units.h"
#include "plugin/tool_state.h"

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
  const bool isMin = id == kDedMinField;
  if (value == (isMin ? state->dedMin : state->dedMax)) return;
  const bool fractal = state->sourceKind == SourceKind::Fractal;
  if (isMin) {
    if (fractal && state->fractalWater != 0) {
      value = 0.0;
    } else if (fractal && value == 0.0) {
      value = 1.0;
    }
    setDedRange(state, value, state->dedMax);
  } else {
    setDedRange(state, state->dedMin, value);
  }
  if (fractal) {
    state->fractalMinimum = state->dedMin;
    state->fractalMaximum = state->dedMax;
  }
}

}  // namespace

int zScaleFieldCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_REFRESH) {
    switch (id) {
      case kRawMinField:
        sxTextSetDouble(control, state->dataMin, nullptr);
        break;
      case kRawMaxField:
        sxTextSetDouble(control, state->dataMax, nullptr);
        break;
      case kMetersMinField:
        sxTextSetDouble(control, state->dataMinMeters, nullptr);
        break;
      case kMetersMaxField:
        sxTextSetDouble(control, state->dataMaxMeters, nullptr);
        break;
      case kDedMinField:
        showDedValue(control, state->dedMin);
        break;
      case kDedMaxField:
        showDedValue(control, state->dedMax);
        break;
      default:
        break;
    }
  } else if (reason == SX_REASON_ACTIVATE && (id == kDedMinField || id == kDedMaxField)) {
    takeDedEntry(state, control, id);
    sxRefreshDialog(state->dialog);
  }
  return 0;
}

int rawDataLabelCallback(SxGui control, int, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason != SX_REASON_REFRESH) return 0;
  const UnitsRow* row = unitsFind(state->units);
  char text[128];
  std::snprintf(text, sizeof text, "Raw Data (%s)", row != nullptr ? row->name : "Meters");
  sxTextSetString(control, text);
  return 0;
}

int unitsScaleCallback(SxGui control, int, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_REFRESH) {
    sxTextSetFloat(control, static_cast<float>(unitsScale(state->units)), nullptr);
    sxSetEnabled(control, state->raster != nullptr ? 1 : 0);
    sxTextSetEditable(control, state->units == kUnitsOther ? 1 : 0);
  } else if (reason == SX_REASON_ACTIVATE) {
    float scale = 0.0f;
    // A scale of no metres per unit, or a negative one, is no unit either.
    if (sxTextGetFloat(control, &scale) != 0 || !std::isfinite(scale) || !(scale > 0.0f)) {
      sxMessageDialog(state->dialog, "Error", "Please enter a valid unit scale", SX_MESSAGE_ERROR);
      return 0;
    }
    setOtherUnitsScale(state, scale);
    sxRefreshDialog(state->dialog);
    sxTextSetString(state->statusText, "");
  }
  return 0;
}

}  // namespace relievo
