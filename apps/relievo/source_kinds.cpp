#include "source_kinds.h"

namespace relievo::cli {

namespace {

constexpr SourceKindRow kRows[] = {
    {SourceKind::Ascii, "ascii", "ASCII File", true},
    {SourceKind::Binary, "binary", "Binary File", true},
    {SourceKind::Image, "image", "Image File", true},
    {SourceKind::Fractal, "fractal", "Fractal Generator", false},
    {SourceKind::Geo, "geo", "Geo Raster", true},
};

}  // namespace

std::span<const SourceKindRow> sourceKinds() {
  return kRows;
}

const SourceKindRow& sourceKindRow(SourceKind kind) {
  for (const SourceKindRow& row : kRows) {
    if (row.kind == kind) return row;
  }
  return kRows[0];
}

std::optional<SourceKind> storedSourceKind(int number) {
  for (const SourceKindRow& row : kRows) {
    if (static_cast<int>(row.kind) == number) return row.kind;
  }
  return std::nullopt;
}

std::optional<SourceKind> sourceKindOfLabel(std::string_view label) {
  for (const SourceKindRow& row : kRows) {
    if (row.label == label) return row.kind;
  }
  return std::nullopt;
}

std::string sourceKindWords() {
  std::string words;
  for (const SourceKindRow& row : kRows) {
    if (!words.empty()) words += '|';
    words += row.word;
  }
  return words;
}

}  // namespace relievo::cli
