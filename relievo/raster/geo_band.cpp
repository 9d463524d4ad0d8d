#include "raster/geo_band.h"

#include <gdal_priv.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

namespace relievo {

namespace {

constexpr std::array<std::string_view, 5> kMetreNames{"m", "metre", "metres", "meter", "meters"};
constexpr std::array<std::string_view, 8> kFootNames{
    "ft", "foot", "feet", "us survey foot", "us-ft", "ftus", "foot_us", "international foot"};

bool listed(std::string_view name, std::span<const std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

GeoUnit geoUnitOf(std::string_view unitName) {
  std::string name(unitName);
  for (char& c : name)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (listed(name, kMetreNames)) return GeoUnit::Metres;
  if (listed(name, kFootNames)) return GeoUnit::Feet;
  return GeoUnit::Unknown;
}

bool GeoBand::isUndefined(double stored) const {
  if (!std::isfinite(stored)) return true;
  if (!nodata) return false;
  if (singlePrecision) return static_cast<float>(stored) == static_cast<float>(*nodata);
  return stored == *nodata;
}

double GeoBand::undefinedValue() const {
  const bool plain = scale == 1.0 && offset == 0.0;
  constexpr double kIntMin = std::numeric_limits<std::int32_t>::min();
  constexpr double kIntMax = std::numeric_limits<std::int32_t>::max();
  if (plain && nodata && std::trunc(*nodata) == *nodata && *nodata >= kIntMin &&
      *nodata <= kIntMax) {
    return *nodata;
  }
  return kGeoUndefinedFallback;
}

GeoBand geoBandOf(GDALRasterBand& band) {
  GeoBand facts;
  int has = 0;
  const double scale = band.GetScale(&has);
  if (has != 0 && std::isfinite(scale) && scale != 0.0) facts.scale = scale;
  const double offset = band.GetOffset(&has);
  if (has != 0 && std::isfinite(offset)) facts.offset = offset;
  const double nodata = band.GetNoDataValue(&has);
  if (has != 0 && !std::isnan(nodata)) facts.nodata = nodata;
  facts.floatingPoint = GDALDataTypeIsFloating(band.GetRasterDataType()) != 0;
  facts.singlePrecision = band.GetRasterDataType() == GDT_Float32;
  facts.unitName = band.GetUnitType();
  facts.unit = geoUnitOf(facts.unitName);
  return facts;
}

}  // namespace relievo
