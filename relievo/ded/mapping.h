// Elevation mapping: from source values to metres, to DED posts and to preview levels.
//
// Three ranges are kept in ToolState: the raw data range (dataMin/dataMax, from the data
// scan), the same range in metres (dataMinMeters/dataMaxMeters, times the unit's scale) and
// the DED file range (dedMin/dedMax, metres, never below -32767 nor above 32767). A mapping
// function turns a value of one range into the matching value of another; selectMapping
// picks the ones in use after every change of the ranges or of "Invert".
#ifndef RELIEVO_DED_MAPPING_H
#define RELIEVO_DED_MAPPING_H

#include <cstdint>
#include <span>

#include "plugin/tool_state.h"

namespace relievo {

inline constexpr double kDedLowest = -32767.0;
inline constexpr double kDedHighest = 32767.0;

// The three mapping functions are inline so that the bulk conversion below compiles them into
// its loops; each still has one address, which selectMapping stores and compares.

// inMin goes to outMin and inMax to outMax. A zero-width input range maps everything to
// outMin (constant data), so nothing ever divides by zero.
inline double mapLinear(double value, double inMin, double inMax, double outMin, double outMax) {
  if (inMax == inMin) return outMin;
  const double t = (value - inMin) / (inMax - inMin);
  return (outMax - outMin) * t + outMin;
}
// inMin goes to outMax and inMax to outMin; a zero-width input range gives outMin too.
inline double mapInverted(double value, double inMin, double inMax, double outMin, double outMax) {
  if (inMax == inMin) return outMin;
  const double t = (value - inMin) / (inMax - inMin);
  return (outMin - outMax) * t + outMax;
}
// The value unchanged; the bounds are ignored.
inline double mapIdentity(double value, double, double, double, double) {
  return value;
}

// dedMin below -32767 (or not a number) becomes -32767; dedMax above 32767 (or not a
// number) becomes 32767. Each end is also held inside that range from the other side.
void clampDedRange(ToolState* state);
// Clamps, then sets dedMapFn and previewMapFn: both inverted when "Invert" is on; identity
// for the DED (linear for the preview) when the raw range equals the DED range exactly;
// linear otherwise.
void selectMapping(ToolState* state);
// Takes a new DED range unless minimum > maximum; rebuilds and redraws the preview when the
// old or the new range includes 0 (zero has a colour of its own); then selectMapping.
void setDedRange(ToolState* state, double minimum, double maximum);
// Derives the metres range from the raw range and the unit, then sets the DED range from it
// (or from fractalMinimum/fractalMaximum for a fractal source).
void updateConvertedRange(ToolState* state);

// One source value as a DED post: the replacement value (at most 32767) for undefined data;
// otherwise the value times scale through dedMapFn, truncated toward zero and clamped to
// -32767 ... 32767. A value that maps to no number is written as DED NULL.
std::int16_t valueToPost(const ToolState* state, double value, double scale);
// valueToPost of every value into posts (at least as long as values). The same posts, with
// the choice of mapping and of the undefined test made once for the run, not per value.
void valuesToPosts(const ToolState* state, std::span<const double> values, double scale,
                   std::int16_t* posts);

}  // namespace relievo

#endif  // RELIEVO_DED_MAPPING_H
