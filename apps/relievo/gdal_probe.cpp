#include "gdal_probe.h"

#include <dlfcn.h>

#include "errors.h"

namespace relievo::cli {

namespace {

const GdalProbe* load(std::string& failure) {
  void* library = dlopen(kGdalProbeFile, RTLD_NOW | RTLD_LOCAL);
  auto* entry = library == nullptr
                    ? nullptr
                    : reinterpret_cast<GdalProbeEntry*>(dlsym(library, kGdalProbeEntry));
  if (entry == nullptr) {
    failure = dlerror();
    return nullptr;
  }
  return entry();
}

}  // namespace

const GdalProbe& gdalProbe() {
  static std::string failure;
  static const GdalProbe* const probe = load(failure);
  if (probe == nullptr) throw RunError("GDAL cannot be loaded: " + failure);
  return *probe;
}

}  // namespace relievo::cli
