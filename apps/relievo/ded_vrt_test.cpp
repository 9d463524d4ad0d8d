#include "ded_vrt.h"

#include <gdal_priv.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <stdexcept>

#include "relievo_testing/error_of.h"
#include "relievo_testing/scratch_dir.h"
#include "test_support.h"

namespace relievo::cli {
namespace {

using relievo::testing::errorOf;
using relievo::testing::ScratchDir;
using ::testing::ElementsAre;

// Two records (columns, west to east) of three posts (south to north); corners 45 ... 46
// north and 7 ... 8 east, so the posts are 1 degree apart east-west and 0.5 north-south.
const std::vector<std::int16_t> kPosts{1, 2, -32768, 4, 5, 6};

TEST(DedVrt, GdalReadsTheDedFileNorthUpWithCellsCentredOnThePosts) {
  const ScratchDir dir;
  std::filesystem::create_directory(dir.root() / "elsewhere");
  const std::string ded = dir.write("hill & dale.ded", testing::dedBytes(kPosts, 3, 2));
  GDALAllRegister();
  for (const std::string& vrt : {dir.path("hill.vrt"), dir.path("elsewhere/hill.vrt")}) {
    SCOPED_TRACE(vrt);
    writeDedVrt(readDedFile(ded), vrt);
    const GDALDatasetUniquePtr gdal(GDALDataset::Open(vrt.c_str(), GDAL_OF_RASTER));
    ASSERT_NE(gdal, nullptr);
    ASSERT_EQ(std::pair(gdal->GetRasterXSize(), gdal->GetRasterYSize()), std::pair(2, 3));
    std::array<double, 6> t{};
    ASSERT_EQ(gdal->GetGeoTransform(t.data()), CE_None);
    EXPECT_THAT(t, ElementsAre(6.5, 1.0, 0.0, 46.25, 0.0, -0.5));
    EXPECT_STREQ(gdal->GetSpatialRef()->GetAuthorityCode(nullptr), "4326");
    GDALRasterBand* band = gdal->GetRasterBand(1);
    EXPECT_EQ(band->GetNoDataValue(), -32768.0);
    std::array<std::int16_t, 6> rows{};
    ASSERT_EQ(band->RasterIO(GF_Read, 0, 0, 2, 3, rows.data(), 2, 3, GDT_Int16, 0, 0, nullptr),
              CE_None);
    EXPECT_THAT(rows, ElementsAre(-32768, 6, 2, 5, 1, 4));
  }
}

TEST(DedVrt, RefusesFilesThatCannotBeDescribedAndPathsThatCannotBeWritten) {
  const ScratchDir dir;
  const std::string vrt = dir.write("kept.vrt", "old");
  const std::string empty = dir.write("empty.ded", testing::dedBytes({}, 0, 5));
  const std::string good = dir.write("good.ded", testing::dedBytes(kPosts, 3, 2));
  const auto write = [](const std::string& ded, const std::string& to) {
    // The refusal is the command's, the failed write the host's writer's; both end the run.
    return errorOf<std::runtime_error>([&] { writeDedVrt(readDedFile(ded), to); });
  };
  EXPECT_EQ(write(empty, vrt), empty +
                                   ": no VRT written: its post counts (0 per record, 5 "
                                   "records) are not 1 to 16777216");
  const std::string noFolder = dir.path("none/out.vrt");
  EXPECT_EQ(write(good, noFolder), noFolder + ": cannot be written: No such file or directory");
  EXPECT_EQ(relievo::testing::readFile(vrt), "old");
}

}  // namespace
}  // namespace relievo::cli
