#include "option_values.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <type_traits>
#include <utility>
#include <vector>

#include "sxhost/gui.h"

namespace relievo::cli {

namespace {

// The Scan File dialog lists the first 40 lines of a file.
constexpr int kScanLines = 40;
constexpr int kColourMax = 255;

std::string quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

[[noreturn]] void fail(std::string_view option, const std::string& reason) {
  throw UsageError(std::string(option) + ": " + reason);
}

int parseInt(std::string_view option, std::string_view text, int min, int max) {
  return static_cast<int>(parseInteger(option, text, min, max));
}

// The text without one leading '+', so that "+5" reads as 5; nothing when a sign follows it.
std::optional<std::string_view> unsignedPlus(std::string_view text) {
  if (!text.starts_with('+')) return text;
  text.remove_prefix(1);
  if (text.starts_with('+') || text.starts_with('-')) return std::nullopt;
  return text;
}

std::vector<std::string_view> split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t at = text.find(sep); at != std::string_view::npos; at = text.find(sep, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

// Splits "a<sep>b" into exactly two parts.
std::pair<std::string_view, std::string_view> splitPair(std::string_view option,
                                                        std::string_view text, char sep,
                                                        std::string_view form) {
  const auto parts = split(text, sep);
  if (parts.size() != 2) fail(option, quoted(text) + " is not of the form " + std::string(form));
  return {parts[0], parts[1]};
}

Colour parseColour(std::string_view option, std::string_view text) {
  const auto parts = split(text, ',');
  if (parts.size() != 3) fail(option, quoted(text) + " is not of the form R,G,B");
  return Colour{parseInt(option, parts[0], 0, kColourMax),
                parseInt(option, parts[1], 0, kColourMax),
                parseInt(option, parts[2], 0, kColourMax)};
}

struct Delimiter {
  std::string_view word;
  char value;
};
constexpr Delimiter kDelimiterWords[] = {{"space", ' '}, {"tab", '\t'},  {"\\t", '\t'},
                                         {"comma", ','}, {"colon", ':'}, {"semicolon", ';'},
                                         {"bar", '|'}};

}  // namespace

template <class T>
NumberReading<T> readNumber(std::string_view text, T min, T max) {
  const auto digits = unsignedPlus(text);
  T value{};
  std::errc ec = std::errc::invalid_argument;
  if (digits && !digits->empty()) {
    const char* end = digits->data() + digits->size();
    const auto result = std::from_chars(digits->data(), end, value);
    ec = result.ptr == end ? result.ec : std::errc::invalid_argument;
  }
  if (ec == std::errc::invalid_argument) {
    return {quoted(text) + (std::is_integral_v<T> ? " is not a whole number" : " is not a number")};
  }
  std::string exact = ec == std::errc{} ? exactText(value) : "";
  const bool within = ec == std::errc{} && std::isfinite(static_cast<double>(value)) &&
                      CLI::Range(min, max)(exact).empty();
  if (!within) return {quoted(text) + " is outside " + limitsText(min, max)};
  return {"", value};
}

template NumberReading<long long> readNumber(std::string_view, long long, long long);
template NumberReading<double> readNumber(std::string_view, double, double);

std::string exactText(long long value) {
  return std::to_string(value);
}

// 17 significant digits take every double there and back (CLI11 reads them with strtold,
// whose result rounds to the same double).
std::string exactText(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", value);
  return buf;
}

std::string limitsText(long long min, long long max) {
  return std::to_string(min) + " ... " + std::to_string(max);
}

std::string limitsText(double min, double max) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.10g ... %.10g", min, max);
  return buf;
}

long long parseInteger(std::string_view option, std::string_view text, long long min,
                       long long max) {
  const NumberReading<long long> r = readNumber(text, min, max);
  if (!r.problem.empty()) fail(option, r.problem);
  return r.value;
}

double parseNumber(std::string_view option, std::string_view text, double min, double max) {
  const NumberReading<double> r = readNumber(text, min, max);
  if (!r.problem.empty()) fail(option, r.problem);
  return r.value;
}

std::string parsePath(std::string_view option, std::string_view text) {
  if (text.empty()) fail(option, "the path is empty");
  return std::string(text);
}

ScanLine parseScanLine(std::string_view option, std::string_view text) {
  if (text.empty()) return ScanLine{};
  return ScanLine{parseInt(option, text, 1, kScanLines)};
}

LatLon parseLatLon(std::string_view option, std::string_view text) {
  const auto [lat, lon] = splitPair(option, text, ',', "LAT,LON");
  return LatLon{parseNumber(option, lat, -90.0, 90.0), parseNumber(option, lon, -180.0, 180.0)};
}

ViewSize parseViewSize(std::string_view option, std::string_view text) {
  const auto [w, h] = splitPair(option, text, 'x', "WxH");
  return ViewSize{parseInt(option, w, 1, sxhost::kMaxViewSide),
                  parseInt(option, h, 1, sxhost::kMaxViewSide)};
}

ColourRamp parseColourRamp(std::string_view option, std::string_view text) {
  const auto [bottom, top] = splitPair(option, text, ':', "R,G,B:R,G,B");
  return ColourRamp{parseColour(option, bottom), parseColour(option, top)};
}

char parseDelimiter(std::string_view option, std::string_view text) {
  for (const auto& w : kDelimiterWords) {
    if (w.word == text) return w.value;
  }
  const bool printable = text.size() == 1 && static_cast<unsigned char>(text[0]) >= 0x20 &&
                         static_cast<unsigned char>(text[0]) < 0x7F;
  if (!printable && text != "\t") {
    fail(option,
         quoted(text) + " is not one character (or space, tab, comma, colon, semicolon, bar)");
  }
  return text[0];
}

Replacement parseReplacement(std::string_view option, std::string_view text) {
  if (text == "ded-null") return Replacement{true, 0};
  if (text.empty() || !(text[0] == '-' || text[0] == '+' || (text[0] >= '0' && text[0] <= '9'))) {
    fail(option, quoted(text) + " is neither ded-null nor a whole number");
  }
  return Replacement{false, parseInt(option, text, kPostMin, kPostMax)};
}

}  // namespace relievo::cli
