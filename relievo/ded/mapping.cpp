#include "ded/mapping.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "ded/units.h"

namespace relievo {

namespace {

bool holdsZero(const ElevationRanges& ranges) {
  return ranges.dedMin <= 0.0 && ranges.dedMax >= 0.0;
}

}  // namespace

void clampDedRange(ElevationRanges& ranges) {
  // Both ends are held inside the post range, so a range typed wholly above 32767 (or below
  // -32767) becomes a flat one at the limit instead of a reversed one.
  ranges.dedMin =
      std::isnan(ranges.dedMin) ? kDedLowest : std::clamp(ranges.dedMin, kDedLowest, kDedHighest);
  ranges.dedMax =
      std::isnan(ranges.dedMax) ? kDedHighest : std::clamp(ranges.dedMax, kDedLowest, kDedHighest);
}

void selectMapping(ElevationRanges& ranges) {
  clampDedRange(ranges);
  if (ranges.invert != 0) {
    ranges.dedMapFn = mapInverted;
    ranges.previewMapFn = mapInverted;
  } else if (ranges.data.dataMin == ranges.dedMin && ranges.data.dataMax == ranges.dedMax) {
    ranges.dedMapFn = mapIdentity;
    ranges.previewMapFn = mapLinear;
  } else {
    ranges.dedMapFn = mapLinear;
    ranges.previewMapFn = mapLinear;
  }
}

bool setDedRange(ElevationRanges& ranges, double minimum, double maximum) {
  if (minimum > maximum) return false;
  const bool oldHasZero = holdsZero(ranges);
  ranges.dedMin = minimum;
  ranges.dedMax = maximum;
  clampDedRange(ranges);
  const bool newHasZero = holdsZero(ranges);
  selectMapping(ranges);
  return oldHasZero || newHasZero;
}

bool updateConvertedRange(ElevationRanges& ranges, SourceKind kind, const FractalParams& fractal) {
  const double scale = unitsScale(ranges);
  ranges.dataMinMeters = scale * ranges.data.dataMin;
  ranges.dataMaxMeters = scale * ranges.data.dataMax;
  if (kind == SourceKind::Fractal) {
    return setDedRange(ranges, fractal.fractalMinimum, fractal.fractalMaximum);
  }
  return setDedRange(ranges, ranges.dataMinMeters, ranges.dataMaxMeters);
}

bool replaceValueRule(ElevationRanges& ranges, int v) {
  const int before = ranges.replaceNullValue;
  if (ranges.replaceNullKind == ReplaceNullKind::DedNull) {
    ranges.replaceNullValue = kDedNull;
  } else if (v > kDedNull) {
    ranges.replaceNullValue = v;
  }
  return ranges.replaceNullValue != before;
}

namespace {

// A custom replacement is only bounded below by the dialog; keep it a 16-bit post.
std::int16_t replacementPost(const ElevationRanges& ranges) {
  return static_cast<std::int16_t>(std::min(ranges.replaceNullValue, 32767));
}

// A mapped value as a post. Clamping before the conversion (which truncates toward zero)
// gives the same post as truncating first, and keeps the loops below free of calls. Rounding
// is the one alternative to truncation, chosen here and nowhere else.
std::int16_t toPost(double mapped, bool round) {
  if (mapped != mapped) return static_cast<std::int16_t>(kDedNull);
  const double clamped = std::clamp(mapped, kDedLowest, kDedHighest);
  return static_cast<std::int16_t>(
      static_cast<std::int32_t>(round ? std::round(clamped) : clamped));
}

// Values read as doubles (widened as the readers widen them) through map.
template <typename T, typename Map>
void convertRun(const ElevationRanges& ranges, const UndefinedData& undefined,
                std::span<const T> values, double scale, std::int16_t* posts, Map map) {
  const std::size_t n = values.size();
  const bool round = ranges.roundPosts != 0;
  if (undefined.hasNullData == 1) {
    const std::int16_t replacement = replacementPost(ranges);
    for (std::size_t i = 0; i < n; ++i) {
      const auto v = static_cast<double>(values[i]);
      posts[i] = isUndefinedValue(undefined, v) ? replacement : toPost(map(v * scale), round);
    }
  } else {
    for (std::size_t i = 0; i < n; ++i)
      posts[i] = toPost(map(static_cast<double>(values[i]) * scale), round);
  }
}

// Whole numbers of at most 32 bits under the identity mapping in metres: the post is the
// value clamped to -32767 ... 32767, with no rounding to choose, and an undefined value is
// one equal to the marker. Worked out in the values' own type, as doubles would give it.
template <typename T>
void convertWholeNumbers(const ElevationRanges& ranges, const UndefinedData& undefined,
                         std::span<const T> values, std::int16_t* posts) {
  using Limits = std::numeric_limits<T>;
  const T low = static_cast<T>(std::max<std::int64_t>(Limits::lowest(), -32767));
  const T high = static_cast<T>(std::min<std::int64_t>(Limits::max(), 32767));
  const std::int64_t marker = undefined.nullValue;
  const std::size_t n = values.size();
  if (undefined.hasNullData == 1 && marker >= Limits::lowest() && marker <= Limits::max()) {
    const auto null = static_cast<T>(marker);
    const std::int16_t replacement = replacementPost(ranges);
    for (std::size_t i = 0; i < n; ++i) {
      const T v = values[i];
      posts[i] = v == null ? replacement : static_cast<std::int16_t>(std::clamp(v, low, high));
    }
  } else {
    for (std::size_t i = 0; i < n; ++i)
      posts[i] = static_cast<std::int16_t>(std::clamp(values[i], low, high));
  }
}

template <typename T>
void convertValues(const ElevationRanges& ranges, const UndefinedData& undefined,
                   std::span<const T> values, double scale, std::int16_t* posts) {
  const double inMin = ranges.dataMinMeters;
  const double inMax = ranges.dataMaxMeters;
  const double outMin = ranges.dedMin;
  const double outMax = ranges.dedMax;
  const MapFn fn = ranges.dedMapFn;
  if constexpr (std::is_integral_v<T> && sizeof(T) <= 4) {
    if (fn == &mapIdentity && scale == 1.0) {
      return convertWholeNumbers(ranges, undefined, values, posts);
    }
  }
  const auto run = [&](auto map) { convertRun(ranges, undefined, values, scale, posts, map); };
  if (fn == &mapIdentity) {
    run([](double m) { return m; });
  } else if (fn == &mapLinear) {
    run([=](double m) { return mapLinear(m, inMin, inMax, outMin, outMax); });
  } else if (fn == &mapInverted) {
    run([=](double m) { return mapInverted(m, inMin, inMax, outMin, outMax); });
  } else {
    run([=](double m) { return fn(m, inMin, inMax, outMin, outMax); });
  }
}

}  // namespace

std::int16_t valueToPost(const ElevationRanges& ranges, const UndefinedData& undefined,
                         double value, double scale) {
  if (isUndefinedValue(undefined, value)) return replacementPost(ranges);
  return toPost(ranges.dedMapFn(value * scale, ranges.dataMinMeters, ranges.dataMaxMeters,
                                ranges.dedMin, ranges.dedMax),
                ranges.roundPosts != 0);
}

std::int16_t dedRangePost(const ElevationRanges& ranges, double metres) {
  return toPost(metres, ranges.roundPosts != 0);
}

void valuesToPosts(const ElevationRanges& ranges, const UndefinedData& undefined,
                   std::span<const double> values, double scale, std::int16_t* posts) {
  convertValues(ranges, undefined, values, scale, posts);
}

void valuesToPosts(const ElevationRanges& ranges, const UndefinedData& undefined,
                   const ValueRun& values, double scale, std::int16_t* posts) {
  visitValues(values, [&](auto run) { convertValues(ranges, undefined, run, scale, posts); });
}

}  // namespace relievo
