// The geo module: librelievo_geo.so, which holds every call to GDAL. The plug-in loads it at
// its first geo raster, so that conversions of the other kinds never load GDAL, whose start-up
// costs more time and memory than a whole small conversion.
//
// The module is one record of functions over GeoSource (geo_source.h), each source behind an
// opaque pointer; no GDAL type crosses it.
#ifndef RELIEVO_RASTER_GEO_MODULE_H
#define RELIEVO_RASTER_GEO_MODULE_H

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "raster/source_facts.h"

namespace relievo {

// An opened source and the size of the grid its rows come in.
struct GeoGrid {
  void* source;
  int width;
  int height;
};

struct GeoModule {
  // GeoSource::open: band `band` (1-based) of the raster at `path`, false with its messages.
  bool (*open)(std::string_view path, int band, GeoGrid& grid, std::string& error);
  // GeoSource::readRow and GeoSource::lastError of an opened source.
  bool (*readRow)(void* source, int row, std::span<double> out);
  const char* (*lastError)(const void* source);
  // Closes an opened source.
  void (*close)(void* source);
  // geoReadFacts (geo_reader.h).
  bool (*readFacts)(std::string_view path, int band, SourceFacts& facts,
                    std::vector<std::string>& bandLabels, int& width, int& height,
                    std::string& error);
};

// The file the module is loaded from, in the folder of the host's library, and the function in
// it that returns its record.
inline constexpr const char* kGeoModuleFile = "librelievo_geo.so";
inline constexpr const char* kGeoModuleEntry = "relievoGeoModule";
using GeoModuleEntry = const GeoModule*();

// The module's record, loaded at the first call and kept for the process's life; null when it
// cannot be loaded, with `error` the loader's reason.
const GeoModule* geoModule(std::string& error);

}  // namespace relievo

#endif  // RELIEVO_RASTER_GEO_MODULE_H
