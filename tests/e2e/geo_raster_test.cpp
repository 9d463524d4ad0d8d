// A geo raster in the dialog: the file's size, bands, unit, undefined-data value and place on
// the globe shown as the user sees them, and the user's edits converted. How each kind of file
// is read is the geo source's unit tests' case, its posts the command's.
#include <cstdio>

#include "e2e_support.h"
#include "geo_inputs.h"

namespace relievo::e2e {
namespace {

using Texts = std::vector<std::string>;

TEST_F(RelievoTest, GeoWalkOverARasterOfTwoBands) {
  GeoInput input = writeGeoInputs(dir)[1];
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
  c(kDecimal).press();
  chooseFile(vrt);
  expectShown({kBandLabel, kBandList, kPlacementLabel, kPlacement});
  EXPECT_EQ(c(kBandList).items(), (Texts{"1: surface", "2: surface + 1000"}));
  // Posts from 45.125 to 45.875 N, 7.125 to 8.375 E.
  expectTexts({{kWidth, "6"},
               {kHeight, "4"},
               {kPlacement, "WGS 84"},
               {kUndefinedValue, "-9999"},
               {kSwLat, "45.125000000"},
               {kSwLon, "7.125000000"},
               {kNeLat, "45.875000000"},
               {kNeLon, "8.375000000"}});
  EXPECT_TRUE(c(kHasUndefined).checked() && c(kUnitsMenu).selectedPos() == 4);
  // The file gives the grid and its rows' order: the user cannot change them.
  expectEnabled({kWidth, kHeight, kRows, kCols, kUpperLeft}, false);

  // The band and the extents stay the user's, and loading the same file again (here when the
  // dialog shows again) keeps what the user entered.
  c(kBandList).select(2);
  c(kSwLat).type("45.5");
  c(kRound).press();
  main().close();
  start();
  generate(dir.path("two.ded"));
  for (double& v : input.values)
    v += 1000.0;
  input.corners[0] = 45.5f;
  expectGeoDed(DedFile::read(dir.path("two.ded")), input, true);
}

}  // namespace
}  // namespace relievo::e2e
