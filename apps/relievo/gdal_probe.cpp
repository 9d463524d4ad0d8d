#include "gdal_probe.h"

#include <dlfcn.h>

#include "errors.h"
#include "sxapilib.h"

namespace relievo::cli {

namespace {

// The library's path: the folder of the host's library, where it is installed; spelled out, as
// dlopen seen through the address sanitizer's interposer does not search the caller's run path.
std::string probePath() {
  Dl_info host{};
  if (dladdr(reinterpret_cast<void*>(&sxReadImageInfo), &host) == 0 || host.dli_fname == nullptr) {
    return kGdalProbeFile;
  }
  const std::string_view library = host.dli_fname;
  return std::string(library.substr(0, library.rfind('/') + 1)) + kGdalProbeFile;
}

const GdalProbe* load(std::string& failure) {
  void* library = dlopen(probePath().c_str(), RTLD_NOW | RTLD_LOCAL);
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
