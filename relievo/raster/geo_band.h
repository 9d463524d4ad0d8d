// One band of a geo raster as elevations: how its stored values become values (scale and
// offset), which stored values are undefined (its NODATA value, and anything not finite),
// and the unit it states.
#ifndef RELIEVO_RASTER_GEO_BAND_H
#define RELIEVO_RASTER_GEO_BAND_H

#include <optional>
#include <string>
#include <string_view>

class GDALRasterBand;

namespace relievo {

struct GeoBandEntry {
  int number;               // 1-based, as GDAL counts bands
  std::string description;  // as the file states it; often ""
};

enum class GeoUnit { Unknown, Metres, Feet };

// Metres for "m", "metre(s)", "meter(s)"; Feet for "ft", "foot", "feet", "US survey foot"
// and the other spellings of the survey foot; Unknown otherwise. Case does not matter.
GeoUnit geoUnitOf(std::string_view unitName);

// The value the converter receives for an undefined cell when the file gives none it can
// use as it is (see GeoBand::undefinedValue): the DED format's own null post.
inline constexpr double kGeoUndefinedFallback = -32768.0;

struct GeoBand {
  double scale = 1.0;  // value = stored value x scale + offset
  double offset = 0.0;
  std::optional<double> nodata;  // the stored value that marks an undefined cell
  bool floatingPoint = false;    // stored as floats, which can hold NaN
  bool singlePrecision = false;  // stored as 32-bit floats: NODATA is compared at that precision
  GeoUnit unit = GeoUnit::Unknown;
  std::string unitName;  // as the file states it

  // True when the stored value marks an undefined cell: it is not finite, or it equals
  // the NODATA value.
  bool isUndefined(double stored) const;
  // What an undefined cell is delivered as: the NODATA value itself when the values are
  // neither scaled nor offset and it is a whole number that an int holds (so that the
  // converter's test, the value truncated equals the null value, finds it), otherwise
  // kGeoUndefinedFallback.
  double undefinedValue() const;
};

// The facts of `band` as GDAL reports them.
GeoBand geoBandOf(GDALRasterBand& band);

}  // namespace relievo

#endif  // RELIEVO_RASTER_GEO_BAND_H
