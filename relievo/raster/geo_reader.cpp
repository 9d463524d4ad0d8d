#include "raster/geo_reader.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <span>

#include "raster/geo_source.h"

namespace relievo {

namespace {

GeoSource& sourceOf(const RasterRec* raster) {
  return *static_cast<GeoSource*>(raster->reader);
}

// The source stays open between passes; a pass only reads rows.
int geoOpen(RasterRec*, void** stream) {
  *stream = nullptr;
  return 1;
}

int geoReadRow(RasterRec* raster, void*, int row, double* out, int, int count) {
  if (count < 0) return 0;
  return sourceOf(raster).readRow(row, std::span(out, static_cast<std::size_t>(count))) ? 1 : 0;
}

int geoClose(RasterRec*, void*) {
  return 1;
}

void geoRelease(void* reader) {
  geoSourceFree(static_cast<GeoSource*>(reader));
}

const char* geoError(const void* reader) {
  return static_cast<const GeoSource*>(reader)->lastError().c_str();
}

template <std::size_t N>
void copyText(char (&to)[N], std::string_view text) {
  std::snprintf(to, N, "%.*s", static_cast<int>(text.size()), text.data());
}

SourceUnit unitOf(GeoUnit unit) {
  switch (unit) {
    case GeoUnit::Metres:
      return SourceUnit::Metres;
    case GeoUnit::Feet:
      return SourceUnit::Feet;
    case GeoUnit::Unknown:
      break;
  }
  return SourceUnit::Unknown;
}

void readFacts(const GeoSource& source, int band, SourceFacts& facts,
               std::vector<std::string>& bandLabels) {
  facts = {};
  copyText(facts.file, source.path());
  facts.band = band;
  facts.bandCount = static_cast<std::int32_t>(source.bands().size());
  if (const auto undefined = source.undefinedValue()) {
    // A whole number an int holds, or the DED null value (GeoBand::undefinedValue).
    facts.undefined = {1, static_cast<std::int32_t>(*undefined)};
  }
  facts.unit = unitOf(source.band().unit);
  const GeoPlacement& placement = source.placement();
  if (placement.corners) {
    facts.placed = 1;
    facts.swLat = placement.corners->swLat;
    facts.swLon = placement.corners->swLon;
    facts.neLat = placement.corners->neLat;
    facts.neLon = placement.corners->neLon;
  }
  copyText(facts.placement, geoPlacementText(placement));
  bandLabels.clear();
  for (const GeoBandEntry& entry : source.bands()) {
    std::string label = std::to_string(entry.number);
    if (!entry.description.empty()) label += ": " + entry.description;
    bandLabels.push_back(std::move(label));
  }
}

}  // namespace

RasterRec* rasterOpenGeo(std::string_view path, int band, std::string& error) {
  std::unique_ptr<GeoSource> source = GeoSource::open(path, band, error);
  if (source == nullptr) return nullptr;
  RasterRec* raster = rasterAllocate(source->path());
  if (raster == nullptr) {
    error = source->path() + ": the raster record cannot be allocated";
    return nullptr;
  }
  raster->fileSize = rasterFileSize(path);
  raster->width = source->width();
  raster->height = source->height();
  raster->sourceKind = SourceKind::Geo;
  raster->openFn = geoOpen;
  raster->readRowFn = geoReadRow;
  raster->closeFn = geoClose;
  raster->reader = source.release();
  raster->releaseReader = geoRelease;
  raster->readerError = geoError;
  return raster;
}

bool geoReadFacts(std::string_view path, int band, SourceFacts& facts,
                  std::vector<std::string>& bandLabels, int& width, int& height,
                  std::string& error) {
  const std::unique_ptr<GeoSource> source = GeoSource::open(path, band, error);
  if (source == nullptr) return false;
  try {
    readFacts(*source, band, facts, bandLabels);
  } catch (const std::exception& e) {
    error = source->path() + ": cannot be read: " + e.what();
    return false;
  }
  width = source->width();
  height = source->height();
  return true;
}

}  // namespace relievo
