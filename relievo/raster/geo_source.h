// A geo raster source: one band of any raster file GDAL reads, placed on the globe by its
// own georeferencing, read row by row as elevations.
//
// The raster record of a geo raster keeps its GeoSource for its whole life: the file stays
// open, and every pass over the record (range scan, previews, Generate DED) reads the rows
// again through GDAL, a block of rows at a time into one buffer from the host's memory.
// Rows come north row first, with the band's scale and offset applied; undefined cells
// come as undefinedValue(). A raster that is not a north-up geographic grid is read through
// GDAL's warper, so that width(), height() and the corners are those of the WGS 84 grid
// the rows are read on.
//
// No GDAL message reaches the caller without the file's name: every failure is a message
// that starts with the path.
#ifndef RELIEVO_RASTER_GEO_SOURCE_H
#define RELIEVO_RASTER_GEO_SOURCE_H

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "raster/geo_band.h"
#include "raster/geo_georef.h"
#include "raster/host_memory.h"

class GDALDataset;
class GDALRasterBand;

namespace relievo {

class GeoDataset;

// Bytes of the block of rows that a source reads at a time (at least one row).
inline constexpr std::size_t kGeoBlockBytes = std::size_t{4} << 20;

class GeoSource {
  struct Key {
    explicit Key() = default;
  };

 public:
  // Opens band `band` (1-based) of the file at `path`. Null on failure, with `error` one of
  // GeoDataset::open's messages, "<path>: has no band N (its bands are 1 to M)",
  // geoPlace's and geoWarpToWgs84's messages, "<path>: W x H cells: ..." from
  // geoSizeProblem, or "<path>: a block of R rows of W values (B bytes) cannot be
  // allocated" when the host refuses the buffer.
  static std::unique_ptr<GeoSource> open(std::string_view path, int band, std::string& error);

  explicit GeoSource(Key);
  // Closes the warped dataset, then the file, and gives the buffer back to the host.
  ~GeoSource();
  GeoSource(const GeoSource&) = delete;
  GeoSource& operator=(const GeoSource&) = delete;

  const std::string& path() const { return path_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Every band of the file, for choosing one.
  const std::vector<GeoBandEntry>& bands() const { return bands_; }
  const GeoBand& band() const { return band_; }
  // How the grid is placed; corners are those of the grid read, known unless the kind is
  // None.
  const GeoPlacement& placement() const { return placement_; }
  // What undefined cells arrive as; none when the band can have none (no NODATA value,
  // whole-number values, not warped).
  std::optional<double> undefinedValue() const;

  // Stores the first out.size() values of row `row` (0 = north) in `out`. Reading rows in
  // ascending order costs one GDAL read per block. False when the row or the size is out
  // of range or GDAL cannot read, with lastError() saying why, naming the file.
  bool readRow(int row, std::span<double> out);
  const std::string& lastError() const { return lastError_; }

 private:
  struct DatasetClose {
    void operator()(GDALDataset* dataset) const;
  };

  bool openBand(std::string_view path, int band, std::string& error);
  bool place(std::string& error);
  bool allocateBlock(std::string& error);
  bool readBlock(int firstRow);

  std::string path_;
  std::unique_ptr<GeoDataset> dataset_;
  std::unique_ptr<GDALDataset, DatasetClose> warped_;  // closed before dataset_, which it reads
  GDALRasterBand* readBand_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::vector<GeoBandEntry> bands_;
  GeoBand band_;
  GeoPlacement placement_;
  HostBlock<double> block_;
  int blockCapacity_ = 0;  // rows the buffer holds
  int blockFirst_ = 0;     // first row in the buffer
  int blockRows_ = 0;      // rows in the buffer; 0 before the first read
  std::string lastError_;
};

// Frees a source that a record holds as a plain pointer (from unique_ptr::release()); null
// is allowed.
void geoSourceFree(GeoSource* source);

}  // namespace relievo

#endif  // RELIEVO_RASTER_GEO_SOURCE_H
