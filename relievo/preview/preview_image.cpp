#include "preview/preview_image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "ded/mapping.h"
#include "dialog/progress.h"
#include "raster/data_scan.h"

namespace relievo {

namespace {

constexpr int kSampleLowest = 1;
constexpr int kSampleHighest = 255;
// Constant data has no place in its range; it shows in the middle of the ramp.
constexpr int kSampleMiddle = 128;

struct SampleContext {
  ToolState* state;
  unsigned char* next;
  double advance;  // progress per output row: height / ph, so the pass moves by height
};

// Truncates toward zero and keeps the low 8 bits; values far outside any range (a reversed
// range of a source that is all undefined) are pinned first so the conversion stays defined.
unsigned char lowByte(double value) {
  const double pinned = std::clamp(std::trunc(value), -1e15, 1e15);
  return static_cast<unsigned char>(static_cast<std::int64_t>(pinned));
}

unsigned char sampleOf(const ToolState* state, double v) {
  if (isUndefinedValue(state, v) || !std::isfinite(v)) return 0;
  if (state->dataMax == state->dataMin) return kSampleMiddle;
  return lowByte(mapLinear(v, state->dataMin, state->dataMax, kSampleLowest, kSampleHighest));
}

int sampleRow(const double* values, int count, int, void* data) {
  auto* context = static_cast<SampleContext*>(data);
  for (int i = 0; i < count; ++i)
    *context->next++ = sampleOf(context->state, values[i]);
  progressAdvance(context->state, context->advance);
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

PreviewSize previewSize(const ToolState* state, int w, int h) {
  int viewWidth = 0;
  int viewHeight = 0;
  sxGuiGetViewSize(state->previewGl, &viewWidth, &viewHeight);
  const int avail = std::min(viewWidth, viewHeight) - 2 * kPreviewMargin;
  if (avail <= 0 || w <= 0 || h <= 0) return {0, 0};
  const double ratio = static_cast<double>(avail) / std::max(w, h);
  if (ratio >= 1.0) {
    const int factor = static_cast<int>(ratio);
    return {w * factor, h * factor};
  }
  // A one-pixel edge stays visible however far the other side is shrunk.
  return {std::max(1, static_cast<int>(w * ratio)), std::max(1, static_cast<int>(h * ratio))};
}

void previewBuildSamples(ToolState* state) {
  // Without a source there is nothing to show; samples made anyway would be a picture of
  // whatever the buffer held, with the preview toggles offered for it.
  if (!rasterIsValid(state->raster)) return;
  const PreviewSize size = previewSize(state, state->width, state->height);
  ImageBuf& samples = state->previewSamples;
  if (!imageBufGrow(&samples, size.width, size.height, 1)) return;
  samples.sourceWidth = state->width;
  samples.sourceHeight = state->height;
  if (size.width == 0 || size.height == 0) return;
  SampleContext context{state, samples.pixels, static_cast<double>(state->height) / size.height};
  rasterForEachRowResampled(state->raster, size.width, size.height, sampleRow, &context);
}

void previewBuildImage(ToolState* state) {
  const ImageBuf& samples = state->previewSamples;
  if (samples.pixels == nullptr) return;
  // The picture has the samples' size (transposed for "Cols"): the view may have changed
  // since they were taken.
  const DisplayWalk walk{samples.width, samples.height, state->dataOrder, state->dataOrigin};
  const int pw = walk.pictureWidth();
  const int ph = walk.pictureHeight();
  if (!imageBufGrow(&state->previewImage, pw, ph, 3) ||
      !imageBufGrow(&state->previewShade, pw, ph, 1)) {
    return;
  }
  const float d[3] = {
      static_cast<float>(state->topColor.r - state->bottomColor.r),
      static_cast<float>(state->topColor.g - state->bottomColor.g),
      static_cast<float>(state->topColor.b - state->bottomColor.b),
  };
  selectMapping(state);

  const std::int64_t count = std::int64_t{pw} * ph;
  for (std::int64_t k = 0; k < count; ++k) {
    const unsigned char b = samples.pixels[k];
    const std::int64_t pixel = walk.pixelOf(k);
    const Rgb8 color = previewPixelColor(state, b, d);
    unsigned char* rgb = state->previewImage.pixels + pixel * 3;
    rgb[0] = color.r;
    rgb[1] = color.g;
    rgb[2] = color.b;
    state->previewShade.pixels[pixel] = b;
  }
  if (state->shaded != 0) previewShadeImage(state);
}

Rgb8 previewPixelColor(const ToolState* state, int sample, std::span<const float, 3> d) {
  if (state->hasNullData != 0 && sample == 0) return kUndefinedColor;
  const MapFn map = state->previewMapFn != nullptr ? state->previewMapFn : mapLinear;
  const double elevation = map(sample, kSampleLowest, kSampleHighest, state->dedMin, state->dedMax);
  if (std::trunc(elevation) == 0.0) return kZeroElevationColor;
  const double k =
      std::trunc(map(sample, kSampleLowest, kSampleHighest, kSampleLowest, kSampleHighest));
  const auto t = static_cast<float>(k / 255.0);
  const auto channel = [t](std::uint8_t bottom, float difference) {
    return static_cast<std::uint8_t>(lowByte(bottom + t * difference));
  };
  return {channel(state->bottomColor.r, d[0]), channel(state->bottomColor.g, d[1]),
          channel(state->bottomColor.b, d[2])};
}

void previewShadeImage(ToolState* state) {
  // The picture's own size: for "Cols" data it is the samples' size transposed.
  ImageBuf& image = state->previewImage;
  const ImageBuf& samples = state->previewSamples;
  const int pw = image.width;
  const int ph = image.height;
  const unsigned char* shade = state->previewShade.pixels;
  if (pw <= 0 || ph <= 0 || image.pixels == nullptr || shade == nullptr ||
      state->previewShade.width != pw || state->previewShade.height != ph ||
      std::int64_t{pw} * ph != std::int64_t{samples.width} * samples.height) {
    return;
  }

  const double z = 5.0 / std::sqrt(static_cast<double>(state->width) / samples.width);
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

void redrawPreview(ToolState* state) {
  sxDrawControl(state->previewGl);
}

void setDimensions(ToolState* state, int w, int h) {
  const bool changed = w > state->previewSamples.sourceWidth ||
                       h > state->previewSamples.sourceHeight || w != state->width ||
                       h != state->height;
  state->width = w;
  state->height = h;
  if (changed) discardRaster(state);
}

}  // namespace relievo
