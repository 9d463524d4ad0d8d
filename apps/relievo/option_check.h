// Whether the options fit the source they will be applied to: an option whose control the
// dialog hides or disables for that source (the delimiter of a binary grid, the water level
// with water off) is a usage error, found before any host starts.
//
// The source kind and the other settings that decide this come from the options or, where
// the options say nothing, from the stored settings the dialog will show.
#ifndef RELIEVO_APPS_OPTION_CHECK_H
#define RELIEVO_APPS_OPTION_CHECK_H

#include <optional>

#include "options.h"
#include "sxhost/preferences.h"

namespace relievo::cli {

// The tool's name, under which the host keeps its preferences.
inline constexpr char kToolName[] = "Relievo";

// The stored settings that decide which options fit, with the dialog's defaults.
struct StoredSettings {
  std::optional<SourceKind> sourceKind = SourceKind::Fractal;  // none for a stored nonsense
  int byteType = 0;                                            // 0: 1-byte elements
  bool water = true;
  Unit units = Unit::Meters;
  bool hasNullData = false;
  int fractalSize = 256;
};

StoredSettings storedSettings(const sxhost::Preferences& prefs);

// Throws UsageError naming the first option that does not fit.
void checkOptionsFit(const ConvertOptions& options, const StoredSettings& stored);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_OPTION_CHECK_H
