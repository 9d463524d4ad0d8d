// The values of the command's options, read from their text. A reader that takes the option's
// name throws UsageError("<option>: <reason>"); readNumber returns the reason instead, for the
// checks CLI11 runs on typed options.
//
// Numbers are what std::from_chars reads after at most one leading '+', with nothing after
// them; a number outside its limits, or beyond what its type holds, is "outside" them.
#ifndef RELIEVO_APPS_OPTION_VALUES_H
#define RELIEVO_APPS_OPTION_VALUES_H

#include <string>
#include <string_view>

#include "options.h"

namespace relievo::cli {

// DED posts are 16-bit; -32768 is "DED NULL" and no elevation.
inline constexpr int kPostMin = -32767;
inline constexpr int kPostMax = 32767;

template <class T>
struct NumberReading {
  std::string problem;  // "" when the text is a number within the limits
  T value{};
};

// T is long long (whole numbers) or double.
template <class T>
NumberReading<T> readNumber(std::string_view text, T min, T max);

// The text CLI11 converts back into exactly `value`.
std::string exactText(long long value);
std::string exactText(double value);

// How limits read in messages and help texts: "0 ... 1".
std::string limitsText(long long min, long long max);
std::string limitsText(double min, double max);

long long parseInteger(std::string_view option, std::string_view text, long long min,
                       long long max);
double parseNumber(std::string_view option, std::string_view text, double min, double max);

// Not empty.
std::string parsePath(std::string_view option, std::string_view text);
// "" or a line number of the Scan File dialog's list.
ScanLine parseScanLine(std::string_view option, std::string_view text);
LatLon parseLatLon(std::string_view option, std::string_view text);
ViewSize parseViewSize(std::string_view option, std::string_view text);
ColourRamp parseColourRamp(std::string_view option, std::string_view text);
char parseDelimiter(std::string_view option, std::string_view text);
Replacement parseReplacement(std::string_view option, std::string_view text);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_OPTION_VALUES_H
