#include "text_value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace sxhost::detail {
namespace {

std::string_view trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!s.empty() && blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && blank(s.back()))
    s.remove_suffix(1);
  return s;
}

// Checks a format: one conversion among `conversions`, `long` allowed when allowLong.
bool validFormat(const char* format, const char* conversions, bool allowLong) {
  if (format == nullptr) return false;
  int found = 0;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while (*p != '\0' && std::strchr("-+ #0", *p) != nullptr)
      ++p;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
      ++p;
      if (++digits > 3) return false;
    }
    if (*p == '.') {
      ++p;
      digits = 0;
      while (*p >= '0' && *p <= '9') {
        ++p;
        if (++digits > 3) return false;
      }
    }
    if (allowLong && *p == 'l') ++p;
    if (*p == '\0' || std::strchr(conversions, *p) == nullptr) return false;
    ++found;
  }
  return found == 1;
}

template <class T>
std::optional<std::string> format(T value, const char* fmt) {
  const int n = std::snprintf(nullptr, 0, fmt, value);
  if (n < 0) return std::nullopt;
  std::string out(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), fmt, value);
  out.resize(static_cast<std::size_t>(n));
  return out;
}

template <class T>
std::optional<T> parse(std::string_view text) {
  text = trim(text);
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) return std::nullopt;
  }
  return value;
}

constexpr std::string_view kDegreeSign = "\xC2\xB0";

}  // namespace

std::optional<std::string> formatInteger(int value, const char* fmt) {
  if (!validFormat(fmt, "diouxXc", false)) return std::nullopt;
  return format(value, fmt);
}

std::optional<std::string> formatFloating(double value, const char* fmt) {
  if (!validFormat(fmt, "fFeEgGaA", true)) return std::nullopt;
  return format(value, fmt);
}

std::optional<int> parseInteger(std::string_view text) {
  return parse<int>(text);
}
std::optional<float> parseFloat(std::string_view text) {
  return parse<float>(text);
}
std::optional<double> parseDouble(std::string_view text) {
  return parse<double>(text);
}

std::optional<Axis> dmsAxis(const char* format) {
  if (format == nullptr) return std::nullopt;
  if (std::strcmp(format, "STANDARD_LAT") == 0) return Axis::Latitude;
  if (std::strcmp(format, "STANDARD_LON") == 0) return Axis::Longitude;
  return std::nullopt;
}

std::optional<std::string> formatDms(double degrees, Axis axis) {
  const double limit = axis == Axis::Latitude ? 90.0 : 180.0;
  if (!std::isfinite(degrees) || std::fabs(degrees) > limit) return std::nullopt;
  // Whole hundredths of a second, so that rounding never shows 60 seconds.
  const long long total = std::llround(std::fabs(degrees) * 360000.0);
  const long long d = total / 360000;
  const long long m = total / 6000 % 60;
  const long long cs = total % 6000;
  const bool negative = degrees < 0 && total != 0;
  const char hemisphere = axis == Axis::Latitude ? (negative ? 'S' : 'N') : (negative ? 'W' : 'E');
  char buf[64];
  std::snprintf(buf, sizeof buf, "%lld%s%02lld'%02lld.%02lld\"%c", d,
                std::string(kDegreeSign).c_str(), m, cs / 100, cs % 100, hemisphere);
  return std::string(buf);
}

std::optional<double> parseDms(std::string_view text, Axis axis) {
  text = trim(text);
  int sign = 1;
  bool signed_ = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    sign = text.front() == '-' ? -1 : 1;
    signed_ = true;
    text.remove_prefix(1);
  }
  const char positive = axis == Axis::Latitude ? 'N' : 'E';
  const char negative = axis == Axis::Latitude ? 'S' : 'W';
  auto hemisphere = [&](char c) -> int {
    c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return c == positive ? 1 : c == negative ? -1 : 0;
  };
  text = trim(text);
  if (!text.empty() && hemisphere(text.back()) != 0) {
    if (signed_) return std::nullopt;
    sign = hemisphere(text.back());
    text.remove_suffix(1);
  } else if (!text.empty() && hemisphere(text.front()) != 0) {
    if (signed_) return std::nullopt;
    sign = hemisphere(text.front());
    text.remove_prefix(1);
  }

  // Numbers separated by blanks, colons, degree, minute and second marks.
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if ((c >= '0' && c <= '9') || c == '.') {
      const std::size_t start = i;
      while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '.'))
        ++i;
      fields.push_back(text.substr(start, i - start));
    } else if (text.substr(i).starts_with(kDegreeSign)) {
      i += kDegreeSign.size();
    } else if (std::strchr(" \t:'\"", c) != nullptr && c != '\0') {
      ++i;
    } else {
      return std::nullopt;
    }
  }
  if (fields.empty() || fields.size() > 3) return std::nullopt;
  double parts[3] = {0.0, 0.0, 0.0};
  for (std::size_t f = 0; f < fields.size(); ++f) {
    const bool last = f + 1 == fields.size();
    if (!last && fields[f].find('.') != std::string_view::npos) return std::nullopt;
    auto v = parseDouble(fields[f]);
    if (!v || *v < 0) return std::nullopt;
    if (f > 0 && *v >= 60.0) return std::nullopt;
    parts[f] = *v;
  }
  const double value = sign * (parts[0] + parts[1] / 60.0 + parts[2] / 3600.0);
  const double limit = axis == Axis::Latitude ? 90.0 : 180.0;
  if (std::fabs(value) > limit) return std::nullopt;
  return value;
}

}  // namespace sxhost::detail
