// Rasters made with GDAL's own API, for the tests of the geo raster source: a grid written by
// any of GDAL's drivers with its transform, CRS, NODATA value, unit, scale and offset; and
// GDAL's own warp of a raster onto WGS 84, to compare a warped source with. A program that
// includes this links GDAL.
#ifndef RELIEVO_TESTING_GEO_FILES_H
#define RELIEVO_TESTING_GEO_FILES_H

#include <gdal_priv.h>
#include <gdal_utils.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "relievo_testing/scratch_dir.h"

namespace relievo::testing {

// GDAL's affine transform of the cell edges.
using Transform = std::array<double, 6>;

struct RasterRecipe {
  const char* driver;
  const char* file;
  GDALDataType type;
  const char* crs;      // anything GDAL takes as a CRS; "" for none
  Transform transform;  // all zeros for none
  std::optional<double> nodata = std::nullopt;
  const char* unit = "";
  double scale = 1.0;
  double offset = 0.0;
};

// A geographic CRS of another planet: GDAL reads it, and cannot transform it to WGS 84.
inline constexpr const char* kMarsCrs =
    R"(GEOGCS["Mars 2000",DATUM["D_Mars_2000",SPHEROID["Mars_2000_IAU_IAG",3396190,169.894447]],)"
    R"(PRIMEM["Greenwich",0],UNIT["Decimal_Degree",0.0174532925199433]])";

// Writes width x height `values` (north row first) into `dir` as `recipe` says, through an
// in-memory copy; returns the file's path.
inline std::string writeRaster(const ScratchDir& dir, const RasterRecipe& recipe, int width,
                               int height, std::vector<double> values) {
  GDALAllRegister();
  GDALDatasetUniquePtr source(GetGDALDriverManager()->GetDriverByName("MEM")->Create(
      "", width, height, 1, recipe.type, nullptr));
  Transform t = recipe.transform;
  if (t[1] != 0.0) source->SetGeoTransform(t.data());
  OGRSpatialReference crs;
  if (crs.SetFromUserInput(recipe.crs) == OGRERR_NONE) source->SetSpatialRef(&crs);
  GDALRasterBand* band = source->GetRasterBand(1);
  if (recipe.nodata) band->SetNoDataValue(*recipe.nodata);
  band->SetUnitType(recipe.unit);
  band->SetScale(recipe.scale);
  band->SetOffset(recipe.offset);
  EXPECT_EQ(band->RasterIO(GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Float64,
                           0, 0, nullptr),
            CE_None);
  const std::string path = dir.path(recipe.file);
  GDALDatasetUniquePtr(
      GetGDALDriverManager()
          ->GetDriverByName(recipe.driver)
          ->CreateCopy(path.c_str(), source.get(), FALSE, nullptr, nullptr, nullptr));
  return path;
}

// A raster as `gdalwarp -t_srs EPSG:4326 -r bilinear -ot Float64 -dstnodata nan` warps it
// onto WGS 84 latitude and longitude, on the grid GDAL suggests: its size, transform, and
// values north row first, NaN where nothing defined reaches.
struct WarpedRaster {
  int width = 0;
  int height = 0;
  Transform transform{};
  std::vector<double> values;
};

inline WarpedRaster warpedByGdal(const std::string& path) {
  const GDALDatasetUniquePtr input(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER));
  const char* arguments[] = {"-of", "MEM",     "-t_srs",     "EPSG:4326", "-r",   "bilinear",
                             "-ot", "Float64", "-dstnodata", "nan",       nullptr};
  GDALWarpAppOptions* options = GDALWarpAppOptionsNew(const_cast<char**>(arguments), nullptr);
  GDALDatasetH handle = GDALDataset::ToHandle(input.get());
  const GDALDatasetUniquePtr warped(
      GDALDataset::FromHandle(GDALWarp("", nullptr, 1, &handle, options, nullptr)));
  GDALWarpAppOptionsFree(options);
  WarpedRaster w;
  w.width = warped->GetRasterXSize();
  w.height = warped->GetRasterYSize();
  warped->GetGeoTransform(w.transform.data());
  w.values.resize(static_cast<std::size_t>(w.width) * w.height);
  EXPECT_EQ(warped->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, w.width, w.height, w.values.data(),
                                               w.width, w.height, GDT_Float64, 0, 0, nullptr),
            CE_None);
  return w;
}

}  // namespace relievo::testing

#endif  // RELIEVO_TESTING_GEO_FILES_H
