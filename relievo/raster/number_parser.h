// asciiParseNumber: the value of one number token of a text grid.
#ifndef RELIEVO_RASTER_NUMBER_PARSER_H
#define RELIEVO_RASTER_NUMBER_PARSER_H

#include <cstddef>
#include <string_view>

namespace relievo {

// Characters of a token that the parser looks at; the rest is ignored.
inline constexpr std::size_t kNumberLength = 40;

// Reads the token as C's sscanf(token, "%lf") would after its first 'D' (or, when there is
// none, its first 'd') has become 'e': the longest leading number counts ("1.2.3" is 1.2,
// "1e+" is 1), values beyond the double range become +-infinity or 0, and a token that
// holds no number at all ("-", ".", "+") is 0.0.
double asciiParseNumber(std::string_view token);

// The common case, worked out quickly: the length of the plain decimal that `text` begins
// with (an optional sign, then digits with at most one '.' among them), with its value in
// *value, or 0 when the text begins with none that is simple: no digit, more than 19 digits,
// or more than 22 after the point, or digits beyond 2^53. Any value given equals the one
// asciiParseNumber gives for those characters alone.
std::size_t plainDecimalPrefix(std::string_view text, double* value);

}  // namespace relievo

#endif  // RELIEVO_RASTER_NUMBER_PARSER_H
