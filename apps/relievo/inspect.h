// `relievo inspect FILE.ded [--json] [--png FILE] [--vrt FILE]`: shows a DED file's records
// and its posts' extremes. A file that cannot be read or is no DED file (ded_file.h) shows
// nothing of its own: exit 1 with "FILE: <reason>", with --json also
// {"file": FILE, "error": "<reason>"}. --png draws the terrain north up through the plug-in
// itself, reading the file as the raw binary grid it is (offset 200, 16-bit signed big-endian,
// one column per record, "DED NULL" undefined). --vrt writes a GDAL VRT that reads the file
// as a georeferenced raster (ded_vrt.h).
#ifndef RELIEVO_APPS_INSPECT_H
#define RELIEVO_APPS_INSPECT_H

#include <cstdio>
#include <string>

#include "ded_file.h"
#include "options.h"

namespace relievo::cli {

int runInspect(const InspectOptions& options, std::FILE* out, std::FILE* err);

// The report as text and as JSON; the JSON of a file that could not be read.
std::string inspectText(const DedFile& file);
std::string inspectJson(const DedFile& file);
std::string inspectErrorJson(const std::string& path, const std::string& error);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_INSPECT_H
