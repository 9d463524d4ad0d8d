#include "file_filter.h"

#include <vector>

namespace relievo::gui {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// One group's patterns; a shape other than "*.<ext>" stays as it is.
std::string fltkPattern(std::string_view pattern) {
  const auto alternatives = split(pattern, ';');
  std::string extensions;
  for (const std::string_view p : alternatives) {
    if (p == "*.*" || p == "*") return "*";
    if (!p.starts_with("*.")) return std::string(pattern);
    if (!extensions.empty()) extensions += ',';
    extensions += p.substr(2);
  }
  return alternatives.size() == 1 ? std::string(pattern) : "*.{" + extensions + "}";
}

}  // namespace

std::string fltkFilter(std::string_view promptPattern) {
  std::vector<std::string_view> words;
  for (const std::string_view word : split(promptPattern, '|')) {
    if (!word.empty()) words.push_back(word);
  }
  std::string filter;
  for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
    if (!filter.empty()) filter += '\n';
    filter += std::string(words[i]) + '\t' + fltkPattern(words[i + 1]);
  }
  return filter;
}

}  // namespace relievo::gui
