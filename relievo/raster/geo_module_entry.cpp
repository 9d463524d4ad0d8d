// The record of librelievo_geo.so: GeoSource behind the functions of GeoModule.
#include <cstdio>
#include <exception>
#include <memory>

#include "raster/geo_module.h"
#include "raster/geo_source.h"

namespace relievo {

namespace {

GeoSource& sourceOf(void* source) {
  return *static_cast<GeoSource*>(source);
}

bool open(std::string_view path, int band, GeoGrid& grid, std::string& error) {
  std::unique_ptr<GeoSource> source = GeoSource::open(path, band, error);
  if (source == nullptr) return false;
  grid = {nullptr, source->width(), source->height()};
  grid.source = source.release();
  return true;
}

bool readRow(void* source, int row, std::span<double> out) {
  return sourceOf(source).readRow(row, out);
}

const char* lastError(const void* source) {
  return static_cast<const GeoSource*>(source)->lastError().c_str();
}

void close(void* source) {
  geoSourceFree(static_cast<GeoSource*>(source));
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

void fillFacts(const GeoSource& source, int band, SourceFacts& facts,
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

bool readFacts(std::string_view path, int band, SourceFacts& facts,
               std::vector<std::string>& bandLabels, int& width, int& height, std::string& error) {
  const std::unique_ptr<GeoSource> source = GeoSource::open(path, band, error);
  if (source == nullptr) return false;
  try {
    fillFacts(*source, band, facts, bandLabels);
  } catch (const std::exception& e) {
    error = source->path() + ": cannot be read: " + e.what();
    return false;
  }
  width = source->width();
  height = source->height();
  return true;
}

constexpr GeoModule kModule{open, readRow, lastError, close, readFacts};

}  // namespace

}  // namespace relievo

extern "C" __attribute__((visibility("default"))) const relievo::GeoModule* relievoGeoModule() {
  return &relievo::kModule;
}
