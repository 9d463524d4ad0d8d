// A raster file opened through GDAL: the dataset behind an owner that closes it, its size,
// its bands, and the limits of a grid that the converter can take.
#ifndef RELIEVO_RASTER_GEO_DATASET_H
#define RELIEVO_RASTER_GEO_DATASET_H

#include <gdal_priv.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "raster/geo_band.h"

namespace relievo {

// A DED file counts its posts in 32-bit floats, which hold whole numbers exactly up to 2^24.
inline constexpr std::int64_t kGeoMaxPostsASide = std::int64_t{1} << 24;

// "" when a grid of width x height can be converted; otherwise why not, starting with its
// size ("20000000 x 1 cells: ..."): more posts a side than a DED file counts, or more
// values than the raster record counts in an int.
std::string geoSizeProblem(std::int64_t width, std::int64_t height);

class GeoDataset {
 public:
  // Opens `path` read-only as a raster of at least one band. Null on failure, with `error`
  // "<path>: cannot be opened as a raster: <GDAL's reason>", "<path>: holds no raster
  // band", or, for a container of rasters, "<path>: holds no raster band of its own; open
  // one of its subdatasets, such as <the first one's name>".
  static std::unique_ptr<GeoDataset> open(std::string_view path, std::string& error);

  // Takes over an opened dataset; open() is the way to make one from a file.
  GeoDataset(std::string path, GDALDatasetUniquePtr dataset);
  // Closes the dataset; GDAL's messages while it closes are dropped.
  ~GeoDataset();
  GeoDataset(const GeoDataset&) = delete;
  GeoDataset& operator=(const GeoDataset&) = delete;

  const std::string& path() const { return path_; }
  GDALDataset& gdal() const { return *dataset_; }
  int width() const { return dataset_->GetRasterXSize(); }
  int height() const { return dataset_->GetRasterYSize(); }
  int bandCount() const { return dataset_->GetRasterCount(); }
  std::vector<GeoBandEntry> bands() const;

 private:
  std::string path_;
  GDALDatasetUniquePtr dataset_;
};

}  // namespace relievo

#endif  // RELIEVO_RASTER_GEO_DATASET_H
