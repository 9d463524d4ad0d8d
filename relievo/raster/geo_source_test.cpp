#include "raster/geo_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

#include "raster/geo_gdal.h"
#include "relievo_testing/geo_files.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using ::testing::ElementsAreArray;
using testing::RasterRecipe;
using testing::ScratchDir;

constexpr double kHole = -9999.0;
constexpr GeoTransform kQuarterDegree{7.0, 0.25, 0.0, 46.0, 0.0, -0.25};
constexpr GeoTransform kRotated{7.0, 0.001, 0.0004, 46.0, 0.0004, -0.001};
// 4 x 3 stored values, north row first, with a hole in row 1.
const std::vector<double> kStored{1200, 1210, 1220, 1230, 1300, kHole,
                                  1320, 1330, 1400, 1410, 1420, 3508};

std::string makeRaster(const ScratchDir& dir, const RasterRecipe& recipe, int width, int height,
                       std::vector<double> values = kStored) {
  return testing::writeRaster(dir, recipe, width, height, std::move(values));
}

std::vector<double> readAll(GeoSource& source) {
  std::vector<double> values(static_cast<std::size_t>(source.width()) * source.height());
  for (int row = 0; row < source.height(); ++row) {
    const auto out = std::span(values).subspan(row * source.width(), source.width());
    EXPECT_TRUE(source.readRow(row, out)) << source.lastError();
  }
  return values;
}

void expectCorners(const GeoCorners& got, const GeoCorners& want) {
  EXPECT_NEAR(got.swLat, want.swLat, 1e-7);
  EXPECT_NEAR(got.swLon, want.swLon, 1e-7);
  EXPECT_NEAR(got.neLat, want.neLat, 1e-7);
  EXPECT_NEAR(got.neLon, want.neLon, 1e-7);
}

struct FormatCase {
  RasterRecipe recipe;
  const char* crsName;
  GeoUnit unit;
  std::optional<double> undefined;
  std::vector<double> values = kStored;  // as read, north row first
};

// The formats, units and CRSs of the end-to-end tests are read there post for post; these are
// the cases they leave out.
TEST(GeoSource, ReadsScaledValuesAndOtherDatums) {
  // clang-format off
  const FormatCase cases[] = {
      {{"GTiff", "scaled.tif", GDT_Int16, "EPSG:4326", kQuarterDegree, kHole, "ft", 0.5, 10},
       "WGS 84", GeoUnit::Feet, kGeoUndefinedFallback,
       {610, 615, 620, 625, 660, kGeoUndefinedFallback, 670, 675, 710, 715, 720, 1764}},
      {{"EHdr", "dem.bil", GDT_Int16, "EPSG:4258", kQuarterDegree, kHole},
       "ETRS89", GeoUnit::Unknown, kHole},
  };
  // clang-format on
  const ScratchDir dir;
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.recipe.file);
    std::string error;
    const auto source = GeoSource::open(makeRaster(dir, c.recipe, 4, 3), 1, error);
    ASSERT_NE(source, nullptr) << error;
    EXPECT_THAT(readAll(*source), ElementsAreArray(c.values));
    const GeoPlacement& placement = source->placement();
    EXPECT_EQ(placement.crsName, c.crsName);
    ASSERT_TRUE(placement.corners.has_value());
    expectCorners(*placement.corners, {45.375, 7.125, 45.875, 7.875});
    EXPECT_EQ(source->band().unit, c.unit);
    EXPECT_EQ(source->undefinedValue(), c.undefined);
  }
}

// The innermost capture hears GDAL's failures and gives way to the outer one when it ends; a
// warning is dropped, and a reason loses the file's name that the message starts with.
TEST(GdalErrorCapture, NestedCapturesHearTheirOwnFailures) {
  const GdalErrorCapture outer;
  {
    const GdalErrorCapture inner;
    CPLError(CE_Failure, CPLE_AppDefined, "inner");
    EXPECT_EQ(inner.reason("", "none"), "inner");
  }
  CPLError(CE_Warning, CPLE_AppDefined, "a warning");
  CPLError(CE_Failure, CPLE_AppDefined, "/d/x.tif: first\nline ");
  CPLError(CE_Failure, CPLE_AppDefined, "second");
  EXPECT_EQ(outer.reason("/d/x.tif", "none"), "first line");
}

// A north-up transform without a CRS is taken as WGS 84 degrees only when every outer corner of
// the grid lies within them.
TEST(GeoSource, ATransformWithoutACrsIsTakenAsDegreesOnlyWhenItsCornersAreDegrees) {
  const std::tuple<const char*, GeoTransform, std::optional<GeoCorners>> cases[] = {
      {"degrees.tif", kQuarterDegree, GeoCorners{44.125, 7.125, 45.875, 7.875}},
      {"metres.tif", {500000.0, 100.0, 0.0, 5100000.0, 0.0, -100.0}, std::nullopt},
      {"past180.tif", {179.5, 0.25, 0.0, 46.0, 0.0, -0.25}, std::nullopt},
  };
  const ScratchDir dir;
  for (const auto& [file, transform, corners] : cases) {
    SCOPED_TRACE(file);
    std::string error;
    const auto source = GeoSource::open(makeRaster(dir, {"GTiff", file, GDT_Int16, "", transform},
                                                   4, 8, std::vector<double>(32, 100.0)),
                                        1, error);
    ASSERT_NE(source, nullptr) << error;
    const GeoPlacement& placement = source->placement();
    EXPECT_EQ(placement.crsAssumed, corners.has_value());
    ASSERT_EQ(placement.corners.has_value(), corners.has_value());
    if (corners) expectCorners(*placement.corners, *corners);
  }
}

TEST(GeoSource, ReadsARotatedRasterAsGdalWarpsIt) {
  constexpr int kWidth = 40;
  constexpr int kHeight = 30;
  std::vector<double> stored;
  for (int row = 0; row < kHeight; ++row) {
    for (int column = 0; column < kWidth; ++column) {
      const bool hole = row >= 10 && row < 14 && column >= 20 && column < 25;
      stored.push_back(hole ? kHole : 500.0 + 3.0 * column + 2.0 * row);
    }
  }
  const ScratchDir dir;
  const std::string path =
      makeRaster(dir, {"GTiff", "rotated.tif", GDT_Float32, "EPSG:4326", kRotated, kHole}, kWidth,
                 kHeight, stored);
  std::string error;
  const auto source = GeoSource::open(path, 1, error);
  ASSERT_NE(source, nullptr) << error;
  const testing::WarpedRaster gdal = testing::warpedByGdal(path);
  ASSERT_EQ(std::pair(source->width(), source->height()), std::pair(gdal.width, gdal.height));
  expectCorners(*source->placement().corners,
                geoCellCentreCorners(gdal.transform, gdal.width, gdal.height));
  const std::vector<double> values = readAll(*source);
  int holes = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const bool undefined = std::isnan(gdal.values[i]);
    holes += undefined;
    EXPECT_EQ(values[i], undefined ? kHole : gdal.values[i]) << "cell " << i;
  }
  EXPECT_GT(holes, 0);
}

std::string openError(const std::string& path, int band = 1) {
  std::string error;
  EXPECT_EQ(GeoSource::open(path, band, error), nullptr);
  return error;
}

TEST(GeoSource, RefusesWhatItCannotReadNamingTheFileAndTheReason) {
  const ScratchDir dir;
  const std::string tif =
      makeRaster(dir, {"GTiff", "dem.tif", GDT_Int16, "", kQuarterDegree}, 4, 3);
  const std::string tilted =
      makeRaster(dir, {"GTiff", "tilted.tif", GDT_Int16, testing::kMarsCrs, kRotated}, 4, 3);
  const std::string gpkg = dir.path("two.gpkg");
  const GDALDatasetUniquePtr content(GDALDataset::Open(tif.c_str()));
  for (const char* table : {"RASTER_TABLE=a", "RASTER_TABLE=b"}) {
    const char* options[] = {table, "APPEND_SUBDATASET=YES", nullptr};
    GDALDatasetUniquePtr(GetGDALDriverManager()->GetDriverByName("GPKG")->CreateCopy(
        gpkg.c_str(), content.get(), FALSE, const_cast<char**>(options), nullptr, nullptr));
  }
  const std::string missing = dir.path("missing.tif");
  const std::string otherBody =
      ": its coordinate reference system \"Mars 2000\" cannot be transformed to WGS 84: PROJ: "
      "proj_create_operations: Source and target ellipsoid do not belong to the same celestial "
      "body";
  EXPECT_EQ(openError(missing),
            missing + ": cannot be opened as a raster: No such file or directory");
  EXPECT_EQ(openError(gpkg),
            gpkg + ": holds no raster band of its own; open one of its subdatasets, such as GPKG:" +
                gpkg + ":a");
  EXPECT_EQ(openError(tif, 2), tif + ": has no band 2 (it has one band)");
  EXPECT_EQ(openError(tif, 0), tif + ": has no band 0 (it has one band)");
  EXPECT_EQ(openError(tilted), tilted + otherBody);
  const auto refused = sxhost::AllocationFailure::above(64);
  EXPECT_EQ(openError(tif), tif + ": a block of 3 rows of 4 values (96 bytes) cannot be allocated");
}

// Rows that GDAL cannot read are refused end to end, through the command.
TEST(GeoSource, ReadsRowsInAnyOrderAndRefusesRowsOutsideTheGrid) {
  // One row of this width passes the block size, so that every row is a block of its own.
  constexpr int kWidth = static_cast<int>(kGeoBlockBytes / sizeof(double)) + 1;
  std::vector<double> stored;
  for (const double value : {10.0, 20.0, 30.0})
    stored.insert(stored.end(), kWidth, value);
  stored[kWidth - 1] = 11.0;
  const ScratchDir dir;
  std::string error;
  const auto source = GeoSource::open(
      makeRaster(dir, {"GTiff", "wide.tif", GDT_Byte, "", {}}, kWidth, 3, stored), 1, error);
  ASSERT_NE(source, nullptr) << error;
  std::vector<double> row(kWidth + 1);
  const auto whole = std::span(row).first(kWidth);
  for (const auto& [index, first, last] :
       {std::tuple{2, 30.0, 30.0}, {0, 10.0, 11.0}, {1, 20.0, 20.0}, {2, 30.0, 30.0}}) {
    ASSERT_TRUE(source->readRow(index, whole)) << source->lastError();
    EXPECT_EQ(row.front(), first) << "row " << index;
    EXPECT_EQ(row[kWidth - 1], last) << "row " << index;
  }
  const std::string path = source->path();
  EXPECT_FALSE(source->readRow(3, whole));
  EXPECT_EQ(source->lastError(), path + ": row 4 of 524289 values is outside the 524289 x 3 grid");
  EXPECT_FALSE(source->readRow(0, row));
  EXPECT_EQ(source->lastError(), path + ": row 1 of 524290 values is outside the 524289 x 3 grid");
}

}  // namespace
}  // namespace relievo
