// A conversion run of `relievo`: a stand-in host with the plug-in loaded, the tool started
// from the stored settings, the command line applied through the dialog (DialogDriver), the
// DED file generated, the summary printed and the dialog closed, which saves the settings
// (into --settings when given).
#ifndef RELIEVO_APPS_CONVERSION_H
#define RELIEVO_APPS_CONVERSION_H

#include <cstdio>

#include "options.h"

namespace relievo::cli {

// Returns the exit status. Usage errors found before the host starts (an option that does
// not fit the source) throw UsageError; nothing has been written then.
int runConversion(const ConvertOptions& options, std::FILE* out, std::FILE* err);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_CONVERSION_H
