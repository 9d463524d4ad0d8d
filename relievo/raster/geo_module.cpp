#include "raster/geo_module.h"

#include <dlfcn.h>

#include "sxapilib.h"

namespace relievo {

namespace {

// The module's path: the folder of the host's library, where it is installed. The path is
// spelled out rather than left to the run path, because dlopen seen through an interposer (the
// address sanitizer's) searches the interposer's run path instead of the caller's.
std::string modulePath() {
  Dl_info host{};
  if (dladdr(reinterpret_cast<void*>(&sxReadImageInfo), &host) == 0 || host.dli_fname == nullptr) {
    return kGeoModuleFile;
  }
  const std::string_view library = host.dli_fname;
  return std::string(library.substr(0, library.rfind('/') + 1)) + kGeoModuleFile;
}

struct Loaded {
  const GeoModule* module = nullptr;
  std::string failure;
};

Loaded load() {
  void* library = dlopen(modulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
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
