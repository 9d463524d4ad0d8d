// Geo rasters in the dialog: the file's size, bands, unit, undefined-data value and place on
// the globe shown as the user sees them, and the user's edits converted.
#include <cstdio>

#include "e2e_support.h"
#include "geo_inputs.h"

namespace relievo::e2e {
namespace {

using Texts = std::vector<std::string>;

std::string degrees(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9f", value);
  return text;
}

// The posts of every input are the command's tests' case; here what the dialog shows of each.
TEST_F(RelievoTest, GeoRastersShowWhatTheirFilesState) {
  const std::vector<GeoInput> inputs = writeGeoInputs(dir);
  start();
  c(kSourceKind).select(kGeo);
  c(kDecimal).press();
  expectVisible({kBandLabel, kBandList, kPlacementLabel, kPlacement}, true);
  expectVisible({kOffset, kScanFile, kComponentGroup, kSeedLabel}, false);
  for (const GeoInput& input : inputs) {
    SCOPED_TRACE(input.name);
    chooseFile(dir.path(input.name));
    const auto [swLat, neLat, swLon, neLon] = input.corners;
    expectTexts({{kWidth, std::to_string(input.width)},
                 {kHeight, std::to_string(input.height)},
                 {kPlacement, input.placement},
                 {kUndefinedValue, input.hasUndefined ? "-9999" : "N/A"},
                 {kSwLat, degrees(swLat)},
                 {kSwLon, degrees(swLon)},
                 {kNeLat, degrees(neLat)},
                 {kNeLon, degrees(neLon)}});
    EXPECT_EQ(c(kBandList).items(), Texts{"1"});
    EXPECT_EQ(c(kUnitsMenu).selectedPos(), input.units);
    EXPECT_EQ(c(kHasUndefined).checked(), input.hasUndefined);
    // The file gives the grid and its rows' order: the user cannot change them.
    expectEnabled({kWidth, kHeight, kRows, kCols, kUpperLeft}, false);
  }

  // The extents stay editable, and loading the same file again (here when the dialog shows
  // again) keeps what the user entered.
  GeoInput edited = inputs[1];
  chooseFile(dir.path(edited.name));
  c(kSwLat).type("45.5");
  c(kRound).press();
  main().close();
  start();
  generate(dir.path("edited.ded"));
  edited.corners[0] = 45.5f;
  expectGeoDed(DedFile::read(dir.path("edited.ded")), edited, true);
}

TEST_F(RelievoTest, TheBandListOffersEveryBandWithItsDescription) {
  const GeoInput input = writeGeoInputs(dir)[1];
  const std::string band = R"(<VRTRasterBand dataType="Float64" band="%d">
    <Description>%s</Description><NoDataValue>-9999</NoDataValue><ComplexSource>
    <SourceFilename relativeToVRT="1">dem.tif</SourceFilename><SourceBand>1</SourceBand>
    <ScaleOffset>%d</ScaleOffset><NODATA>-9999</NODATA></ComplexSource></VRTRasterBand>)";
  char bands[2][1024];
  std::snprintf(bands[0], sizeof bands[0], band.c_str(), 1, "surface", 0);
  std::snprintf(bands[1], sizeof bands[1], band.c_str(), 2, "surface + 1000", 1000);
  const std::string vrt = dir.write(
      "two.vrt", std::string(R"(<VRTDataset rasterXSize="6" rasterYSize="4"><SRS>EPSG:4326</SRS>
    <GeoTransform>7, 0.25, 0, 46, 0, -0.25</GeoTransform>)") +
                     bands[0] + bands[1] + "</VRTDataset>");
  start();
  c(kSourceKind).select(kGeo);
  chooseFile(vrt);
  EXPECT_EQ(c(kBandList).items(), (Texts{"1: surface", "2: surface + 1000"}));
  c(kBandList).select(2);
  generate(dir.path("two.ded"));
  GeoInput shifted = input;
  for (double& v : shifted.values)
    v += 1000.0;
  expectGeoDed(DedFile::read(dir.path("two.ded")), shifted, false);
}

}  // namespace
}  // namespace relievo::e2e
