#include "raster/number_parser.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <system_error>

namespace relievo {

double asciiParseNumber(std::string_view token) {
  char work[kNumberLength + 1];
  const std::size_t length = std::min(token.size(), kNumberLength);
  std::copy_n(token.data(), length, work);
  work[length] = '\0';
  char* const end = work + length;
  char* exponent = std::find(work, end, 'D');
  if (exponent == end) exponent = std::find(work, end, 'd');
  if (exponent != end) *exponent = 'e';

  // from_chars follows strtod's grammar except that it refuses a leading '+'.
  const char* first = work[0] == '+' ? work + 1 : work;
  if (first != work && (*first == '+' || *first == '-')) return 0.0;
  double value = 0.0;
  const auto [last, error] = std::from_chars(first, end, value, std::chars_format::general);
  if (error == std::errc()) return value;
  // Out of range: from_chars leaves the value alone where the C library gives +-infinity
  // or a zero.
  if (error == std::errc::result_out_of_range) return std::strtod(work, nullptr);
  return 0.0;
}

}  // namespace relievo
