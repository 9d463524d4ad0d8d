#include "raster/geo_georef.h"

#include <ogr_spatialref.h>

#include <memory>

#include "raster/geo_dataset.h"
#include "raster/geo_gdal.h"

namespace relievo {

namespace {

struct TransformationDeleter {
  void operator()(OGRCoordinateTransformation* t) const {
    OGRCoordinateTransformation::DestroyCT(t);
  }
};

constexpr GeoTransform kNoTransform{0.0, 1.0, 0.0, 0.0, 0.0, 1.0};

bool northUp(const GeoTransform& t) {
  return t[1] > 0.0 && t[2] == 0.0 && t[4] == 0.0 && t[5] < 0.0;
}

// True when every outer corner of the grid lies within the range of degrees.
bool withinDegrees(const GeoTransform& t, int width, int height) {
  for (const int column : {0, width}) {
    for (const int row : {0, height}) {
      const double x = t[0] + column * t[1] + row * t[2];
      const double y = t[3] + column * t[4] + row * t[5];
      if (!(x >= -180.0 && x <= 180.0 && y >= -90.0 && y <= 90.0)) return false;
    }
  }
  return true;
}

std::string nameOf(const OGRSpatialReference* crs) {
  const char* name = crs != nullptr ? crs->GetName() : nullptr;
  return name != nullptr ? name : "";
}

// The CRS of ground control points or of geolocation arrays, when the file has either.
std::string otherCrsName(GDALDataset& dataset) {
  if (dataset.GetGCPCount() > 0) return nameOf(dataset.GetGCPSpatialRef());
  const char* stated = dataset.GetMetadataItem("SRS", "GEOLOCATION");
  OGRSpatialReference crs;
  if (stated == nullptr || crs.SetFromUserInput(stated) != OGRERR_NONE) return "";
  return nameOf(&crs);
}

// Transforms the corners from `crs` to WGS 84 in place; false with GDAL's reason when it
// cannot.
bool toWgs84(const OGRSpatialReference& crs, GeoCorners& corners, std::string& reason) {
  const GdalErrorCapture capture;
  OGRSpatialReference source(crs);
  source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const std::unique_ptr<OGRCoordinateTransformation, TransformationDeleter> transformation(
      OGRCreateCoordinateTransformation(&source, &wgs84));
  double x[2] = {corners.swLon, corners.neLon};
  double y[2] = {corners.swLat, corners.neLat};
  if (transformation == nullptr || !transformation->Transform(2, x, y)) {
    reason = capture.reason("", "the transformation failed");
    return false;
  }
  corners = {y[0], x[0], y[1], x[1]};
  return true;
}

}  // namespace

std::string geoCrsProblem(std::string_view path, std::string_view crsName,
                          std::string_view reason) {
  return std::string(path) + ": its coordinate reference system \"" + std::string(crsName) +
         "\" cannot be transformed to WGS 84: " + std::string(reason);
}

std::string geoPlacementText(const GeoPlacement& placement) {
  if (placement.kind == GeoPlacementKind::None) return "none";
  std::string text = placement.crsAssumed        ? "none stated, taken as WGS 84"
                     : placement.crsName.empty() ? "unnamed"
                                                 : placement.crsName;
  if (placement.kind == GeoPlacementKind::Warp) text += ", warped to WGS 84";
  return text;
}

GeoCorners geoCellCentreCorners(const GeoTransform& t, int width, int height) {
  return {t[3] + (height - 0.5) * t[5], t[0] + 0.5 * t[1], t[3] + 0.5 * t[5],
          t[0] + (width - 0.5) * t[1]};
}

bool geoPlace(const GeoDataset& dataset, GeoPlacement& placement, std::string& error) {
  placement = {};
  GDALDataset& gdal = dataset.gdal();
  GeoTransform t{};
  const bool hasTransform = gdal.GetGeoTransform(t.data()) == CE_None && t != kNoTransform;
  if (!hasTransform) {
    const bool other = gdal.GetGCPCount() > 0 || gdal.GetMetadata("GEOLOCATION") != nullptr;
    if (other) placement = {GeoPlacementKind::Warp, otherCrsName(gdal), false, std::nullopt};
    return true;
  }
  const OGRSpatialReference* crs = gdal.GetSpatialRef();
  const int width = dataset.width();
  const int height = dataset.height();
  if (crs == nullptr) {
    if (!withinDegrees(t, width, height)) return true;
    placement.crsAssumed = true;
  } else {
    placement.crsName = nameOf(crs);
  }
  if (!northUp(t) || (crs != nullptr && !crs->IsGeographic())) {
    placement.kind = GeoPlacementKind::Warp;
    return true;
  }
  GeoCorners corners = geoCellCentreCorners(t, width, height);
  std::string reason;
  if (crs != nullptr && !toWgs84(*crs, corners, reason)) {
    error = geoCrsProblem(dataset.path(), placement.crsName, reason);
    return false;
  }
  placement.kind = GeoPlacementKind::Geographic;
  placement.corners = corners;
  return true;
}

}  // namespace relievo
