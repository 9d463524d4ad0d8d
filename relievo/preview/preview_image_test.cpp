#include "preview/preview_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <ostream>
#include <tuple>
#include <vector>

#include "ded/mapping.h"
#include "raster/test_files.h"
#include "sxhost/memory.h"

namespace relievo {

// Found by argument-dependent lookup, so they live beside Rgb8.
bool operator==(Rgb8 a, Rgb8 b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}
void PrintTo(Rgb8 c, std::ostream* out) {
  *out << int{c.r} << "," << int{c.g} << "," << int{c.b};
}

namespace {

constexpr Rgb8 kBottom{0, 60, 0};
constexpr Rgb8 kTop{0, 255, 0};

// The preview control's view in the dialog: 200 pixels inside the margins of its smaller side.
constexpr PreviewSize kView{210, 260};

class PreviewImage : public ::testing::Test {
 protected:
  ~PreviewImage() override { previewBuffersFree(preview); }

  // Takes raster as the loaded source.
  void attach(RasterRec* raster) {
    loaded.reset(raster);
    source.width = raster->width;
    source.height = raster->height;
  }
  void buildSamples() {
    const Progress progress{[](double amount, void* c) { *static_cast<double*>(c) += amount; },
                            &steps};
    previewBuildSamples(preview, loaded.get(), source, ranges.data, kView, progress);
  }
  // A source of width x height values as loaded (its range scanned) and built, shown on the
  // DED range 10 ... 100, where no sample is at zero elevation.
  void build(int width, int height, const std::vector<float>& values) {
    attach(testing::memoryRaster(width, height, values));
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    ranges.data = {*low, *high, 0};
    ranges.dedMin = 10;
    ranges.dedMax = 100;
    buildSamples();
    previewBuildImage(preview, source, ranges);
  }
  // Pixel (i, j) of the picture, row i counted from the bottom.
  Rgb8 pixel(int i, int j) const {
    const ImageBuf& image = preview.previewImage;
    const unsigned char* p = image.pixels + (std::int64_t{i} * image.width + j) * 3;
    return {p[0], p[1], p[2]};
  }
  int green(int i, int j) const { return pixel(i, j).g; }
  Rgb8 color(int sample) const {
    const auto [t, b] = std::pair(preview.topColor, preview.bottomColor);
    const float d[3] = {float(t.r - b.r), float(t.g - b.g), float(t.b - b.b)};
    return previewPixelColor(preview, ranges, source.undefined, sample, d);
  }

  testing::RasterPtr loaded;
  SourceLayout source{};
  ElevationRanges ranges{};
  PreviewBuffers preview{{}, {}, {}, 0, kTop, kBottom, {}};
  double steps = 0.0;
};

TEST_F(PreviewImage, SizeKeepsTheAspectEnlargingByWholeFactorsOrShrinking) {
  // The view is 210 x 260: 200 pixels are available along the smaller side.
  const int cases[][4] = {{100, 50, 200, 100},  {1000, 1000, 200, 200}, {3, 1, 198, 66},
                          {200, 200, 200, 200}, {201, 100, 200, 99},    {1000, 10, 200, 2},
                          {5000, 1, 200, 1},    {0, 10, 0, 0}};
  for (const auto& [w, h, pw, ph] : cases) {
    const PreviewSize size = previewSize(kView, w, h);
    EXPECT_EQ(std::tie(size.width, size.height), std::tie(pw, ph)) << w << "x" << h;
  }
}

// Each value over 25 x 25 pixels on the range 0 ... 254: trunc(1 + 254 x (v - min) / (max -
// min)); infinities at the ends; a value that is no number, or one that truncates to the
// undefined 9, is 0 with undefined data. Constant data sits in the middle.
TEST_F(PreviewImage, SamplesPlaceEachValueInTheDataRange) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const std::vector<float> values = {
      0, 127, 254, 63.5f, kInf, -kInf, std::numeric_limits<float>::quiet_NaN(), 9.7f};
  for (const auto& [hasNull, last] : {std::pair{1, 0}, {0, 10}}) {
    source.undefined = {hasNull, 9};
    attach(testing::memoryRaster(8, 1, values));
    ranges.data = {0, 254, 0};
    buildSamples();
    const ImageBuf& samples = preview.previewSamples;
    ASSERT_EQ(std::tie(samples.width, samples.height), std::make_tuple(200, 25));
    EXPECT_EQ(std::tie(samples.sourceWidth, samples.sourceHeight), std::make_tuple(8, 1));
    std::vector<int> got;
    for (int k = 0; k < 8; ++k)
      got.push_back(samples.pixels[24 * 200 + 25 * k + 24]);
    EXPECT_EQ(got, (std::vector<int>{1, 128, 255, 64, 255, 1, 0, last}));
  }
  build(2, 2, {42, 42, 42, 42});
  EXPECT_EQ(preview.previewSamples.pixels[0], 128);
}

// Sample bytes 1 ... 255 map onto the DED range, green trunc(60 + k / 255 x 195) for byte k;
// 0 is yellow with undefined data; a byte that truncates to 0 metres is blue: on -100 ... 100,
// bytes 127 ... 129 map to -0.8, 0 and 0.8 metres.
TEST_F(PreviewImage, ColourOfEachSampleByte) {
  // clang-format off
  const struct { double dedMin; int invert, hasNull, sample; Rgb8 color; } cases[] = {
      {10, 0, 0, 255, kTop}, {10, 0, 0, 1, kBottom}, {10, 0, 0, 64, {0, 108, 0}},
      {10, 0, 0, 0, kBottom}, {10, 0, 1, 0, kUndefinedColor}, {10, 1, 0, 255, kBottom},
      {10, 1, 0, 1, kTop}, {-100, 0, 0, 126, {0, 156, 0}}, {-100, 0, 0, 127, kZeroElevationColor},
      {-100, 0, 0, 129, kZeroElevationColor}, {-100, 0, 0, 130, {0, 159, 0}},
  };
  // clang-format on
  ranges.data.dataMax = 1;
  ranges.dedMax = 100;
  for (const auto& c : cases) {
    ranges.dedMin = c.dedMin;
    ranges.invert = c.invert;
    source.undefined = {c.hasNull, 9};
    selectMapping(ranges);
    EXPECT_EQ(color(c.sample), c.color) << c.dedMin << " " << c.invert << " " << c.sample;
  }
  preview.bottomColor = Rgb8{200, 10, 255};
  preview.topColor = Rgb8{100, 250, 0};
  EXPECT_EQ(color(255), (Rgb8{100, 250, 0}));
  EXPECT_EQ(color(1), (Rgb8{199, 10, 254}));  // trunc(200 - 100 / 255) ...
}

// The rows (1 2 3) then (4 5 6), enlarged 66 times, in greens 60, 99, 138, 177, 216 and 255.
// "Cols" data delivers the terrain column by column, so each source row becomes a picture
// column, south to north, and the picture of a grid that is not square is transposed.
TEST_F(PreviewImage, OrderAndOriginPlaceTheSourceRows) {
  // clang-format off
  const struct { DataOrder order; DataOrigin origin; int pw, ph, bottomLeft, bottomRight, topLeft, topRight; } cases[] = {
      {DataOrder::Rows, DataOrigin::LowerLeft, 198, 132, 60, 138, 177, 255},
      {DataOrder::Rows, DataOrigin::UpperLeft, 198, 132, 177, 255, 60, 138},
      {DataOrder::Cols, DataOrigin::LowerLeft, 132, 198, 60, 177, 138, 255},
      {DataOrder::Cols, DataOrigin::UpperLeft, 132, 198, 138, 255, 60, 177},
  };
  // clang-format on
  for (const auto& c : cases) {
    source.dataOrder = c.order;
    source.dataOrigin = c.origin;
    build(3, 2, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(std::tie(preview.previewImage.width, preview.previewImage.height),
              std::tie(c.pw, c.ph));
    const int right = c.pw - 1, top = c.ph - 1;
    EXPECT_EQ(std::tuple(green(0, 0), green(0, right), green(top, 0), green(top, right)),
              std::tie(c.bottomLeft, c.bottomRight, c.topLeft, c.topRight))
        << int(c.order) << " " << int(c.origin);
  }
}

// Shaded pictures of 4 x 4 values, each shown 50 pixels wide, lit from the north-west. Flat
// ground has the shade Lz / 256 = sin(60 degrees) x 255.9 / 256 inside (157 x 0.8657) and keeps
// its colour on the border; at pixel column (or row) 49 of a slope the neighbours' shade bytes
// are those of values 0 and 1, the slope facing the light at 0.4599 (255 x 0.4599) or turned away.
TEST_F(PreviewImage, ShadingFollowsTheLight) {
  // clang-format off
  const struct { const char* what; float step; bool northward; int i, j, green; } cases[] = {
      {"flat, inside", 0, false, 100, 100, 135}, {"flat, inside corner", 0, false, 1, 1, 135},
      {"flat, inside corner", 0, false, 198, 198, 135}, {"flat, bottom row", 0, false, 0, 100, 157},
      {"flat, top row", 0, false, 199, 100, 157}, {"flat, left column", 0, false, 100, 0, 157},
      {"flat, right column", 0, false, 100, 199, 157}, {"rising to the east", 1, false, 100, 49, 0},
      {"falling to the east", -1, false, 100, 49, 117},
      {"rising to the north", 1, true, 49, 100, 0},
      {"falling to the north", -1, true, 49, 100, 117},
  };
  // clang-format on
  preview.shaded = 1;
  for (const auto& c : cases) {
    std::vector<float> values;
    for (int k = 0; k < 16; ++k)
      values.push_back(3 + c.step * static_cast<float>(c.northward ? k / 4 : k % 4));
    build(4, 4, values);
    EXPECT_EQ(green(c.i, c.j), c.green) << c.what;
  }
}

// No source, no samples (they would be a picture of nothing, with its toggles offered). The
// samples read the source once and move the progress by its height; colouring, orientation and
// shading never read it again. Without memory for the picture there is none; without the
// shading block the picture stays as it was.
TEST_F(PreviewImage, SamplesReadTheRasterOnceAndThePictureNeedsItsMemory) {
  source.width = source.height = 10;
  buildSamples();
  previewBuildImage(preview, source, ranges);
  EXPECT_EQ(std::tie(preview.previewSamples.pixels, preview.previewImage.pixels),
            std::make_tuple(nullptr, nullptr));

  attach(testing::memoryRaster(100, 50, std::vector<float>(100 * 50, 1.0f)));
  static int passes = 0;
  static RasterOpenFn open = nullptr;
  open = loaded->openFn;
  loaded->openFn = [](RasterRec* r, void** stream) {
    ++passes;
    return open(r, stream);
  };
  buildSamples();
  EXPECT_DOUBLE_EQ(steps, 50.0);  // 100 output rows of 0.5
  {
    auto refuse = sxhost::AllocationFailure::above(50000);  // the 60000 bytes of picture
    previewBuildImage(preview, source, ranges);
  }
  EXPECT_EQ(preview.previewImage.pixels, nullptr);
  preview.shaded = 1;
  source.dataOrigin = DataOrigin::UpperLeft;
  previewBuildImage(preview, source, ranges);
  ASSERT_NE(preview.previewImage.pixels, nullptr);
  const Rgb8 shadedOnce = pixel(50, 100);
  {
    auto refuse = sxhost::AllocationFailure::nth(1);  // the shading block
    previewShadeImage(preview, source.width);
  }
  EXPECT_EQ(pixel(50, 100), shadedOnce);  // not shaded a second time
  previewShadeImage(preview, source.width);
  EXPECT_LT(pixel(50, 100).g, shadedOnce.g);
  ranges.invert = 1;
  previewBuildImage(preview, source, ranges);
  EXPECT_EQ(passes, 1);
}

}  // namespace
}  // namespace relievo
