#include "raster/geo_reader.h"

#include "raster/geo_module.h"

namespace relievo {

namespace {

// Present whenever a geo raster record exists: the record was opened through it.
const GeoModule& module() {
  std::string unused;
  return *geoModule(unused);
}

// The source stays open between passes; a pass only reads rows.
int geoOpen(RasterRec*, void** stream) {
  *stream = nullptr;
  return 1;
}

int geoReadRow(RasterRec* raster, void*, int row, double* out, int, int count) {
  if (count < 0) return 0;
  return module().readRow(raster->reader, row, std::span(out, static_cast<std::size_t>(count))) ? 1
                                                                                                : 0;
}

int geoClose(RasterRec*, void*) {
  return 1;
}

void geoRelease(void* reader) {
  if (reader != nullptr) module().close(reader);
}

const char* geoError(const void* reader) {
  return module().lastError(reader);
}

// The module, or null with `error` naming the file that cannot be read without it.
const GeoModule* moduleFor(std::string_view path, std::string& error) {
  std::string reason;
  const GeoModule* loaded = geoModule(reason);
  if (loaded == nullptr) error = std::string(path) + ": geo rasters cannot be read: " + reason;
  return loaded;
}

}  // namespace

RasterRec* rasterOpenGeo(std::string_view path, int band, std::string& error) {
  const GeoModule* geo = moduleFor(path, error);
  GeoGrid grid{};
  if (geo == nullptr || !geo->open(path, band, grid, error)) return nullptr;
  RasterRec* raster = rasterAllocate(path);
  if (raster == nullptr) {
    geo->close(grid.source);
    error = std::string(path) + ": the raster record cannot be allocated";
    return nullptr;
  }
  raster->fileSize = rasterFileSize(path);
  raster->width = grid.width;
  raster->height = grid.height;
  raster->sourceKind = SourceKind::Geo;
  raster->openFn = geoOpen;
  raster->readRowFn = geoReadRow;
  raster->closeFn = geoClose;
  raster->reader = grid.source;
  raster->releaseReader = geoRelease;
  raster->readerError = geoError;
  return raster;
}

bool geoReadFacts(std::string_view path, int band, SourceFacts& facts,
                  std::vector<std::string>& bandLabels, int& width, int& height,
                  std::string& error) {
  const GeoModule* geo = moduleFor(path, error);
  return geo != nullptr && geo->readFacts(path, band, facts, bandLabels, width, height, error);
}

}  // namespace relievo
