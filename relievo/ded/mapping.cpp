#include "ded/mapping.h"

#include <algorithm>
#include <cmath>

#include "ded/units.h"
#include "preview/preview_image.h"
#include "raster/data_scan.h"

namespace relievo {

double mapLinear(double value, double inMin, double inMax, double outMin, double outMax) {
  if (inMax == inMin) return outMin;
  const double t = (value - inMin) / (inMax - inMin);
  return (outMax - outMin) * t + outMin;
}

double mapInverted(double value, double inMin, double inMax, double outMin, double outMax) {
  if (inMax == inMin) return outMin;
  const double t = (value - inMin) / (inMax - inMin);
  return (outMin - outMax) * t + outMax;
}

double mapIdentity(double value, double, double, double, double) { return value; }

void clampDedRange(ToolState* state) {
  // Both ends are held inside the post range, so a range typed wholly above 32767 (or below
  // -32767) becomes a flat one at the limit instead of a reversed one.
  state->dedMin = std::isnan(state->dedMin) ? kDedLowest
                                            : std::clamp(state->dedMin, kDedLowest, kDedHighest);
  state->dedMax = std::isnan(state->dedMax) ? kDedHighest
                                            : std::clamp(state->dedMax, kDedLowest, kDedHighest);
}

void selectMapping(ToolState* state) {
  clampDedRange(state);
  if (state->invert != 0) {
    state->dedMapFn = mapInverted;
    state->previewMapFn = mapInverted;
  } else if (state->dataMin == state->dedMin && state->dataMax == state->dedMax) {
    state->dedMapFn = mapIdentity;
    state->previewMapFn = mapLinear;
  } else {
    state->dedMapFn = mapLinear;
    state->previewMapFn = mapLinear;
  }
}

void setDedRange(ToolState* state, double minimum, double maximum) {
  if (minimum > maximum) return;
  const bool oldHasZero = state->dedMin <= 0.0 && state->dedMax >= 0.0;
  state->dedMin = minimum;
  state->dedMax = maximum;
  clampDedRange(state);
  const bool newHasZero = state->dedMin <= 0.0 && state->dedMax >= 0.0;
  if (oldHasZero || newHasZero) {
    previewBuildImage(state);
    redrawPreview(state);
  }
  selectMapping(state);
}

void updateConvertedRange(ToolState* state) {
  const double scale = unitsScale(state->units);
  state->dataMinMeters = scale * state->dataMin;
  state->dataMaxMeters = scale * state->dataMax;
  if (state->sourceKind == SourceKind::Fractal) {
    setDedRange(state, state->fractalMinimum, state->fractalMaximum);
  } else {
    setDedRange(state, state->dataMinMeters, state->dataMaxMeters);
  }
}

std::int16_t valueToPost(const ToolState* state, double value, double scale) {
  if (isUndefinedValue(state, value)) {
    // A custom replacement is only bounded below by the dialog; keep it a 16-bit post.
    return static_cast<std::int16_t>(std::min(state->replaceNullValue, 32767));
  }
  const double mapped = state->dedMapFn(value * scale, state->dataMinMeters,
                                        state->dataMaxMeters, state->dedMin, state->dedMax);
  if (std::isnan(mapped)) return static_cast<std::int16_t>(kDedNull);
  const double post = std::trunc(mapped);
  if (post < kDedLowest) return static_cast<std::int16_t>(kDedLowest);
  if (post > kDedHighest) return static_cast<std::int16_t>(kDedHighest);
  return static_cast<std::int16_t>(post);
}

}  // namespace relievo
