#include "geo_inputs.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "relievo_testing/geo_files.h"

namespace relievo::e2e {

namespace {

using testing::RasterRecipe;

constexpr int kWidth = 6;
constexpr int kHeight = 4;
constexpr double kHole = -9999.0;
constexpr int kNull = -32768;  // "DED NULL"
constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();
// Quarter-degree cells from 7 E, 46 N: posts from 45.125 to 45.875 N, 7.125 to 8.375 E.
constexpr testing::Transform kDegrees{7.0, 0.25, 0.0, 46.0, 0.0, -0.25};
constexpr std::array<float, 4> kDegreeCorners{45.125f, 45.875f, 7.125f, 8.375f};
// 100 m cells of UTM zone 32 N, near 46 N 9 E.
constexpr testing::Transform kUtm{500000.0, 100.0, 0.0, 5095000.0, 0.0, -100.0};
constexpr int kUnitsFeet = 2;
constexpr int kUnitsMeters = 4;
constexpr double kFeet = 0.3048f;  // the units table's single-precision scale

// The terrain, north row first, with one hole; whole metres for the integer formats. A float
// value has a fraction, so that truncating and rounding differ.
std::vector<double> terrain(bool whole, double hole) {
  std::vector<double> values;
  for (int row = 0; row < kHeight; ++row) {
    for (int column = 0; column < kWidth; ++column) {
      const double v = 500.0 + 37.25 * column - 19.5 * row;
      values.push_back(row == 1 && column == 2 ? hole : whole ? std::floor(v) : v);
    }
  }
  return values;
}

float spacing(float start, float end, int posts) {
  return static_cast<float>(std::fabs(double(end) - start) * 36000.0 / (posts - 1));
}

}  // namespace

std::vector<GeoInput> writeGeoInputs(const ScratchDir& dir) {
  const auto write = [&](const RasterRecipe& recipe, const std::vector<double>& values) {
    testing::writeRaster(dir, recipe, kWidth, kHeight, values);
  };
  const std::vector<double> fractions = terrain(false, kHole);
  write({"GTiff", "dem.tif", GDT_Float32, "EPSG:4326", kDegrees, kHole, "metre"}, fractions);
  write({"GTiff", "utm.tif", GDT_Float32, "EPSG:32632", kUtm, kHole, "ft"}, fractions);
  write({"AAIGrid", "dem.asc", GDT_Float32, "", kDegrees, kHole}, fractions);
  write({"EHdr", "grid.bil", GDT_Int16, "EPSG:4326", kDegrees, kHole}, terrain(true, kHole));
  write({"PNG", "dem16.png", GDT_UInt16, "", {}}, terrain(true, 0.0));

  const testing::WarpedRaster utm = testing::warpedByGdal(dir.path("utm.tif"));
  const testing::Transform& t = utm.transform;
  const auto centre = [](double edge, double step, int cells) {
    return edge + (cells - 0.5) * step;
  };
  const std::array<float, 4> utmCorners{float(centre(t[3], t[5], utm.height)),
                                        float(centre(t[3], t[5], 1)), float(centre(t[0], t[1], 1)),
                                        float(centre(t[0], t[1], utm.width))};
  const auto degrees = [&](const char* name, const char* placement, bool whole) {
    return GeoInput{
        name, placement, kUnitsMeters, kWidth, kHeight, terrain(whole, kUndefined), kDegreeCorners};
  };
  return {
      {"dem16.png", "none", kUnitsMeters, kWidth, kHeight, terrain(true, 0.0), {0, 1, 0, 1}},
      degrees("dem.tif", "WGS 84", false),
      degrees("dem.asc", "none stated, taken as WGS 84", false),
      degrees("grid.bil", "WGS 84", true),
      {"utm.tif", "WGS 84 / UTM zone 32N, warped to WGS 84", kUnitsFeet, utm.width, utm.height,
       utm.values, utmCorners},
  };
}

void expectGeoDed(const DedFile& ded, const GeoInput& input, bool round) {
  SCOPED_TRACE(input.name + (round ? ", rounded" : ", truncated"));
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (const double v : input.values) {
    if (std::isnan(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  // The DED range is the data's in metres, so each post is its value in metres.
  const double scale = input.units == kUnitsFeet ? kFeet : 1.0;
  const auto post = [&](double metres) {
    return static_cast<int>(round ? std::round(metres) : std::trunc(metres));
  };
  const auto [swLat, neLat, swLon, neLon] = input.corners;
  expectDed(ded, {{post(low * scale), post(high * scale)},
                  input.corners,
                  spacing(swLat, neLat, input.height),
                  spacing(swLon, neLon, input.width),
                  input.height,
                  input.width});
  // DED order: column after column, each from the south; the values' first row is the north.
  std::vector<std::int16_t> posts;
  for (int column = 0; column < input.width; ++column) {
    for (int south = 0; south < input.height; ++south) {
      const double v = input.values[(input.height - 1 - south) * input.width + column];
      posts.push_back(static_cast<std::int16_t>(std::isnan(v) ? kNull : post(v * scale)));
    }
  }
  EXPECT_EQ(ded.posts(), posts);
}

}  // namespace relievo::e2e
