#include "raster/geo_dataset.h"

#include <cstdint>
#include <limits>

#include "raster/geo_gdal.h"

namespace relievo {

std::string geoSizeProblem(std::int64_t width, std::int64_t height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " cells: ";
  if (width > kGeoMaxPostsASide || height > kGeoMaxPostsASide) {
    return size + "a DED file counts at most " + std::to_string(kGeoMaxPostsASide) +
           " posts a side";
  }
  constexpr std::int64_t kMaxValues = std::numeric_limits<std::int32_t>::max();
  if (width * height > kMaxValues) {
    return size + "more than the " + std::to_string(kMaxValues) + " values a raster can hold";
  }
  return "";
}

GeoDataset::GeoDataset(std::string path, GDALDatasetUniquePtr dataset)
    : path_(std::move(path)), dataset_(std::move(dataset)) {}

GeoDataset::~GeoDataset() {
  const GdalErrorCapture quiet;
  dataset_.reset();
}

std::unique_ptr<GeoDataset> GeoDataset::open(std::string_view path, std::string& error) {
  geoRegisterDrivers();
  const std::string name(path);
  const GdalErrorCapture capture;
  constexpr unsigned kFlags = GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR;
  GDALDatasetUniquePtr dataset(GDALDataset::Open(name.c_str(), kFlags));
  if (dataset == nullptr) {
    error = name + ": cannot be opened as a raster: " + capture.reason(name, "unknown format");
    return nullptr;
  }
  if (dataset->GetRasterCount() < 1) {
    const char* first = dataset->GetMetadataItem("SUBDATASET_1_NAME", "SUBDATASETS");
    error = name + ": holds no raster band";
    if (first != nullptr) {
      error += std::string(" of its own; open one of its subdatasets, such as ") + first;
    }
    return nullptr;
  }
  return std::make_unique<GeoDataset>(name, std::move(dataset));
}

std::vector<GeoBandEntry> GeoDataset::bands() const {
  std::vector<GeoBandEntry> bands;
  for (int i = 1; i <= bandCount(); ++i) {
    bands.push_back({i, dataset_->GetRasterBand(i)->GetDescription()});
  }
  return bands;
}

}  // namespace relievo
