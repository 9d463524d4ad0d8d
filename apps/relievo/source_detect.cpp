#include "source_detect.h"

#include <algorithm>
#include <fstream>

#include "errors.h"
#include "gdal_probe.h"
#include "output_paths.h"
#include "sxapilib.h"

namespace relievo::cli {

namespace {

// As many bytes as the dialog examines to tell text from binary.
constexpr std::size_t kTextBytes = 2000;
constexpr int kImageBits = 8;

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

[[noreturn]] void undecided(const std::string& path, const std::string& why) {
  throw UsageError(path + ": " + why + "; choose the kind of source with --source " +
                   sourceKindWords());
}

}  // namespace

SourceKind detectSourceKind(const std::string& path) {
  const bool text = isText(path);
  RasterProbe raster{};
  const bool opened = gdalProbe().probe(path.c_str(), text, raster);
  if (opened && raster.geoRaster) return SourceKind::Geo;
  if (hostReadsImage(path)) return SourceKind::Image;
  if (text) return SourceKind::Ascii;
  if (opened) {
    undecided(path, "a " + raster.driver + " raster of 8 bits a sample with no georeferencing");
  }
  undecided(path, "neither a raster GDAL reads, nor an image, nor text");
}

int sampleBits(const std::string& path) {
  RasterProbe raster{};
  return gdalProbe().probe(path.c_str(), false, raster) ? raster.bits : 0;
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
  return gdalProbe().version();
}

}  // namespace relievo::cli
