#include "raster/number_parser.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace relievo {

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;
constexpr int kMaxDigits = 19;  // fits a 64-bit integer

// The short path reads a token's first 16 bytes at once, and 8 from where its fraction starts.
constexpr std::size_t kMarkBytes = 16;
constexpr std::size_t kShortPathBytes = kMarkBytes + 8;
// Digits a part may have on the short path. A decimal that ends within 16 bytes has at most
// 15 digits, so its mantissa stays below 2^53.
constexpr int kPartDigits = 8;
constexpr std::uint32_t kPartScale[] = {1,      10,      100,      1000,     10000,
                                        100000, 1000000, 10000000, 100000000};

// Bit i set where text[i] is a digit, and where it is a point, for the first 16 bytes.
struct Marks {
  unsigned digits;
  unsigned points;
};

Marks marksOf(const char* text) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
  const __m128i fromZero = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
  const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(fromZero, _mm_set1_epi8(9)), fromZero);
  const __m128i point = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'));
  return {static_cast<unsigned>(_mm_movemask_epi8(digit)),
          static_cast<unsigned>(_mm_movemask_epi8(point))};
#else
  Marks marks{0, 0};
  for (std::size_t i = 0; i < kMarkBytes; ++i) {
    if (text[i] >= '0' && text[i] <= '9') marks.digits |= 1u << i;
    if (text[i] == '.') marks.points |= 1u << i;
  }
  return marks;
#endif
}

// The value of the `count` (at most 8) digits at text, all eight bytes there readable: the
// digits become the low places of an eight-digit number whose pairs, quads and halves are
// summed in one word.
std::uint32_t partValue(const char* text, int count) {
  if (count == 0) return 0;
  std::uint64_t word;
  std::memcpy(&word, text, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  // The first digit is the lowest byte: shifting the bytes after the digits out leaves zeros
  // in front of them.
  word <<= 8 * (kPartDigits - count);
  word = (word & 0x0F0F0F0F0F0F0F0F) * 2561 >> 8;
  word = (word & 0x00FF00FF00FF00FF) * 6553601 >> 16;
  return static_cast<std::uint32_t>((word & 0x0000FFFF0000FFFF) * 42949672960001 >> 32);
}

// plainDecimalPrefix for a decimal of up to eight digits either side of its point that ends
// within the first 16 bytes of text (at least kShortPathBytes long), without a branch per
// character; 0 where the general loop must decide.
std::size_t shortDecimalPrefix(const char* text, double* value) {
  const bool negative = text[0] == '-';
  const int start = negative || text[0] == '+' ? 1 : 0;
  const Marks marks = marksOf(text);
  const int length = std::countr_zero(~((marks.digits | marks.points) >> start));
  const int end = start + length;
  if (end >= static_cast<int>(kMarkBytes)) return 0;
  const unsigned points = marks.points & (((1u << length) - 1) << start);
  if ((points & (points - 1)) != 0) return 0;
  const int point = points != 0 ? std::countr_zero(points) : end;
  const int whole = point - start;
  const int fraction = points != 0 ? end - point - 1 : 0;
  if (whole + fraction == 0 || whole > kPartDigits || fraction > kPartDigits) return 0;
  const std::uint64_t mantissa =
      std::uint64_t{partValue(text + start, whole)} * kPartScale[fraction] +
      partValue(text + point + 1, fraction);
  const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[fraction];
  *value = negative ? -magnitude : magnitude;
  return static_cast<std::size_t>(end);
}

}  // namespace

std::size_t plainDecimalPrefix(std::string_view text, double* value) {
  if (text.size() >= kShortPathBytes) {
    if (const std::size_t length = shortDecimalPrefix(text.data(), value)) return length;
  }
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
