// The settings file of --settings: the stored tool settings a conversion starts from, saved
// back at its end.
#ifndef RELIEVO_APPS_SETTINGS_FILE_H
#define RELIEVO_APPS_SETTINGS_FILE_H

#include <string>

#include "sxhost/preferences.h"

namespace relievo::cli {

// The settings in the file; none (empty) when there is no file yet. UsageError when the path
// is a folder or not a regular file. RunError when the file cannot be read (with the system's
// reason) or is not valid: such a file is first set aside as "<path>.corrupt", where nothing
// overwrites it, and the conversion the user asked for with it does not run.
sxhost::Preferences readSettingsFile(const std::string& path);

// Writes the settings whole (sxhost::writeFileAtomically): sxhost::Error naming the file and
// the reason.
void saveSettingsFile(const std::string& path, const sxhost::Preferences& settings);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_SETTINGS_FILE_H
