#include "raster/number_parser.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <system_error>

namespace relievo {

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;
constexpr int kMaxDigits = 19;  // fits a 64-bit integer

}  // namespace

std::size_t plainDecimalPrefix(std::string_view text, double* value) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative || (!text.empty() && text[0] == '+')) ++i;
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fractionDigits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (++digits > kMaxDigits) return 0;
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      if (point) ++fractionDigits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0 || mantissa > kExactMantissa ||
      fractionDigits >= static_cast<int>(std::size(kPowersOfTen))) {
    return 0;
  }
  // Both numbers are exact doubles, so IEEE division rounds the quotient correctly and the
  // value equals what the C library gives.
  const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
  *value = negative ? -magnitude : magnitude;
  return i;
}

double asciiParseNumber(std::string_view token) {
  double plain = 0.0;
  if (token.size() <= kNumberLength && plainDecimalPrefix(token, &plain) == token.size()) {
    return plain;
  }
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
