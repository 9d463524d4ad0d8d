// The stored settings the dialog finds when the tool starts, where its first automatic load
// runs: only the requested source may load then, never a stored one that the command replaces
// at once, so that a file conversion never shows a fractal being generated, nor a fractal
// conversion a stored file being read.
//
//   a file kind requested         it becomes the stored kind; with --file, the stored file's
//                                 name is held aside (the new file comes through the dialog)
//   the fractal generator         from a stored file kind: the stored file's name is held
//   requested                     aside, so that nothing loads before the dialog switches
#ifndef RELIEVO_APPS_FIRST_SHOW_H
#define RELIEVO_APPS_FIRST_SHOW_H

#include <string>

#include "option_check.h"
#include "options.h"
#include "sxhost/preferences.h"

namespace relievo::cli {

// Changes `settings` as above; returns the file name held aside ("" when none).
std::string prepareFirstShow(sxhost::Preferences& settings, const ConvertOptions& options,
                             const StoredSettings& stored);

// Puts a file name held aside back into the settings the dialog saved, unless the dialog took
// another file.
void restoreHeldFile(sxhost::Preferences& settings, const std::string& held);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_FIRST_SHOW_H
