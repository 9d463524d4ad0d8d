#include "raster/geo_band.h"

#include <gtest/gtest.h>

namespace relievo {
namespace {

TEST(GeoBand, KnowsMetresAndFeetByTheirCommonNames) {
  const std::pair<const char*, GeoUnit> cases[] = {
      {"m", GeoUnit::Metres},
      {"Metre", GeoUnit::Metres},
      {"METERS", GeoUnit::Metres},
      {"ft", GeoUnit::Feet},
      {"feet", GeoUnit::Feet},
      {"Foot", GeoUnit::Feet},
      {"US survey foot", GeoUnit::Feet},
      {"", GeoUnit::Unknown},
      {"km", GeoUnit::Unknown},
      {"mm", GeoUnit::Unknown},
  };
  for (const auto& [name, unit] : cases)
    EXPECT_EQ(geoUnitOf(name), unit) << name;
}

TEST(GeoBand, TellsUndefinedCellsAndWhatTheyArriveAs) {
  GeoBand band;
  band.nodata = -9999.0;
  EXPECT_TRUE(band.isUndefined(-9999.0));
  EXPECT_FALSE(band.isUndefined(-9998.0));
  EXPECT_TRUE(band.isUndefined(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(band.undefinedValue(), -9999.0);
  band.nodata = -3.4028234663852886e38;  // the usual NODATA of 32-bit float rasters
  EXPECT_EQ(band.undefinedValue(), kGeoUndefinedFallback);
  band.nodata = 0.1;
  band.singlePrecision = true;
  EXPECT_TRUE(band.isUndefined(static_cast<float>(0.1)));
  EXPECT_EQ(band.undefinedValue(), kGeoUndefinedFallback);
}

}  // namespace
}  // namespace relievo
