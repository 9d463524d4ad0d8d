#include "raster/geo_source.h"

#include <algorithm>
#include <exception>

#include "raster/geo_dataset.h"
#include "raster/geo_gdal.h"
#include "raster/geo_warp.h"

namespace relievo {

void GeoSource::DatasetClose::operator()(GDALDataset* dataset) const {
  GDALClose(dataset);
}

GeoSource::GeoSource(Key) {}

GeoSource::~GeoSource() {
  const GdalErrorCapture quiet;
  warped_.reset();
  dataset_.reset();
}

std::unique_ptr<GeoSource> GeoSource::open(std::string_view path, int band, std::string& error) {
  // Steps that report their failures catch GDAL's messages themselves; this keeps any other
  // message GDAL emits meanwhile off standard error.
  const GdalErrorCapture stray;
  try {
    auto source = std::make_unique<GeoSource>(Key{});
    if (!source->openBand(path, band, error) || !source->place(error) ||
        !source->allocateBlock(error)) {
      return nullptr;
    }
    return source;
  } catch (const std::exception& e) {
    error = std::string(path) + ": cannot be read: " + e.what();
    return nullptr;
  }
}

bool GeoSource::openBand(std::string_view path, int band, std::string& error) {
  dataset_ = GeoDataset::open(path, error);
  if (dataset_ == nullptr) return false;
  path_ = dataset_->path();
  const int count = dataset_->bandCount();
  if (band < 1 || band > count) {
    error =
        this->path() + ": has no band " + std::to_string(band) +
        (count == 1 ? " (it has one band)" : " (its bands are 1 to " + std::to_string(count) + ")");
    return false;
  }
  bands_ = dataset_->bands();
  band_ = geoBandOf(*dataset_->gdal().GetRasterBand(band));
  readBand_ = dataset_->gdal().GetRasterBand(band);
  return true;
}

bool GeoSource::place(std::string& error) {
  if (!geoPlace(*dataset_, placement_, error)) return false;
  GDALDataset* grid = &dataset_->gdal();
  if (placement_.kind == GeoPlacementKind::Warp) {
    warped_.reset(geoWarpToWgs84(*dataset_, placement_, error).release());
    if (warped_ == nullptr) return false;
    grid = warped_.get();
    readBand_ = warped_->GetRasterBand(readBand_->GetBand());
    GeoTransform t{};
    if (readBand_ == nullptr || warped_->GetGeoTransform(t.data()) != CE_None) {
      error = path() + ": cannot be warped to WGS 84: the warped grid lacks the band";
      return false;
    }
    placement_.corners = geoCellCentreCorners(t, grid->GetRasterXSize(), grid->GetRasterYSize());
  }
  width_ = grid->GetRasterXSize();
  height_ = grid->GetRasterYSize();
  const std::string problem = geoSizeProblem(width_, height_);
  if (!problem.empty()) error = path() + ": " + problem;
  return problem.empty();
}

bool GeoSource::allocateBlock(std::string& error) {
  const auto rowBytes = static_cast<std::size_t>(width_) * sizeof(double);
  blockCapacity_ = static_cast<int>(
      std::clamp<std::size_t>(kGeoBlockBytes / rowBytes, 1, static_cast<std::size_t>(height_)));
  const std::size_t bytes = rowBytes * static_cast<std::size_t>(blockCapacity_);
  block_ = hostBlock<double>(static_cast<std::size_t>(width_) * blockCapacity_);
  if (block_ == nullptr) {
    error = path() + ": a block of " + std::to_string(blockCapacity_) + " rows of " +
            std::to_string(width_) + " values (" + std::to_string(bytes) +
            " bytes) cannot be allocated";
    return false;
  }
  return true;
}

std::optional<double> GeoSource::undefinedValue() const {
  if (band_.nodata || band_.floatingPoint || warped_ != nullptr) return band_.undefinedValue();
  return std::nullopt;
}

bool GeoSource::readBlock(int firstRow) {
  const int rows = std::min(blockCapacity_, height_ - firstRow);
  blockRows_ = 0;
  const GdalErrorCapture capture;
  const CPLErr result = readBand_->RasterIO(GF_Read, 0, firstRow, width_, rows, block_.get(),
                                            width_, rows, GDT_Float64, 0, 0, nullptr);
  if (result != CE_None) {
    lastError_ = path() + ": rows " + std::to_string(firstRow + 1) + " to " +
                 std::to_string(firstRow + rows) +
                 " cannot be read: " + capture.reason(path(), "GDAL gave no reason");
    return false;
  }
  blockFirst_ = firstRow;
  blockRows_ = rows;
  return true;
}

bool GeoSource::readRow(int row, std::span<double> out) {
  if (row < 0 || row >= height_ || out.size() > static_cast<std::size_t>(width_)) {
    lastError_ = path() + ": row " + std::to_string(row + 1) + " of " + std::to_string(out.size()) +
                 " values is outside the " + std::to_string(width_) + " x " +
                 std::to_string(height_) + " grid";
    return false;
  }
  try {
    if (row < blockFirst_ || row >= blockFirst_ + blockRows_) {
      if (!readBlock(row - row % blockCapacity_)) return false;
    }
  } catch (const std::exception& e) {
    lastError_ = path() + ": cannot be read: " + e.what();
    return false;
  }
  const double* stored = block_.get() + static_cast<std::size_t>(row - blockFirst_) * width_;
  const double undefined = band_.undefinedValue();
  std::transform(stored, stored + out.size(), out.begin(), [&](double value) {
    return band_.isUndefined(value) ? undefined : value * band_.scale + band_.offset;
  });
  return true;
}

void geoSourceFree(GeoSource* source) {
  std::unique_ptr<GeoSource> owned(source);
}

}  // namespace relievo
