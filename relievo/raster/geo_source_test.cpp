#include "raster/geo_source.h"

#include <gdal_priv.h>
#include <gdalwarper.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <vector>

#include "relievo_testing/scratch_dir.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using ::testing::ElementsAreArray;

constexpr double kHole = -9999.0;

// How a test raster is written: through an in-memory dataset copied by `driver`.
struct RasterSpec {
  const char* driver;
  const char* file;
  GDALDataType type;
  const char* crs;         // "" for none
  GeoTransform transform;  // all zero for none
  std::optional<double> nodata;
  const char* unit = "";
  double scale = 1.0;
  double offset = 0.0;
};

constexpr GeoTransform kQuarterDegree{7.0, 0.25, 0.0, 46.0, 0.0, -0.25};
// 4 x 3 stored values, north row first, with a hole in row 1.
const std::vector<double> kStored{1200, 1210, 1220, 1230, 1300, kHole,
                                  1320, 1330, 1400, 1410, 1420, 3508};

std::string writeRaster(const testing::ScratchDir& dir, const RasterSpec& spec, int width,
                        int height, const std::vector<double>& values) {
  GDALAllRegister();
  GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("MEM");
  GDALDatasetUniquePtr source(memory->Create("", width, height, 1, spec.type, nullptr));
  GDALRasterBand* band = source->GetRasterBand(1);
  if (spec.transform != GeoTransform{}) {
    GeoTransform t = spec.transform;
    source->SetGeoTransform(t.data());
  }
  OGRSpatialReference crs;
  if (*spec.crs != '\0' && crs.SetFromUserInput(spec.crs) == OGRERR_NONE)
    source->SetSpatialRef(&crs);
  if (spec.nodata) band->SetNoDataValue(*spec.nodata);
  band->SetUnitType(spec.unit);
  if (spec.scale != 1.0 || spec.offset != 0.0) {
    band->SetScale(spec.scale);
    band->SetOffset(spec.offset);
  }
  std::vector<double> copy = values;
  EXPECT_EQ(band->RasterIO(GF_Write, 0, 0, width, height, copy.data(), width, height, GDT_Float64,
                           0, 0, nullptr),
            CE_None);
  const std::string path = dir.path(spec.file);
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(spec.driver);
  GDALDatasetUniquePtr(
      driver->CreateCopy(path.c_str(), source.get(), FALSE, nullptr, nullptr, nullptr));
  return path;
}

std::vector<double> readAll(GeoSource& source) {
  std::vector<double> values(static_cast<std::size_t>(source.width()) * source.height());
  for (int row = 0; row < source.height(); ++row) {
    EXPECT_TRUE(
        source.readRow(row, std::span(values).subspan(row * source.width(), source.width())))
        << source.lastError();
  }
  return values;
}

struct FormatCase {
  RasterSpec spec;
  std::vector<double> values;  // as read, north row first
  const char* crsName;
  std::optional<GeoCorners> corners;
  GeoUnit unit;
  std::optional<double> undefined;
};

TEST(GeoSource, ReadsEachFormatWithItsValuesUnitsAndCorners) {
  const GeoCorners quarter{45.375, 7.125, 45.875, 7.875};
  const std::vector<FormatCase> cases{
      {{"GTiff", "dem.tif", GDT_Int16, "EPSG:4326", kQuarterDegree, kHole, "metre"},
       kStored,
       "WGS 84",
       quarter,
       GeoUnit::Metres,
       kHole},
      {{"GTiff", "scaled.tif", GDT_Int16, "EPSG:4326", kQuarterDegree, kHole, "ft", 0.5, 10},
       {610, 615, 620, 625, 660, kGeoUndefinedFallback, 670, 675, 710, 715, 720, 1764},
       "WGS 84",
       quarter,
       GeoUnit::Feet,
       kGeoUndefinedFallback},
      {{"AAIGrid", "dem.asc", GDT_Float32, "", kQuarterDegree, kHole},
       kStored,
       "",
       quarter,
       GeoUnit::Unknown,
       kHole},
      {{"EHdr", "dem.bil", GDT_Int16, "EPSG:4258", kQuarterDegree, kHole},
       kStored,
       "ETRS89",
       quarter,
       GeoUnit::Unknown,
       kHole},
      {{"PNG", "dem.png", GDT_UInt16, "", {}, std::nullopt},
       {1200, 1210, 1220, 1230, 1300, 0, 1320, 1330, 1400, 1410, 1420, 3508},
       "",
       std::nullopt,
       GeoUnit::Unknown,
       std::nullopt},
  };
  const testing::ScratchDir dir;
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.spec.file);
    std::string error;
    const auto source = GeoSource::open(writeRaster(dir, c.spec, 4, 3, kStored), 1, error);
    ASSERT_NE(source, nullptr) << error;
    ASSERT_EQ(source->width(), 4);
    ASSERT_EQ(source->height(), 3);
    EXPECT_THAT(readAll(*source), ElementsAreArray(c.values));
    EXPECT_EQ(source->placement().crsName, c.crsName);
    EXPECT_EQ(source->placement().crsAssumed, *c.spec.crs == '\0' && c.corners.has_value());
    ASSERT_EQ(source->placement().corners.has_value(), c.corners.has_value());
    if (c.corners) {
      EXPECT_NEAR(source->placement().corners->swLat, c.corners->swLat, 1e-7);
      EXPECT_NEAR(source->placement().corners->swLon, c.corners->swLon, 1e-7);
      EXPECT_NEAR(source->placement().corners->neLat, c.corners->neLat, 1e-7);
      EXPECT_NEAR(source->placement().corners->neLon, c.corners->neLon, 1e-7);
    }
    EXPECT_EQ(source->band().unit, c.unit);
    EXPECT_EQ(source->undefinedValue(), c.undefined);
  }
}

// GDAL's own warped view of the same file, for comparison.
struct Reference {
  GDALDatasetUniquePtr source;
  GDALDatasetUniquePtr warped;
};

Reference gdalWarpOf(const std::string& path) {
  Reference r;
  r.source.reset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  char* wkt = nullptr;
  wgs84.exportToWkt(&wkt);
  r.warped.reset(GDALDataset::FromHandle(GDALAutoCreateWarpedVRT(
      GDALDataset::ToHandle(r.source.get()), nullptr, wkt, GRA_Bilinear, 0.125, nullptr)));
  CPLFree(wkt);
  return r;
}

TEST(GeoSource, ReadsProjectedAndRotatedRastersAsGdalWarpsThem) {
  const RasterSpec specs[] = {
      {"GTiff", "utm.tif", GDT_Float32, "EPSG:32632", {500000, 100, 0, 5100000, 0, -100}, kHole},
      {"GTiff",
       "rotated.tif",
       GDT_Float32,
       "EPSG:4326",
       {7, 0.001, 0.0004, 46, 0.0004, -0.001},
       kHole},
  };
  constexpr int kWidth = 40;
  constexpr int kHeight = 30;
  std::vector<double> stored;
  for (int row = 0; row < kHeight; ++row) {
    for (int column = 0; column < kWidth; ++column) {
      const bool hole = row >= 10 && row < 14 && column >= 20 && column < 25;
      stored.push_back(hole ? kHole : 500.0 + 3.0 * column + 2.0 * row);
    }
  }
  const testing::ScratchDir dir;
  for (const RasterSpec& spec : specs) {
    SCOPED_TRACE(spec.file);
    const std::string path = writeRaster(dir, spec, kWidth, kHeight, stored);
    std::string error;
    const auto source = GeoSource::open(path, 1, error);
    ASSERT_NE(source, nullptr) << error;
    const Reference gdal = gdalWarpOf(path);
    ASSERT_NE(gdal.warped, nullptr);
    const int width = gdal.warped->GetRasterXSize();
    const int height = gdal.warped->GetRasterYSize();
    ASSERT_EQ(source->width(), width);
    ASSERT_EQ(source->height(), height);
    GeoTransform t{};
    gdal.warped->GetGeoTransform(t.data());
    const GeoCorners& corners = *source->placement().corners;
    EXPECT_NEAR(corners.swLat, t[3] + (height - 0.5) * t[5], 1e-9);
    EXPECT_NEAR(corners.swLon, t[0] + 0.5 * t[1], 1e-9);
    EXPECT_NEAR(corners.neLat, t[3] + 0.5 * t[5], 1e-9);
    EXPECT_NEAR(corners.neLon, t[0] + (width - 0.5) * t[1], 1e-9);
    std::vector<double> expected(static_cast<std::size_t>(width) * height);
    GDALRasterBand* band = gdal.warped->GetRasterBand(1);
    ASSERT_EQ(band->RasterIO(GF_Read, 0, 0, width, height, expected.data(), width, height,
                             GDT_Float64, 0, 0, nullptr),
              CE_None);
    const std::vector<double> values = readAll(*source);
    int holes = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
      const bool undefined = expected[i] == band->GetNoDataValue();
      holes += undefined;
      EXPECT_NEAR(values[i], undefined ? kHole : expected[i], 1e-3) << "cell " << i;
    }
    EXPECT_GT(holes, 0);
  }
}

std::string openError(const std::string& path, int band = 1) {
  std::string error;
  EXPECT_EQ(GeoSource::open(path, band, error), nullptr);
  return error;
}

std::string writeTwoTableGeoPackage(const testing::ScratchDir& dir) {
  const std::string path = dir.path("two.gpkg");
  GDALDriver* gpkg = GetGDALDriverManager()->GetDriverByName("GPKG");
  for (const char* table : {"RASTER_TABLE=a", "RASTER_TABLE=b"}) {
    const char* options[] = {table, "APPEND_SUBDATASET=YES", nullptr};
    GDALDatasetUniquePtr one(
        GetGDALDriverManager()->GetDriverByName("MEM")->Create("", 4, 4, 1, GDT_Byte, nullptr));
    GeoTransform t = kQuarterDegree;
    one->SetGeoTransform(t.data());
    GDALDatasetUniquePtr(gpkg->CreateCopy(path.c_str(), one.get(), FALSE,
                                          const_cast<char**>(options), nullptr, nullptr));
  }
  return path;
}

std::string vrtOfSize(const testing::ScratchDir& dir, const char* name, int width, int height) {
  return dir.write(name, "<VRTDataset rasterXSize=\"" + std::to_string(width) +
                             "\" rasterYSize=\"" + std::to_string(height) +
                             "\"><VRTRasterBand dataType=\"Byte\" band=\"1\"/></VRTDataset>");
}

TEST(GeoSource, RefusesWhatItCannotReadNamingTheFileAndTheReason) {
  const testing::ScratchDir dir;
  const std::string tif = writeRaster(
      dir, {"GTiff", "dem.tif", GDT_Int16, "EPSG:4326", kQuarterDegree, kHole}, 4, 3, kStored);
  const std::string local = writeRaster(
      dir, {"GTiff", "local.tif", GDT_Int16, "LOCAL_CS[\"arbitrary\"]", kQuarterDegree, kHole}, 4,
      3, kStored);
  const std::string mars = writeRaster(
      dir,
      {"GTiff", "mars.tif", GDT_Int16,
       "GEOGCS[\"Mars "
       "2000\",DATUM[\"D_Mars_2000\",SPHEROID[\"Mars_2000_IAU_IAG\",3396190,169.89444722361]],"
       "PRIMEM[\"Greenwich\",0],UNIT[\"Decimal_Degree\",0.0174532925199433]]",
       kQuarterDegree, kHole},
      4, 3, kStored);
  const std::string missing = dir.path("missing.tif");
  const std::string text = dir.write("notes.txt", "not a raster\n");
  const std::string gpkg = writeTwoTableGeoPackage(dir);
  const std::string wide = vrtOfSize(dir, "wide.vrt", 16777217, 1);
  const std::string huge = vrtOfSize(dir, "huge.vrt", 50000, 50000);
  EXPECT_EQ(openError(missing),
            missing + ": cannot be opened as a raster: No such file or directory");
  EXPECT_EQ(openError(text), text + ": cannot be opened as a raster: `" + text +
                                 "' not recognized as a supported file format.");
  EXPECT_EQ(openError(gpkg),
            gpkg + ": holds no raster band of its own; open one of its subdatasets, such as GPKG:" +
                gpkg + ":a");
  EXPECT_EQ(openError(tif, 2), tif + ": has no band 2 (it has one band)");
  EXPECT_EQ(openError(tif, 0), tif + ": has no band 0 (it has one band)");
  EXPECT_EQ(openError(wide),
            wide + ": 16777217 x 1 cells: a DED file counts at most 16777216 posts a side");
  EXPECT_EQ(openError(huge),
            huge + ": 50000 x 50000 cells: more than the 2147483647 values a raster can hold");
  EXPECT_EQ(openError(local),
            local +
                ": its coordinate reference system \"arbitrary\" cannot be transformed to WGS 84: "
                "Cannot find coordinate operations from "
                "`ENGCRS[\"arbitrary\",EDATUM[\"\"],CS[Cartesian,2],AXIS[\"(E)\",east,ORDER[1],"
                "LENGTHUNIT[\"metre\",1,ID[\"EPSG\",9001]]],AXIS[\"(N)\",north,ORDER[2],LENGTHUNIT["
                "\"metre\",1,ID[\"EPSG\",9001]]]]' to `EPSG:4326'");
  EXPECT_EQ(openError(mars), mars +
                                 ": its coordinate reference system \"Mars 2000\" cannot be "
                                 "transformed to WGS 84: PROJ: proj_create_operations: Source and "
                                 "target ellipsoid do not belong to the same celestial body");
  const auto refused = sxhost::AllocationFailure::above(64);
  EXPECT_EQ(openError(tif), tif + ": a block of 3 rows of 4 values (96 bytes) cannot be allocated");
}

TEST(GeoSource, ReportsRowsItCannotRead) {
  const testing::ScratchDir dir;
  const std::string path = dir.write("gone.vrt", R"(<VRTDataset rasterXSize="4" rasterYSize="3">
  <VRTRasterBand dataType="Int16" band="1"><SimpleSource>
    <SourceFilename relativeToVRT="1">gone.tif</SourceFilename><SourceBand>1</SourceBand>
  </SimpleSource></VRTRasterBand></VRTDataset>)");
  std::string error;
  const auto source = GeoSource::open(path, 1, error);
  ASSERT_NE(source, nullptr) << error;
  std::vector<double> row(5);
  EXPECT_FALSE(source->readRow(0, std::span(row).first(4)));
  EXPECT_EQ(source->lastError(), path + ": rows 1 to 3 cannot be read: " + dir.path("gone.tif") +
                                     ": No such file or directory");
  EXPECT_FALSE(source->readRow(3, std::span(row).first(4)));
  EXPECT_EQ(source->lastError(), path + ": row 4 of 4 values is outside the 4 x 3 grid");
  EXPECT_FALSE(source->readRow(0, row));
  EXPECT_EQ(source->lastError(), path + ": row 1 of 5 values is outside the 4 x 3 grid");
}

TEST(GeoSource, ReadsRowsInAnyOrderWhenABlockHoldsOneRow) {
  // One row of this width passes the block size, so every row is a block of its own.
  constexpr int kWidth = static_cast<int>(kGeoBlockBytes / sizeof(double)) + 1;
  std::vector<double> stored;
  for (const double value : {10.0, 20.0, 30.0})
    stored.insert(stored.end(), kWidth, value);
  stored[kWidth - 1] = 11.0;
  const testing::ScratchDir dir;
  const RasterSpec spec{"GTiff", "wide.tif", GDT_Byte, "", {}, std::nullopt};
  std::string error;
  const auto source = GeoSource::open(writeRaster(dir, spec, kWidth, 3, stored), 1, error);
  ASSERT_NE(source, nullptr) << error;
  std::vector<double> row(kWidth);
  for (const auto& [index, first, last] :
       {std::tuple{2, 30.0, 30.0}, {0, 10.0, 11.0}, {1, 20.0, 20.0}, {2, 30.0, 30.0}}) {
    ASSERT_TRUE(source->readRow(index, row)) << source->lastError();
    EXPECT_EQ(row.front(), first) << "row " << index;
    EXPECT_EQ(row.back(), last) << "row " << index;
  }
}

}  // namespace
}  // namespace relievo
