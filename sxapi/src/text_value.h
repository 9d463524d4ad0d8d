// Numbers in text controls: printf formatting with checked formats, strict reading, and
// angles in degrees, minutes and seconds.
#ifndef SXHOST_SRC_TEXT_VALUE_H
#define SXHOST_SRC_TEXT_VALUE_H

#include <optional>
#include <string>
#include <string_view>

namespace sxhost::detail {

// The formats used when a setter is given none.
inline constexpr const char* kIntegerFormat = "%d";
inline constexpr const char* kFloatFormat = "%.7g";
inline constexpr const char* kDoubleFormat = "%.10g";

// Formats with a printf format that holds exactly one conversion for the value's type
// (d i o u x X c for integers; f F e E g G a A, optionally after l, for floating point),
// with flags, width and precision of at most three digits each, and "%%" anywhere. Any
// other format gives nothing: a plug-in's format never reaches printf unchecked.
std::optional<std::string> formatInteger(int value, const char* format);
std::optional<std::string> formatFloating(double value, const char* format);

// The whole text, less surrounding blanks, must be the number: an optional sign, then
// decimal digits (and for floating point a fraction and exponent). Out of range, not
// finite, or anything else: nothing.
std::optional<int> parseInteger(std::string_view text);
std::optional<float> parseFloat(std::string_view text);
std::optional<double> parseDouble(std::string_view text);

enum class Axis { Latitude, Longitude };

// "STANDARD_LAT" or "STANDARD_LON"; nothing for any other name.
std::optional<Axis> dmsAxis(const char* format);

// Degrees, minutes and hundredths of seconds with the hemisphere: 36°26'46.50"N,
// 122°05'00.00"W. Nothing for a value that is not finite or beyond 90 (latitude) or 180
// (longitude) degrees.
std::optional<std::string> formatDms(double degrees, Axis axis);

// Reads what formatDms writes and the forms people type: "36 26 46.5 N", "36:26:46.5",
// "-36.446", "36.446S". Up to three numbers (degrees, minutes, seconds), of
// which only the last may have a fraction; minutes and seconds below 60; a sign or a
// hemisphere letter (N/S for latitude, E/W for longitude, either case), not both.
std::optional<double> parseDms(std::string_view text, Axis axis);

}  // namespace sxhost::detail

#endif  // SXHOST_SRC_TEXT_VALUE_H
