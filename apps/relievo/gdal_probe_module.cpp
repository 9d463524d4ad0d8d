// librelievo_probe.so: the command's questions to GDAL (gdal_probe.h).
#include <cpl_error.h>
#include <gdal_priv.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "gdal_probe.h"

namespace relievo::cli {

namespace {

constexpr int kImageBits = 8;

// Grids of values with their description in the file (a header) or beside it (a header file).
constexpr std::array<std::string_view, 2> kHeaderGrids{"AAIGrid", "GRASSASCIIGrid"};
constexpr std::array<std::string_view, 7> kSidecarGrids{"EHdr", "ENVI", "GenBin", "PAux",
                                                        "MFF",  "ISCE", "EIR"};

// While it lives, GDAL's messages stay off standard error: a file GDAL cannot open is only a
// file of another kind here.
class QuietGdal {
 public:
  QuietGdal() { CPLPushErrorHandler(CPLQuietErrorHandler); }
  ~QuietGdal() { CPLPopErrorHandler(); }
  QuietGdal(const QuietGdal&) = delete;
  QuietGdal& operator=(const QuietGdal&) = delete;
};

bool georeferenced(GDALDataset& raster) {
  constexpr std::array<double, 6> kNone{0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
  std::array<double, 6> transform{};
  const bool placed = raster.GetGeoTransform(transform.data()) == CE_None && transform != kNone;
  return placed || raster.GetGCPCount() > 0 || raster.GetMetadata("GEOLOCATION") != nullptr;
}

int bitsOf(GDALDataset& raster) {
  int bits = 0;
  for (int band = 1; band <= raster.GetRasterCount(); ++band) {
    bits = std::max(bits, GDALGetDataTypeSizeBits(raster.GetRasterBand(band)->GetRasterDataType()));
  }
  return bits;
}

template <std::size_t N>
bool listed(std::string_view driver, const std::array<std::string_view, N>& drivers) {
  return std::find(drivers.begin(), drivers.end(), driver) != drivers.end();
}

bool probe(const char* path, bool text, RasterProbe& probe) {
  const QuietGdal quiet;
  if (GDALGetDriverCount() == 0) GDALAllRegister();
  const GDALDatasetUniquePtr raster(GDALDataset::Open(path, GDAL_OF_RASTER | GDAL_OF_READONLY));
  if (raster == nullptr || raster->GetRasterCount() < 1) return false;
  probe.driver = raster->GetDriver()->GetDescription();
  probe.bits = bitsOf(*raster);
  probe.geoRaster =
      listed(probe.driver, kHeaderGrids) || listed(probe.driver, kSidecarGrids) ||
      (!(text && probe.driver == "XYZ") && (georeferenced(*raster) || probe.bits > kImageBits));
  return true;
}

std::string version() {
  return GDALVersionInfo("--version");
}

constexpr GdalProbe kProbe{probe, version};

}  // namespace

}  // namespace relievo::cli

extern "C" __attribute__((visibility("default"))) const relievo::cli::GdalProbe*
relievoGdalProbe() {
  return &relievo::cli::kProbe;
}
