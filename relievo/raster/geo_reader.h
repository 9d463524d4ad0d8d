// Geo raster sources: one band of any raster GDAL reads, as a RasterRec streamed through its
// GeoSource (geo_source.h), which the record keeps open for its whole life; and what the file
// states about itself (SourceFacts), read without loading it. Both go through the geo module
// (geo_module.h), loaded at the first call.
#ifndef RELIEVO_RASTER_GEO_READER_H
#define RELIEVO_RASTER_GEO_READER_H

#include <string>
#include <string_view>
#include <vector>

#include "raster/raster.h"
#include "raster/source_facts.h"

namespace relievo {

// Opens band `band` (1-based) of the raster at `path`: a record of the grid GeoSource reads,
// north row first, or null with `error` saying why, naming the file (GeoSource::open's
// messages, or "<path>: the raster record cannot be allocated").
RasterRec* rasterOpenGeo(std::string_view path, int band, std::string& error);

// What the file states for band `band`: its facts, a label per band of the file for choosing
// one ("2", or "2: <description>" when the band has one), and the size of the grid its rows
// come in. False, with `error` as rasterOpenGeo gives it, when it cannot be opened.
bool geoReadFacts(std::string_view path, int band, SourceFacts& facts,
                  std::vector<std::string>& bandLabels, int& width, int& height,
                  std::string& error);

}  // namespace relievo

#endif  // RELIEVO_RASTER_GEO_READER_H
