#include "raster/geo_warp.h"

#include <cpl_string.h>
#include <gdal_utils.h>

#include <memory>

#include "raster/geo_gdal.h"

namespace relievo {

namespace {

struct WarpOptionsDeleter {
  void operator()(GDALWarpAppOptions* options) const { GDALWarpAppOptionsFree(options); }
};

// Alpha bands are warped as data, so that band numbers stay those of the source.
constexpr const char* kWarpArguments[] = {"-of",        "VRT",      "-t_srs",     "EPSG:4326",
                                          "-r",         "bilinear", "-ot",        "Float64",
                                          "-dstnodata", "nan",      "-nosrcalpha"};

}  // namespace

GDALDatasetUniquePtr geoWarpToWgs84(const GeoDataset& source, const GeoPlacement& placement,
                                    std::string& error) {
  CPLStringList arguments;
  for (const char* argument : kWarpArguments)
    arguments.AddString(argument);
  if (placement.crsAssumed) {
    arguments.AddString("-s_srs");
    arguments.AddString("EPSG:4326");
  }
  const GdalErrorCapture capture;
  const std::unique_ptr<GDALWarpAppOptions, WarpOptionsDeleter> options(
      GDALWarpAppOptionsNew(arguments.List(), nullptr));
  GDALDatasetH input = GDALDataset::ToHandle(&source.gdal());
  GDALDatasetUniquePtr warped(
      options != nullptr
          ? GDALDataset::FromHandle(GDALWarp("", nullptr, 1, &input, options.get(), nullptr))
          : nullptr);
  if (warped == nullptr) {
    const std::string reason = capture.reason(source.path(), "GDAL's warper refused it");
    error = placement.crsName.empty() ? source.path() + ": cannot be warped to WGS 84: " + reason
                                      : geoCrsProblem(source.path(), placement.crsName, reason);
  }
  return warped;
}

}  // namespace relievo
