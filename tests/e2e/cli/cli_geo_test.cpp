// Geo rasters through the command: each input named alone, its kind told from its content,
// every post checked; and what the command says of a raster it cannot convert (the reasons
// the geo source itself gives are its unit tests' case).
#include <gdal.h>

#include "cli_test_support.h"
#include "geo_inputs.h"

namespace relievo::e2e {
namespace {

using CliGeo = CliTest;

TEST_F(CliGeo, EachInputNamedAloneIsToldFromItsContentAndConverted) {
  const std::vector<GeoInput> inputs = writeGeoInputs(dir);
  for (const GeoInput& input : inputs) {
    SCOPED_TRACE(input.name);
    const RunResult r = ok(input.name + " -o " + input.name + ".ded");
    EXPECT_THAT(r.out, HasSubstr("Source:     Geo Raster " + abs(input.name) + ", "));
    EXPECT_THAT(r.out, HasSubstr("\nCRS:        " + input.placement + "\n"));
    // Only the PNG lies nowhere: it keeps the corners it finds.
    EXPECT_EQ(r.err.find("relievo: warning: no georeferencing: placed at SW 0,0, NE 1,1\n") !=
                  std::string::npos,
              input.placement == "none")
        << r.err;
    expectGeoDed(DedFile::read(path(input.name + ".ded")), input, false);
  }
  ok("dem.tif --round -o round.ded");
  expectGeoDed(DedFile::read(path("round.ded")), inputs[1], true);
  const RunResult image = ok("--source image dem16.png -o image.ded");
  EXPECT_THAT(image.err,
              HasSubstr("relievo: warning: dem16.png holds 16 bits a sample; the image "
                        "source reads 8 bits a channel (--source geo reads them all)\n"));
}

TEST_F(CliGeo, RastersThatCannotBeConvertedSayWhichAndWhy) {
  writeGeoInputs(dir);
  for (const auto& [name, width] : {std::pair{"wide.vrt", 16777217}, {"huge.vrt", 50000}}) {
    writeFile(path(name), "<VRTDataset rasterXSize=\"" + std::to_string(width) +
                              "\" rasterYSize=\"" + std::to_string(width == 50000 ? width : 1) +
                              "\"><VRTRasterBand dataType=\"Byte\" band=\"1\"/></VRTDataset>");
  }
  writeFile(path("notes.txt"), "not a raster\n");
  writeFile(path("bytes.raw"), std::string("\x80\x81\x82\x83", 4));
  // The .hdr of grid.bil describes this file too, which is shorter than the grid it gives.
  writeFile(path("grid.raw"), std::string("\x80\x81\x82\x83", 4));
  const std::vector<std::string> before = files();
  const std::string kinds =
      "; choose the kind of source with --source ascii|binary|image|fractal|geo\n";
  const std::string unloaded = "relievo: nothing was loaded: ";
  const struct {
    std::string args;
    int code;
    std::string err;
  } cases[] = {
      {"--source geo notes.txt", 1,
       unloaded + abs("notes.txt") + ": cannot be opened as a raster: `" + abs("notes.txt") +
           "' not recognized as a supported file format.\n"},
      {"dem.tif --band 2", 1, "relievo: --band 2: " + abs("dem.tif") + " has one band\n"},
      {"--source geo wide.vrt", 1,
       unloaded + abs("wide.vrt") +
           ": 16777217 x 1 cells: a DED file counts at most 16777216 posts a side\n"},
      {"--source geo huge.vrt", 1,
       unloaded + abs("huge.vrt") +
           ": 50000 x 50000 cells: more than the 2147483647 values a raster can hold\n"},
      {"bytes.raw", 2,
       "relievo: bytes.raw: neither a raster GDAL reads, nor an image, nor text" + kinds},
      {"grid.raw", 1,
       unloaded + abs("grid.raw") + ": rows 1 to 4 cannot be read: Failed to read scanline 0.\n"},
  };
  for (const auto& c : cases) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.code) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
  }
  EXPECT_EQ(files(), before);
  EXPECT_EQ(ok("--version").out,
            std::string("relievo 3.0.0\n") + GDALVersionInfo("--version") + "\n");
}

}  // namespace
}  // namespace relievo::e2e
