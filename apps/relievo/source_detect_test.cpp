#include "source_detect.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "relievo_testing/error_of.h"
#include "relievo_testing/geo_files.h"

namespace relievo::cli {
namespace {

using relievo::testing::RasterRecipe;
using relievo::testing::ScratchDir;

constexpr relievo::testing::Transform kDegrees{7.0, 0.25, 0.0, 46.0, 0.0, -0.25};

// The kind a file is taken for, or the reason given when it is taken for none.
std::string kindOf(const std::string& path) {
  std::string kind;
  const std::string error = relievo::testing::errorOf<UsageError>(
      [&] { kind = sourceKindRow(detectSourceKind(path)).word; });
  return kind.empty() ? error : kind;
}

TEST(SourceDetect, TellsEachKindFromTheContent) {
  const ScratchDir dir;
  const auto raster = [&](const RasterRecipe& recipe) {
    return relievo::testing::writeRaster(dir, recipe, 2, 2, {1, 2, 3, 4});
  };
  const std::string worldFile = raster({"PNG", "placed.png", GDT_Byte, "", {}});
  dir.write("placed.wld", "0.25\n0\n0\n-0.25\n7.125\n45.875\n");
  const std::pair<std::string, std::string> cases[] = {
      // the path, its kind
      {raster({"GTiff", "geographic.tif", GDT_Byte, "EPSG:4326", kDegrees}), "geo"},
      {raster({"AAIGrid", "header.asc", GDT_Int16, "", kDegrees}), "geo"},
      {raster({"EHdr", "sidecar.bil", GDT_Byte, "", {}}), "geo"},
      {raster({"PNG", "deep.png", GDT_UInt16, "", {}}), "geo"},
      {raster({"GTiff", "deep.tif", GDT_Float32, "", {}}), "geo"},
      {worldFile, "geo"},
      {raster({"PNG", "grey.png", GDT_Byte, "", {}}), "image"},
      {dir.write("grid.txt", "1 2 3\n4 5 6\n7 8 10\n"), "ascii"},
      {dir.write("points.xyz", "0 0 1\n1 0 2\n0 1 3\n1 1 4\n"), "ascii"},
      {raster({"GTiff", "plain.tif", GDT_Byte, "", {}}),
       dir.path("plain.tif") +
           ": a GTiff raster of 8 bits a sample with no georeferencing; choose the kind of source "
           "with --source ascii|binary|image|fractal|geo"},
      {dir.write("grid.raw", std::string("\x01\x80\x02\x90", 4)),
       dir.path("grid.raw") +
           ": neither a raster GDAL reads, nor an image, nor text; choose the kind of source "
           "with --source ascii|binary|image|fractal|geo"},
  };
  for (const auto& [path, kind] : cases)
    EXPECT_EQ(kindOf(path), kind) << path;
  EXPECT_EQ(sampleBits(dir.path("deep.png")), 16);
  EXPECT_EQ(sampleBits(dir.path("grid.raw")), 0);
}

}  // namespace
}  // namespace relievo::cli
