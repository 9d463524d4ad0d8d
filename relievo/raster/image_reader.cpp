#include "raster/image_reader.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "sxapilib.h"

namespace relievo {

namespace {

struct ImageView {
  const unsigned char* pixels;
  int width;
  int height;
  int kind;
};

// The image of path, decoded once: a path already in the cache is not decoded again.
std::optional<ImageView> readThroughCache(ImageCache** slot, std::string_view path) {
  ImageCache*& cache = *slot;
  if (rasterIsCachedImage(cache, path) == 0) {
    if (path.size() >= kPathSize) return std::nullopt;
    if (cache == nullptr) cache = static_cast<ImageCache*>(sxMalloc(sizeof(ImageCache)));
    if (cache == nullptr) return std::nullopt;
    sxFree(cache->pixels);
    cache->pixels = nullptr;
    cache->path[0] = '\0';
    const std::string name(path);
    unsigned char* pixels = nullptr;
    int kind = 0;
    int width = 0;
    int height = 0;
    if (sxReadImage(name.c_str(), &pixels, &kind, &width, &height) == 0) {
      cache->pixels = pixels;
      cache->width = width;
      cache->height = height;
      cache->kind = kind;
      std::memcpy(cache->path, name.c_str(), name.size() + 1);
    }
  }
  if (cache == nullptr || cache->pixels == nullptr) return std::nullopt;
  return ImageView{cache->pixels, cache->width, cache->height, cache->kind};
}

// Where the component's bytes start in the host's pixel block, or nothing when the image
// kind has no such component.
std::optional<std::int64_t> componentOffset(int kind, ImageComponent component,
                                            std::int64_t plane) {
  switch (kind) {
    case SX_IMAGE_INTENSITY:
      if (component == ImageComponent::Intensity) return 0;
      return std::nullopt;
    case SX_IMAGE_INTENSITY_ALPHA:
      if (component == ImageComponent::Intensity) return 0;
      if (component == ImageComponent::Alpha) return plane;
      return std::nullopt;
    case SX_IMAGE_RGB:
      switch (component) {
        case ImageComponent::Intensity:
        case ImageComponent::Red:
          return 0;
        case ImageComponent::Green:
          return plane;
        case ImageComponent::Blue:
          return 2 * plane;
        default:
          return std::nullopt;
      }
    case SX_IMAGE_RGBA:
      switch (component) {
        case ImageComponent::Intensity:
        case ImageComponent::Red:
          return 0;
        case ImageComponent::Green:
          return 1;
        case ImageComponent::Blue:
          return 2;
        case ImageComponent::Alpha:
          return 3;
        default:
          return std::nullopt;
      }
    default:
      return std::nullopt;
  }
}

// The weights sum to 1.0306, so the divisor makes white exactly 255.
double luminance(unsigned char r, unsigned char g, unsigned char b) {
  return (r * 0.299 + g * 0.5876 + b * 0.144) / 1.0306;
}

struct ImageValues {
  float* values;
  double minimum;
  double maximum;
};

std::optional<ImageValues> loadValues(const ImageView& image, ImageComponent component) {
  const std::int64_t plane = std::int64_t{image.width} * image.height;
  const auto offset = componentOffset(image.kind, component, plane);
  if (!offset) return std::nullopt;
  auto* values = static_cast<float*>(sxMalloc(static_cast<std::size_t>(plane) * sizeof(float)));
  if (values == nullptr) return std::nullopt;

  const bool interleaved = image.kind == SX_IMAGE_RGBA;
  const std::int64_t step = interleaved ? 4 : 1;
  const bool useLuminance = component == ImageComponent::Intensity &&
                            (image.kind == SX_IMAGE_RGB || image.kind == SX_IMAGE_RGBA);
  const std::int64_t green = interleaved ? 1 : plane;
  const std::int64_t blue = interleaved ? 2 : 2 * plane;
  ImageValues result{values, 20000000.0, -20000000.0};
  const unsigned char* p = image.pixels + *offset;
  for (std::int64_t i = 0; i < plane; ++i, p += step) {
    const float v = useLuminance ? static_cast<float>(luminance(p[0], p[green], p[blue]))
                                 : static_cast<float>(p[0]);
    values[i] = v;
    if (v < result.minimum) result.minimum = v;
    if (v > result.maximum) result.maximum = v;
  }
  return result;
}

int extensionKind(const char* fileName) {
  const char* dot = std::strrchr(fileName, '.');
  if (dot == nullptr) return 0;
  std::string extension(dot + 1);
  for (char& c : extension)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "inta") return SX_IMAGE_INTENSITY_ALPHA;
  if (extension == "int") return SX_IMAGE_INTENSITY;
  if (extension == "rgba") return SX_IMAGE_RGBA;
  if (extension == "rgb") return SX_IMAGE_RGB;
  return 0;
}

}  // namespace

RasterRec* rasterOpenImage(ImageCache** cache, std::string_view path, ImageComponent component,
                           int* width, int* height, ProgressCallback, void*, int* valuesRead) {
  const auto image = readThroughCache(cache, path);
  if (!image || image->width <= 0 || image->height <= 0 ||
      std::int64_t{image->width} * image->height > std::numeric_limits<std::int32_t>::max()) {
    return nullptr;
  }
  if (valuesRead != nullptr) *valuesRead = image->width * image->height;
  const auto values = loadValues(*image, component);
  if (!values) return nullptr;
  RasterRec* raster = rasterAllocate(path);
  if (raster == nullptr) {
    sxFree(values->values);
    return nullptr;
  }
  raster->fileSize = rasterFileSize(path);
  raster->width = image->width;
  raster->height = image->height;
  raster->sourceKind = SourceKind::Image;
  raster->imageType = image->kind;
  raster->minValue = values->minimum;
  raster->maxValue = values->maximum;
  raster->minMaxKnown = 1;
  raster->values = values->values;
  rasterUseMemoryVariant(raster);
  if (width != nullptr) *width = image->width;
  if (height != nullptr) *height = image->height;
  return raster;
}

int rasterIsCachedImage(const ImageCache* cache, std::string_view path) {
  return cache != nullptr && cache->pixels != nullptr && path == cache->path ? 1 : 0;
}

void rasterFreeImageCache(ImageCache** cache) {
  if (*cache == nullptr) return;
  sxFree((*cache)->pixels);
  sxFree(*cache);
  *cache = nullptr;
}

void componentsOnOffer(SourceLayout& source) {
  const int kind = extensionKind(source.fileName);
  std::int32_t mask = componentBit(ImageComponent::Intensity);
  if (source.sourceKind == SourceKind::Image) {
    if (kind == SX_IMAGE_RGB || kind == SX_IMAGE_RGBA) {
      mask |= componentBit(ImageComponent::Red) | componentBit(ImageComponent::Green) |
              componentBit(ImageComponent::Blue);
    }
    if (kind == SX_IMAGE_INTENSITY_ALPHA || kind == SX_IMAGE_RGBA) {
      mask |= componentBit(ImageComponent::Alpha);
    }
  }
  source.componentMask = mask;
  const auto component = static_cast<std::int32_t>(source.imageComponent);
  const bool known = component >= 1 && component <= 5;
  if (!known || (mask & componentBit(source.imageComponent)) == 0) {
    source.imageComponent = ImageComponent::Intensity;
  }
}

}  // namespace relievo
