#include "first_show.h"

#include <bit>

namespace relievo::cli {

namespace {

constexpr char kKindKey[] = "DataType";
constexpr char kFileKey[] = "FileName";
// The fractal generator makes squares of these edges.
constexpr int kMinEdge = 2;
constexpr int kMaxEdge = 4096;

bool isEdge(int size) {
  return size >= kMinEdge && size <= kMaxEdge && std::has_single_bit(static_cast<unsigned>(size));
}

}  // namespace

std::string prepareFirstShow(sxhost::Preferences& settings, const ConvertOptions& options,
                             const StoredSettings& stored) {
  const SourceKind kind = options.source.value_or(stored.sourceKind.value_or(SourceKind::Fractal));
  const bool storedFractal = stored.sourceKind.value_or(SourceKind::Fractal) == SourceKind::Fractal;
  const std::string file = settings.getText(kToolName, kFileKey).value_or("");
  bool holdFile = false;
  if (sourceKindRow(kind).readsFile) {
    settings.set(kToolName, kKindKey, static_cast<int>(kind));
    holdFile = options.file.has_value();
  } else if (!storedFractal) {
    holdFile = true;
  } else {
    const auto side = [&](const char* key) { return settings.getInteger(kToolName, key); };
    const bool noSize = side("Width").value_or(0) == 0 || side("Height").value_or(0) == 0;
    for (const int edge : {options.size.value_or(0), stored.fractalSize}) {
      if (!noSize || !isEdge(edge)) continue;
      settings.set(kToolName, "Width", edge);
      settings.set(kToolName, "Height", edge);
      break;
    }
  }
  if (!holdFile || file.empty()) return "";
  settings.set(kToolName, kFileKey, std::string());
  return file;
}

void restoreHeldFile(sxhost::Preferences& settings, const std::string& held) {
  if (held.empty() || !settings.getText(kToolName, kFileKey).value_or("").empty()) return;
  settings.set(kToolName, kFileKey, held);
}

}  // namespace relievo::cli
