// Callbacks of the fractal controls: the seed buttons, the four sliders and "Water".
#include "dialog/main_dialog.h"
#include "dialog/source_loader.h"

namespace relievo {

namespace {

int flag(bool value) {
  return value ? 1 : 0;
}

double* scaleField(FractalParams& fractal, int id) {
  switch (id) {
    case kNoiseScale:
      return &fractal.fractalNoise;
    case kValleysScale:
      return &fractal.fractalValleys;
    case kPlateausScale:
      return &fractal.fractalPlateaus;
    case kWaterLevelScale:
      return &fractal.fractalWaterLevel;
    default:
      return nullptr;
  }
}

int labelOfScale(int id) {
  switch (id) {
    case kNoiseScale:
      return kNoiseLabel;
    case kValleysScale:
      return kValleysLabel;
    case kPlateausScale:
      return kPlateausLabel;
    default:
      return kLevelLabel;
  }
}

// While the user drags, every move reloads a small map without progress; the release
// (drag state 2) reloads at full size and refreshes the dialog.
void slide(ToolState* state, SxGui control, double* field, const void* callData) {
  const int drag = callData != nullptr ? static_cast<const SxScaleCallData*>(callData)->dragState
                                       : SX_SCALE_FINAL;
  state->ui.sliderDragging = flag(drag == SX_SCALE_DRAG_START || drag == SX_SCALE_DRAGGING);
  const bool final = drag == SX_SCALE_FINAL;
  double value = 0.0;
  if (sxScaleGetValue(control, &value) != 0) return;
  if (final || value != *field) {
    *field = value;
    autoLoad(state);
  }
  if (final) sxRefreshDialog(state->ui.dialog);
}

void takeWater(ToolState* state, SxGui control) {
  FractalParams& fractal = state->fractal;
  const int water = flag(sxToggleButtonGetState(control) != 0);
  if (water != fractal.fractalWater) {
    fractal.fractalWater = water;
    // The water surface sits at 0 metres; dry land starts 1 metre up.
    if (water != 0) {
      fractal.fractalMinimum = 0.0;
    } else if (fractal.fractalMinimum == 0.0) {
      fractal.fractalMinimum = 1.0;
    }
  }
  autoLoad(state);
  sxRefreshDialog(state->ui.dialog);
}

}  // namespace

int fractalControlCallback(SxGui control, int id, int reason, void* data, void* callData) {
  auto* state = static_cast<ToolState*>(data);
  const bool fractal = state->source.sourceKind == SourceKind::Fractal;
  double* field = scaleField(state->fractal, id);
  if (reason == SX_REASON_REFRESH) {
    sxSetVisible(control, flag(fractal));
    if (field != nullptr) {
      sxScaleSetValue(control, *field);
      if (SxGui label = sxFindGuiById(state->ui.dialog, labelOfScale(id))) {
        sxSetVisible(label, flag(fractal));
      }
      sxSetEnabled(control, flag(id != kWaterLevelScale || state->fractal.fractalWater != 0));
    } else if (id == kWaterToggle) {
      sxToggleButtonSetState(control, state->fractal.fractalWater);
    }
    return 0;
  }
  if (reason != SX_REASON_ACTIVATE) return 0;
  if (field != nullptr) {
    slide(state, control, field, callData);
  } else if (id == kWaterToggle) {
    takeWater(state, control);
  } else if (id == kSeedDownButton || id == kSeedUpButton) {
    // Unsigned arithmetic wraps 0 - 1 to 4294967295 and back.
    state->fractal.fractalSeed += id == kSeedUpButton ? 1u : ~0u;
    autoLoad(state);
    sxRefreshDialog(state->ui.dialog);
  }
  return 0;
}

}  // namespace relievo
