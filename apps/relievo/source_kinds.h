// The kinds of source the command knows, one row each: the number the dialog stores for the
// kind, the label of its item in the "Source:" menu, the word of --source, and whether the
// kind reads a file. A new kind of source is one enumerator and one row here.
#ifndef RELIEVO_APPS_SOURCE_KINDS_H
#define RELIEVO_APPS_SOURCE_KINDS_H

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace relievo::cli {

// The numbers the dialog stores ("DataType") for each kind.
enum class SourceKind { Ascii = 1, Binary = 2, Image = 3, Fractal = 4, Geo = 5 };

struct SourceKindRow {
  SourceKind kind;
  std::string_view word;   // of --source
  std::string_view label;  // of the "Source:" menu
  bool readsFile;
};

std::span<const SourceKindRow> sourceKinds();

// The row of a kind; every enumerator has one.
const SourceKindRow& sourceKindRow(SourceKind kind);
// The kind the dialog stores as `number`, or none for a number of no kind.
std::optional<SourceKind> storedSourceKind(int number);
// The kind of a "Source:" menu label, or none.
std::optional<SourceKind> sourceKindOfLabel(std::string_view label);
// Every word of --source, as "ascii|binary|...".
std::string sourceKindWords();

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_SOURCE_KINDS_H
