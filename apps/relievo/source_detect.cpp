#include "source_detect.h"

#include <cpl_error.h>
#include <gdal_priv.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <string_view>

#include "errors.h"
#include "output_paths.h"
#include "sxapilib.h"

namespace relievo::cli {

namespace {

// As many bytes as the dialog examines to tell text from binary.
constexpr std::size_t kTextBytes = 2000;
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

GDALDatasetUniquePtr openRaster(const std::string& path) {
  if (GDALGetDriverCount() == 0) GDALAllRegister();
  GDALDatasetUniquePtr raster(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
  if (raster != nullptr && raster->GetRasterCount() < 1) raster.reset();
  return raster;
}

bool isText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(kTextBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return std::none_of(bytes.begin(), bytes.end(),
                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool hostReadsImage(const std::string& path) {
  SxImageInfo info = nullptr;
  if (sxReadImageInfo(path.c_str(), &info) != 0) return false;
  sxFreeImageInfo(info);
  return true;
}

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

bool isGeoRaster(GDALDataset& raster, bool text) {
  const std::string_view driver = raster.GetDriver()->GetDescription();
  if (listed(driver, kHeaderGrids) || listed(driver, kSidecarGrids)) return true;
  if (text && driver == "XYZ") return false;
  return georeferenced(raster) || bitsOf(raster) > kImageBits;
}

[[noreturn]] void undecided(const std::string& path, const std::string& why) {
  throw UsageError(path + ": " + why + "; choose the kind of source with --source " +
                   sourceKindWords());
}

}  // namespace

SourceKind detectSourceKind(const std::string& path) {
  const QuietGdal quiet;
  const GDALDatasetUniquePtr raster = openRaster(path);
  const bool text = isText(path);
  if (raster != nullptr && isGeoRaster(*raster, text)) return SourceKind::Geo;
  if (hostReadsImage(path)) return SourceKind::Image;
  if (text) return SourceKind::Ascii;
  if (raster != nullptr) {
    undecided(path, std::string("a ") + raster->GetDriver()->GetDescription() +
                        " raster of 8 bits a sample with no georeferencing");
  }
  undecided(path, "neither a raster GDAL reads, nor an image, nor text");
}

int sampleBits(const std::string& path) {
  const QuietGdal quiet;
  const GDALDatasetUniquePtr raster = openRaster(path);
  return raster != nullptr ? bitsOf(*raster) : 0;
}

void resolveSource(ConvertOptions& options, std::FILE* err) {
  if (!options.file) return;
  if (!options.source) {
    checkSourceFile(*options.file);
    options.source = detectSourceKind(*options.file);
    options.sourceDetected = true;
  }
  if (*options.source != SourceKind::Image) return;
  if (const int bits = sampleBits(*options.file); bits > kImageBits) {
    std::fprintf(err,
                 "relievo: warning: %s holds %d bits a sample; the image source reads 8 bits a "
                 "channel (--source geo reads them all)\n",
                 options.file->c_str(), bits);
  }
}

std::string gdalVersion() {
  return GDALVersionInfo("--version");
}

}  // namespace relievo::cli
