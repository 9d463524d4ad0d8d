#include "preview/preview_image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "raster/data_scan.h"
#include "sxapilib.h"

namespace relievo {

namespace {

constexpr int kSampleLowest = 1;
constexpr int kSampleHighest = 255;
// Constant data has no place in its range; it shows in the middle of the ramp.
constexpr int kSampleMiddle = 128;

struct SampleContext {
  UndefinedData undefined;
  DataRange range;
  unsigned char* next;
  Progress progress;
  double advance;  // progress per output row: height / ph, so the pass moves by height
};

// Truncates toward zero and keeps the low 8 bits; values far outside any range (a reversed
// range of a source that is all undefined) are pinned first so the conversion stays defined.
unsigned char lowByte(double value) {
  const double pinned = std::clamp(std::trunc(value), -1e15, 1e15);
  return static_cast<unsigned char>(static_cast<std::int64_t>(pinned));
}

unsigned char sampleOf(const SampleContext& context, double v) {
  // A value that is no number is written as DED NULL.
  if (isUndefinedValue(context.undefined, v) || std::isnan(v)) return 0;
  const DataRange& range = context.range;
  if (range.dataMax == range.dataMin) return kSampleMiddle;
  // Infinities lie outside every range; their posts are clamped to its ends.
  if (std::isinf(v)) return v > 0 ? kSampleHighest : kSampleLowest;
  return lowByte(mapLinear(v, range.dataMin, range.dataMax, kSampleLowest, kSampleHighest));
}

int sampleRow(const double* values, int count, int, void* data) {
  auto* context = static_cast<SampleContext*>(data);
  for (int i = 0; i < count; ++i)
    *context->next++ = sampleOf(*context, values[i]);
  context->progress.step(context->advance);
  return 1;
}

// Pixel (i, j) of the picture that the k-th sample byte of a grid of sw x sh samples lands
// on, rows counted from the bottom. "Cols" data delivers the terrain column by column, so
// each sample row becomes one column of the picture, which is then sh wide and sw tall; the
// picture of a grid that is not square thus matches the DED file's records.
struct DisplayWalk {
  int sw;
  int sh;
  DataOrder order;
  DataOrigin origin;

  int pictureWidth() const { return order == DataOrder::Cols ? sh : sw; }
  int pictureHeight() const { return order == DataOrder::Cols ? sw : sh; }

  std::int64_t pixelOf(std::int64_t k) const {
    std::int64_t i;
    std::int64_t j;
    if (order == DataOrder::Cols) {
      j = k / sw;
      i = k % sw;
    } else {
      i = k / sw;
      j = k % sw;
    }
    if (origin == DataOrigin::UpperLeft) i = pictureHeight() - 1 - i;
    return i * pictureWidth() + j;
  }
};

}  // namespace

PreviewSize previewSize(PreviewSize view, int w, int h) {
  const int avail = std::min(view.width, view.height) - 2 * kPreviewMargin;
  if (avail <= 0 || w <= 0 || h <= 0) return {0, 0};
  const double ratio = static_cast<double>(avail) / std::max(w, h);
  if (ratio >= 1.0) {
    const int factor = static_cast<int>(ratio);
    return {w * factor, h * factor};
  }
  // A one-pixel edge stays visible however far the other side is shrunk.
  return {std::max(1, static_cast<int>(w * ratio)), std::max(1, static_cast<int>(h * ratio))};
}

void previewBuildSamples(PreviewBuffers& preview, RasterRec* raster, const SourceLayout& source,
                         const DataRange& range, PreviewSize view, Progress progress) {
  // Without a source there is nothing to show; samples made anyway would be a picture of
  // whatever the buffer held, with the preview toggles offered for it.
  if (!rasterIsValid(raster)) return;
  const PreviewSize size = previewSize(view, source.width, source.height);
  ImageBuf& samples = preview.previewSamples;
  if (!imageBufGrow(&samples, size.width, size.height, 1)) return;
  samples.sourceWidth = source.width;
  samples.sourceHeight = source.height;
  if (size.width == 0 || size.height == 0) return;
  SampleContext context{source.undefined, range, samples.pixels, progress,
                        static_cast<double>(source.height) / size.height};
  rasterForEachRowResampled(raster, size.width, size.height, sampleRow, &context);
}

void previewBuildImage(PreviewBuffers& preview, const SourceLayout& source,
                       ElevationRanges& ranges) {
  const ImageBuf& samples = preview.previewSamples;
  if (samples.pixels == nullptr) return;
  // The picture has the samples' size (transposed for "Cols"): the view may have changed
  // since they were taken.
  const DisplayWalk walk{samples.width, samples.height, source.dataOrder, source.dataOrigin};
  const int pw = walk.pictureWidth();
  const int ph = walk.pictureHeight();
  if (!imageBufGrow(&preview.previewImage, pw, ph, 3) ||
      !imageBufGrow(&preview.previewShade, pw, ph, 1)) {
    return;
  }
  const float d[3] = {
      static_cast<float>(preview.topColor.r - preview.bottomColor.r),
      static_cast<float>(preview.topColor.g - preview.bottomColor.g),
      static_cast<float>(preview.topColor.b - preview.bottomColor.b),
  };
  selectMapping(ranges);

  const std::int64_t count = std::int64_t{pw} * ph;
  for (std::int64_t k = 0; k < count; ++k) {
    const unsigned char b = samples.pixels[k];
    const std::int64_t pixel = walk.pixelOf(k);
    const Rgb8 color = previewPixelColor(preview, ranges, source.undefined, b, d);
    unsigned char* rgb = preview.previewImage.pixels + pixel * 3;
    rgb[0] = color.r;
    rgb[1] = color.g;
    rgb[2] = color.b;
    preview.previewShade.pixels[pixel] = b;
  }
  if (preview.shaded != 0) previewShadeImage(preview, source.width);
}

Rgb8 previewPixelColor(const PreviewBuffers& preview, const ElevationRanges& ranges,
                       const UndefinedData& undefined, int sample, std::span<const float, 3> d) {
  if (undefined.hasNullData != 0 && sample == 0) return kUndefinedColor;
  const MapFn map = ranges.previewMapFn != nullptr ? ranges.previewMapFn : mapLinear;
  const double elevation = map(sample, kSampleLowest, kSampleHighest, ranges.dedMin, ranges.dedMax);
  if (std::trunc(elevation) == 0.0) return kZeroElevationColor;
  const double k =
      std::trunc(map(sample, kSampleLowest, kSampleHighest, kSampleLowest, kSampleHighest));
  const auto t = static_cast<float>(k / 255.0);
  const auto channel = [t](std::uint8_t bottom, float difference) {
    return static_cast<std::uint8_t>(lowByte(bottom + t * difference));
  };
  return {channel(preview.bottomColor.r, d[0]), channel(preview.bottomColor.g, d[1]),
          channel(preview.bottomColor.b, d[2])};
}

void previewShadeImage(PreviewBuffers& preview, int sourceWidth) {
  // The picture's own size: for "Cols" data it is the samples' size transposed.
  ImageBuf& image = preview.previewImage;
  const ImageBuf& samples = preview.previewSamples;
  const int pw = image.width;
  const int ph = image.height;
  const unsigned char* shade = preview.previewShade.pixels;
  if (pw <= 0 || ph <= 0 || image.pixels == nullptr || shade == nullptr ||
      preview.previewShade.width != pw || preview.previewShade.height != ph ||
      std::int64_t{pw} * ph != std::int64_t{samples.width} * samples.height) {
    return;
  }

  const double z = 5.0 / std::sqrt(static_cast<double>(sourceWidth) / samples.width);
  const double azimuth = -45.0 * std::numbers::pi / 180.0;
  const double elevation = 60.0 * std::numbers::pi / 180.0;
  const double lx = std::cos(elevation) * std::cos(azimuth) * 255.9;
  const double ly = std::cos(elevation) * std::sin(azimuth) * 255.9;
  const double lz = std::sin(elevation) * 255.9;
  const double k = 1530.0 / z;

  const std::size_t bytes = static_cast<std::size_t>(pw) * ph * 3;
  auto* shaded = static_cast<unsigned char*>(sxMalloc(bytes));
  if (shaded == nullptr) return;
  // The outermost rows and columns have no full neighbourhood; they keep their colours.
  std::copy_n(image.pixels, bytes, shaded);

  const auto s = [&](int i, int j) { return static_cast<int>(shade[std::int64_t{i} * pw + j]); };
  for (int i = 1; i < ph - 1; ++i) {
    for (int j = 1; j < pw - 1; ++j) {
      const int gx = s(i - 1, j - 1) + 2 * s(i, j - 1) + s(i + 1, j - 1) - s(i - 1, j + 1) -
                     2 * s(i, j + 1) - s(i + 1, j + 1);
      const int gy = s(i + 1, j - 1) + 2 * s(i + 1, j) + s(i + 1, j + 1) - s(i - 1, j - 1) -
                     2 * s(i - 1, j) - s(i - 1, j + 1);
      double light;
      if (gx == 0 && gy == 0) {
        light = lz;
      } else {
        const double p = gx * lx + gy * ly + k * lz;
        light = p < 0.0 ? 0.0 : p / std::sqrt(double(gx) * gx + double(gy) * gy + k * k);
      }
      light *= 0.00390625;
      unsigned char* rgb = shaded + (std::int64_t{i} * pw + j) * 3;
      for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<unsigned char>(rgb[c] * light);
    }
  }
  std::copy_n(shaded, bytes, image.pixels);
  sxFree(shaded);
}

void previewBuffersFree(PreviewBuffers& preview) {
  imageBufFree(&preview.previewSamples);
  imageBufFree(&preview.previewShade);
  imageBufFree(&preview.previewImage);
}

}  // namespace relievo
