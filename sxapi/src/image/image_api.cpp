// The host's image calls of sxapilib.h, on top of the readers of this folder.
#include <memory>
#include <new>

#include "../host_state.h"
#include "image_reader.h"
#include "sxapilib.h"

namespace {

// A file that could not be opened or read goes to the host's log with its reason.
void logProblem(const std::string& problem) {
  if (sxhost::detail::HostState* s = sxhost::detail::state(); s != nullptr && !problem.empty()) {
    s->warn(problem);
  }
}

}  // namespace

struct SxImageInfoRec {
  sxhost::image::ImageHeader header;
};

extern "C" int sxReadImageInfo(const char* path, SxImageInfo* info) {
  if (info == nullptr) return 1;
  std::string problem;
  const auto header = sxhost::image::readImageHeader(path, &problem);
  if (!header) {
    logProblem(problem);
    return 1;
  }
  try {
    *info = std::make_unique<SxImageInfoRec>(SxImageInfoRec{*header}).release();
  } catch (const std::bad_alloc&) {
    return 1;
  }
  return 0;
}

extern "C" int sxGetTextureType(SxImageInfo info, int* kind) {
  if (info == nullptr || kind == nullptr) return 0;
  *kind = info->header.kind;
  return 1;
}

extern "C" int sxGetTextureWidth(SxImageInfo info, int* width) {
  if (info == nullptr || width == nullptr) return 0;
  *width = info->header.width;
  return 1;
}

extern "C" int sxGetTextureHeight(SxImageInfo info, int* height) {
  if (info == nullptr || height == nullptr) return 0;
  *height = info->header.height;
  return 1;
}

extern "C" void sxFreeImageInfo(SxImageInfo info) {
  std::unique_ptr<SxImageInfoRec> owned(info);
}

extern "C" int sxReadImage(const char* path, unsigned char** pixels, int* kind, int* width,
                           int* height) {
  if (pixels == nullptr || kind == nullptr || width == nullptr || height == nullptr) return 1;
  std::string problem;
  auto image = sxhost::image::readImage(path, &problem);
  if (!image) {
    logProblem(problem);
    return 1;
  }
  *kind = image->header.kind;
  *width = image->header.width;
  *height = image->header.height;
  *pixels = image->pixels.release();
  return 0;
}
