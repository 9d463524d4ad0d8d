#include "raster/geo_gdal.h"

#include <gdal.h>

#include <algorithm>

namespace relievo {

void geoRegisterDrivers() {
  if (GDALGetDriverCount() == 0) GDALAllRegister();
}

GdalErrorCapture::GdalErrorCapture() {
  CPLPushErrorHandlerEx(handle, this);
}

GdalErrorCapture::~GdalErrorCapture() {
  CPLPopErrorHandler();
}

void CPL_STDCALL GdalErrorCapture::handle(CPLErr kind, CPLErrorNum, const char* message) {
  auto* self = static_cast<GdalErrorCapture*>(CPLGetErrorHandlerUserData());
  if (self == nullptr || message == nullptr || kind < CE_Failure || !self->first_.empty()) return;
  self->first_ = message;
}

std::string GdalErrorCapture::reason(std::string_view path, std::string_view fallback) const {
  std::string text = first_.empty() ? std::string(fallback) : first_;
  std::replace(text.begin(), text.end(), '\n', ' ');
  const std::size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
  const std::string prefix = std::string(path) + ": ";
  if (!path.empty() && text.starts_with(prefix)) text.erase(0, prefix.size());
  return text;
}

}  // namespace relievo
