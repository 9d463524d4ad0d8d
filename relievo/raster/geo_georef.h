// Where a geo raster lies on the globe. Posts sit at cell centres: the corners are the
// centres of the south-west and north-east cells, in WGS 84 latitude and longitude.
//
// A north-up raster in a geographic CRS (any datum) is read as it is, its corner centres
// transformed to WGS 84. Anything else that GDAL can place (a projected CRS, a rotated,
// sheared or south-up transform, ground control points, geolocation arrays) must be read
// through the warper onto a WGS 84 grid (geo_warp.h). A transform without a CRS whose
// cells all lie within -180 ... 180 and -90 ... 90 is taken as WGS 84 degrees, as it is
// then most likely meant; any other raster is not placed.
#ifndef RELIEVO_RASTER_GEO_GEOREF_H
#define RELIEVO_RASTER_GEO_GEOREF_H

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace relievo {

class GeoDataset;

// GDAL's affine transform: x = t[0] + column x t[1] + row x t[2], y = t[3] + column x t[4]
// + row x t[5], for the cell edges (column 0, row 0 is the outer corner of the first cell).
using GeoTransform = std::array<double, 6>;

struct GeoCorners {
  double swLat, swLon, neLat, neLon;  // degrees
};

enum class GeoPlacementKind {
  None,        // no georeferencing: the extents stay as they are
  Geographic,  // read as it is; corners known
  Warp,        // read through the warper; corners come from the warped grid
};

struct GeoPlacement {
  GeoPlacementKind kind = GeoPlacementKind::None;
  std::string crsName;                // the CRS as the file states it; "" when it states none
  bool crsAssumed = false;            // no CRS stated: the transform is taken as WGS 84 degrees
  std::optional<GeoCorners> corners;  // known for Geographic
};

// Decides how the raster is placed and, for Geographic, finds its corners. False with
// `error` "<path>: its coordinate reference system "<name>" cannot be transformed to
// WGS 84: <GDAL's reason>" when the corners cannot be transformed.
bool geoPlace(const GeoDataset& dataset, GeoPlacement& placement, std::string& error);

// "<path>: its coordinate reference system "<name>" cannot be transformed to WGS 84:
// <reason>".
std::string geoCrsProblem(std::string_view path, std::string_view crsName, std::string_view reason);

// How the raster is placed, in words for the user: the CRS's name ("WGS 84"), "none stated,
// taken as WGS 84" for an assumed one, "unnamed" for a warp source that names none, with
// ", warped to WGS 84" when it is read through the warper; "none" when it is not placed.
std::string geoPlacementText(const GeoPlacement& placement);

// The centres of the south-west and north-east cells of a north-up grid of width x height
// cells under `transform`, x read as longitude and y as latitude.
GeoCorners geoCellCentreCorners(const GeoTransform& transform, int width, int height);

}  // namespace relievo

#endif  // RELIEVO_RASTER_GEO_GEOREF_H
