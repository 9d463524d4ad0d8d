// Elevation mapping: from source values to metres, to DED posts and to preview levels.
//
// Three ranges are kept in ElevationRanges: the raw data range (data.dataMin/dataMax, from
// the range scan), the same range in metres (dataMinMeters/dataMaxMeters, times the unit's
// scale) and the DED file range (dedMin/dedMax, metres, never below -32767 nor above 32767).
// A mapping function turns a value of one range into the matching value of another;
// selectMapping picks the ones in use after every change of the ranges or of "Invert".
#ifndef RELIEVO_DED_MAPPING_H
#define RELIEVO_DED_MAPPING_H

#include <cstdint>
#include <span>

#include "fractal/fractal_source.h"
#include "raster/data_scan.h"
#include "raster/value_run.h"

namespace relievo {

// Maps a value of [inMin, inMax] onto [outMin, outMax].
using MapFn = double (*)(double value, double inMin, double inMax, double outMin, double outMax);

enum class ReplaceNullKind : std::int32_t { DedNull = 1, Custom = 2 };

// The post written for undefined data under "DED NULL".
inline constexpr std::int32_t kDedNull = -32768;

// The ranges, the mapping between them, the units and what undefined data becomes: the part
// of ToolState that the conversion to posts and the preview's colours work from.
struct ElevationRanges {
  DataRange data;  // raw values, from the range scan
  double dataMinMeters;
  double dataMaxMeters;
  double dedMin;
  double dedMax;
  MapFn dedMapFn;      // data value to DED post
  MapFn previewMapFn;  // data value to preview sample
  std::int32_t invert;
  std::int32_t units;             // row 1 ... 8 of the units table
  float otherUnitsScale;          // metres per unit of "Other Units"; never saved
  std::int32_t replaceNullValue;  // the post for undefined data; kDedNull under "DED NULL"
  ReplaceNullKind replaceNullKind;
  std::int32_t roundPosts;  // "Round to nearest": mapped values are rounded, not truncated
};

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
void clampDedRange(ElevationRanges& ranges);
// Clamps, then sets dedMapFn and previewMapFn: both inverted when "Invert" is on; identity
// for the DED (linear for the preview) when the raw range equals the DED range exactly;
// linear otherwise.
void selectMapping(ElevationRanges& ranges);
// Takes a new DED range unless minimum > maximum, then selectMapping. True when the old or
// the new range includes 0: zero has a colour of its own, so the preview picture must be
// built again.
bool setDedRange(ElevationRanges& ranges, double minimum, double maximum);
// Derives the metres range from the raw range and the unit, then sets the DED range from it
// (or from fractalMinimum/fractalMaximum for a fractal source). The result of setDedRange.
bool updateConvertedRange(ElevationRanges& ranges, SourceKind kind, const FractalParams& fractal);
// Under "DED NULL" the replacement is -32768; otherwise v is taken when above -32768.
// Returns whether replaceNullValue changed.
bool replaceValueRule(ElevationRanges& ranges, int v);

// One source value as a DED post: the replacement value (at most 32767) for undefined data;
// otherwise the value times scale through dedMapFn, clamped to -32767 ... 32767 and truncated
// toward zero, or rounded to the nearest whole metre (halves away from zero) under
// roundPosts. A value that maps to no number is written as DED NULL.
std::int16_t valueToPost(const ElevationRanges& ranges, const UndefinedData& undefined,
                         double value, double scale);
// valueToPost of every value into posts (at least as long as values). The same posts, with
// the choice of mapping and of the undefined test made once for the run, not per value.
void valuesToPosts(const ElevationRanges& ranges, const UndefinedData& undefined,
                   std::span<const double> values, double scale, std::int16_t* posts);
// The same for values of any element type, each taken as the double it widens to; whole
// numbers mapped by identity in metres never become doubles at all.
void valuesToPosts(const ElevationRanges& ranges, const UndefinedData& undefined,
                   const ValueRun& values, double scale, std::int16_t* posts);
// An end of the DED range (dedMin or dedMax) as a post, truncated or rounded as the posts are,
// for the range record.
std::int16_t dedRangePost(const ElevationRanges& ranges, double metres);

}  // namespace relievo

#endif  // RELIEVO_DED_MAPPING_H
