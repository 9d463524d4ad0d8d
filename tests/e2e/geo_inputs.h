// The geo rasters that the end-to-end tests convert through the dialog and through the
// command, made with GDAL's own API, and what their DED files must hold, worked out here from
// the values written (a projected raster's from GDAL's own warp of the same file).
#ifndef RELIEVO_TESTS_E2E_GEO_INPUTS_H
#define RELIEVO_TESTS_E2E_GEO_INPUTS_H

#include <array>
#include <string>
#include <vector>

#include "test_files.h"

namespace relievo::e2e {

struct GeoInput {
  std::string name;              // the file's name in the folder
  std::string placement;         // what the dialog says of its georeferencing
  int units;                     // the position of the "Units" menu the file's unit chooses
  int width, height;             // of the grid read
  std::vector<double> values;    // as read, north row first; NaN where undefined
  std::array<float, 4> corners;  // SW lat, NE lat, SW lon, NE lon of the DED file
};

// Writes the five inputs into `dir`, in this order: a 16-bit PNG with no georeferencing (placed
// at the default corners); a geographic GeoTIFF with NODATA in metres; the same as an ASCII
// grid with a header; the same in whole metres as a .bil with its .hdr and .prj; the same
// terrain in UTM in feet. A file stating no unit keeps the one chosen before it.
std::vector<GeoInput> writeGeoInputs(const ScratchDir& dir);

// Checks every post, the range record and the extents of a conversion of `input` with the
// DED range its data gives, posts truncated toward zero or rounded to the nearest metre.
void expectGeoDed(const DedFile& ded, const GeoInput& input, bool round);

}  // namespace relievo::e2e

#endif  // RELIEVO_TESTS_E2E_GEO_INPUTS_H
