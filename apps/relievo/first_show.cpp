#include "first_show.h"

namespace relievo::cli {

namespace {

constexpr char kKindKey[] = "DataType";
constexpr char kFileKey[] = "FileName";

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
