#include "raster/geo_module.h"

#include <dlfcn.h>

namespace relievo {

namespace {

struct Loaded {
  const GeoModule* module = nullptr;
  std::string failure;
};

Loaded load() {
  void* library = dlopen(kGeoModuleFile, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return {nullptr, dlerror()};
  auto* entry = reinterpret_cast<GeoModuleEntry*>(dlsym(library, kGeoModuleEntry));
  if (entry == nullptr) return {nullptr, dlerror()};
  return {entry(), ""};
}

}  // namespace

const GeoModule* geoModule(std::string& error) {
  static const Loaded loaded = load();
  if (loaded.module == nullptr) error = loaded.failure;
  return loaded.module;
}

}  // namespace relievo
