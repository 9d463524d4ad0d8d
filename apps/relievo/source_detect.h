// What the command learns from a source file through GDAL before any host starts: the kind of
// source that reads it when the command line names none, whether an image holds more than
// the 8 bits a channel the image source reads, and GDAL's version, all asked through
// gdal_probe.h; the plug-in reads the file itself.
//
// The kind of a file, in this order:
//   geo raster  GDAL opens it and it is an ASCII grid with a header, a raw grid with a header
//               file beside it, georeferenced, or of more than 8 bits a sample (a text that
//               GDAL reads as a list of points is taken for a grid of values instead);
//   image       the host reads it as an image (SGI, 8-bit PNG, JPEG, BMP, GIF, TGA, PNM);
//   ASCII       its first 2000 bytes are text, as the dialog's own check has it;
//   otherwise   a usage error that says why and asks for --source.
#ifndef RELIEVO_APPS_SOURCE_DETECT_H
#define RELIEVO_APPS_SOURCE_DETECT_H

#include <cstdio>
#include <string>

#include "options.h"

namespace relievo::cli {

// The kind that reads the regular file at `path`, or UsageError "<path>: <why not>; choose the
// kind of source with --source <words>".
SourceKind detectSourceKind(const std::string& path);

// The most bits a sample of the file's bands holds as GDAL reads it; 0 when GDAL cannot.
int sampleBits(const std::string& path);

// With a file and no --source: RunError when the file is no regular file (checkSourceFile),
// else the source becomes the file's kind. For the image source, a warning on `err` when the
// file holds more than 8 bits a sample.
void resolveSource(ConvertOptions& options, std::FILE* err);

// "GDAL <version>, released <date>".
std::string gdalVersion();

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_SOURCE_DETECT_H
