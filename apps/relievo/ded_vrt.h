// A GDAL VRT over a DED file (`relievo inspect FILE.ded --vrt OUT.vrt`), so that gdalinfo,
// QGIS and every GDAL tool read the DED file directly as a georeferenced raster.
//
// The VRT is one raw band over the file's data records: 16-bit signed big-endian posts,
// undefined where they hold "DED NULL" (-32768), in WGS 84 latitude and longitude
// (EPSG:4326). A DED file stores its columns west to east, each from south to north; the
// band reads them north row first: it starts at the northern post of the first column,
// steps one record (2 x posts per record bytes) from a cell to the next one east, and back
// one post (2 bytes) from a row to the next one south. Cells are centred on the posts, so
// the cell edges lie half a spacing beyond the corner posts.
#ifndef RELIEVO_APPS_DED_VRT_H
#define RELIEVO_APPS_DED_VRT_H

#include <string>
#include <string_view>

#include "ded_file.h"

namespace relievo::cli {

// The VRT's text for `ded` (a DED file as readDedFile takes it), reading the file named
// `source`: relative to the VRT's own folder when `relative`, else as it stands.
std::string dedVrtText(const DedFile& ded, std::string_view source, bool relative);

// Writes the VRT of `ded` to `vrtPath` (temporary file beside it, then renamed), naming the
// DED file by its name alone when both are in one folder, else by its absolute path. Throws
// RunError "<ded path>: no VRT written: <why>" when a count is not 1 ... 16777216, and
// sxhost::Error naming `vrtPath` and the system's reason when it cannot be written; an existing
// file at `vrtPath` then stays as it was.
void writeDedVrt(const DedFile& ded, const std::string& vrtPath);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_DED_VRT_H
