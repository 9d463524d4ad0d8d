// What GDAL says about a source file, for the command's detection of its kind: asked of
// librelievo_probe.so, which holds the command's every call to GDAL, lies in the folder of the
// host's library and is loaded at the first question, so that conversions whose kind the
// command line names never load GDAL.
#ifndef RELIEVO_APPS_GDAL_PROBE_H
#define RELIEVO_APPS_GDAL_PROBE_H

#include <string>

namespace relievo::cli {

// A file GDAL opens as a raster of at least one band.
struct RasterProbe {
  std::string driver;  // GDAL's short name of the driver that reads it
  bool geoRaster;      // a grid with a header or a header file, georeferenced, or of more than
                       // 8 bits a sample (a text read as a list of points is none)
  int bits;            // the most bits a sample of its bands holds
};

struct GdalProbe {
  // Fills `probe` and returns true when GDAL opens the file at `path` as a raster; `text` says
  // that the file's first bytes are text. GDAL's messages are kept off standard error.
  bool (*probe)(const char* path, bool text, RasterProbe& probe);
  // "GDAL <version>, released <date>".
  std::string (*version)();
};

inline constexpr const char* kGdalProbeFile = "librelievo_probe.so";
inline constexpr const char* kGdalProbeEntry = "relievoGdalProbe";
using GdalProbeEntry = const GdalProbe*();

// The probe, loaded at the first call and kept for the process's life; RunError "GDAL cannot be
// loaded: <the loader's reason>" when it cannot be.
const GdalProbe& gdalProbe();

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_GDAL_PROBE_H
