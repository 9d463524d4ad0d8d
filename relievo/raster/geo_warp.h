// Reading a geo raster that is not a north-up geographic grid: GDAL's warper puts it onto
// a WGS 84 latitude/longitude grid, so that its posts lie where a DED file needs them.
#ifndef RELIEVO_RASTER_GEO_WARP_H
#define RELIEVO_RASTER_GEO_WARP_H

#include <string>

#include "raster/geo_dataset.h"
#include "raster/geo_georef.h"

namespace relievo {

// A virtual dataset of every band of `source` on the north-up WGS 84 grid that GDAL
// suggests (its resolution and extents), interpolated bilinearly in 64-bit floats. Cells
// that are NODATA in the source stay out of the interpolation, and cells that no defined
// source cell reaches are NaN. Nothing is warped until rows are read; `source` must
// outlive the result. A source whose placement assumes its CRS is taken as WGS 84 degrees.
// Null on failure, with `error` the CRS message of geoCrsProblem when the source states a
// CRS, else "<path>: cannot be warped to WGS 84: <GDAL's reason>".
GDALDatasetUniquePtr geoWarpToWgs84(const GeoDataset& source, const GeoPlacement& placement,
                                    std::string& error);

}  // namespace relievo

#endif  // RELIEVO_RASTER_GEO_WARP_H
