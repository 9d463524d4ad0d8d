#include "ded/mapping.h"

#include <algorithm>
#include <cmath>

#include "ded/units.h"
#include "preview/preview_image.h"
#include "raster/data_scan.h"

namespace relievo {

void clampDedRange(ToolState* state) {
  // Both ends are held inside the post range, so a range typed wholly above 32767 (or below
  // -32767) becomes a flat one at the limit instead of a reversed one.
  state->dedMin =
      std::isnan(state->dedMin) ? kDedLowest : std::clamp(state->dedMin, kDedLowest, kDedHighest);
  state->dedMax =
      std::isnan(state->dedMax) ? kDedHighest : std::clamp(state->dedMax, kDedLowest, kDedHighest);
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

namespace {

// A custom replacement is only bounded below by the dialog; keep it a 16-bit post.
std::int16_t replacementPost(const ToolState* state) {
  return static_cast<std::int16_t>(std::min(state->replaceNullValue, 32767));
}

// A mapped value as a post. Clamping before the conversion (which truncates toward zero)
// gives the same post as truncating first, and keeps the loops below free of calls.
std::int16_t toPost(double mapped) {
  if (mapped != mapped) return static_cast<std::int16_t>(kDedNull);
  return static_cast<std::int16_t>(
      static_cast<std::int32_t>(std::clamp(mapped, kDedLowest, kDedHighest)));
}

template <typename Map>
void convertRun(const ToolState* state, std::span<const double> values, double scale,
                std::int16_t* posts, Map map) {
  const std::size_t n = values.size();
  if (state->hasNullData == 1) {
    const std::int16_t replacement = replacementPost(state);
    for (std::size_t i = 0; i < n; ++i) {
      posts[i] = isUndefinedValue(state, values[i]) ? replacement : toPost(map(values[i] * scale));
    }
  } else {
    for (std::size_t i = 0; i < n; ++i)
      posts[i] = toPost(map(values[i] * scale));
  }
}

}  // namespace

std::int16_t valueToPost(const ToolState* state, double value, double scale) {
  if (isUndefinedValue(state, value)) return replacementPost(state);
  return toPost(state->dedMapFn(value * scale, state->dataMinMeters, state->dataMaxMeters,
                                state->dedMin, state->dedMax));
}

void valuesToPosts(const ToolState* state, std::span<const double> values, double scale,
                   std::int16_t* posts) {
  const double inMin = state->dataMinMeters;
  const double inMax = state->dataMaxMeters;
  const double outMin = state->dedMin;
  const double outMax = state->dedMax;
  const MapFn fn = state->dedMapFn;
  if (fn == &mapIdentity) {
    convertRun(state, values, scale, posts, [](double m) { return m; });
  } else if (fn == &mapLinear) {
    convertRun(state, values, scale, posts,
               [=](double m) { return mapLinear(m, inMin, inMax, outMin, outMax); });
  } else if (fn == &mapInverted) {
    convertRun(state, values, scale, posts,
               [=](double m) { return mapInverted(m, inMin, inMax, outMin, outMax); });
  } else {
    convertRun(state, values, scale, posts,
               [=](double m) { return fn(m, inMin, inMax, outMin, outMax); });
  }
}

}  // namespace relievo
