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
  PreviewImage() {
    preview.topColor = kTop;
    preview.bottomColor = kBottom;
  }
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
  Rgb8 color(int sample) const {
    const float d[3] = {static_cast<float>(preview.topColor.r - preview.bottomColor.r),
                        static_cast<float>(preview.topColor.g - preview.bottomColor.g),
                        static_cast<float>(preview.topColor.b - preview.bottomColor.b)};
    return previewPixelColor(preview, ranges, source.undefined, sample, d);
  }

  testing::RasterPtr loaded;
  SourceLayout source{};
  ElevationRanges ranges{};
  PreviewBuffers preview{};
  double steps = 0.0;
};

TEST_F(PreviewImage, SizeKeepsTheAspectEnlargingByWholeFactorsOrShrinking) {
  // The view is 210 x 260: 200 pixels are available along the smaller side.
  const int cases[][4] = {{100, 50, 200, 100},  {1000, 1000, 200, 200}, {3, 1, 198, 66},
                          {200, 200, 200, 200}, {201, 100, 200, 99},    {1000, 10, 200, 2},
                          {5000, 1, 200, 1},    {0, 10, 0, 0}};
  for (const auto& [w, h, pw, ph] : cases) {
    const PreviewSize size = previewSize(kView, w, h);
    EXPECT_EQ(size.width, pw) << w << "x" << h;
    EXPECT_EQ(size.height, ph) << w << "x" << h;
  }
}

// Each value over 25 x 25 pixels on the range 0 ... 254: trunc(1 + 254 x (v - min) / (max -
// min)); infinities at the ends of the ramp, where their posts are clamped; a value that is
// no number, or one that truncates to the undefined 9, is 0 and yellow with undefined data.
TEST_F(PreviewImage, SamplesPlaceEachValueInTheDataRange) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const std::vector<float> values = {
      0, 127, 254, 63.5f, kInf, -kInf, std::numeric_limits<float>::quiet_NaN(), 9.7f};
  const Rgb8 kMiddle{0, 157, 0};
  const struct {
    int hasNull;
    std::vector<int> samples;
    std::vector<Rgb8> colors;
  } cases[] = {
      {1,
       {1, 128, 255, 64, 255, 1, 0, 0},
       {kBottom, kMiddle, kTop, {0, 108, 0}, kTop, kBottom, kUndefinedColor, kUndefinedColor}},
      {0,
       {1, 128, 255, 64, 255, 1, 0, 10},
       {kBottom, kMiddle, kTop, {0, 108, 0}, kTop, kBottom, kBottom, {0, 67, 0}}},
  };
  for (const auto& c : cases) {
    source.undefined = {c.hasNull, 9};
    attach(testing::memoryRaster(8, 1, values));
    ranges.data = {0, 254, 0};
    ranges.dedMin = 10;
    ranges.dedMax = 100;
    buildSamples();
    previewBuildImage(preview, source, ranges);
    const ImageBuf& samples = preview.previewSamples;
    ASSERT_EQ(std::tie(samples.width, samples.height), std::make_tuple(200, 25));
    EXPECT_EQ(std::tie(samples.sourceWidth, samples.sourceHeight), std::make_tuple(8, 1));
    for (int k = 0; k < 8; ++k) {
      EXPECT_EQ(samples.pixels[24 * 200 + 25 * k + 24], c.samples[k]) << k;
      EXPECT_EQ(pixel(0, 25 * k), c.colors[k]) << k;
    }
  }
}

// Sample bytes 1 ... 255 map onto the DED range; one that truncates to 0 metres is blue.
TEST_F(PreviewImage, RampEndsInvertAndZeroElevation) {
  const struct {
    double dedMin;
    int invert, sample;
    Rgb8 color;
  } cases[] = {
      {10, 0, 255, kTop},
      {10, 0, 1, kBottom},  // trunc(60 + (1 / 255) x 195)
      {10, 1, 255, kBottom},
      {10, 1, 1, kTop},
      // On -100 ... 100 samples 127 ... 129 map to -0.8, 0 and 0.8 metres.
      {-100, 0, 126, {0, 156, 0}},
      {-100, 0, 127, kZeroElevationColor},
      {-100, 0, 129, kZeroElevationColor},
      {-100, 0, 130, {0, 159, 0}},
  };
  ranges.data.dataMax = 1;
  ranges.dedMax = 100;
  for (const auto& c : cases) {
    ranges.dedMin = c.dedMin;
    ranges.invert = c.invert;
    selectMapping(ranges);
    EXPECT_EQ(color(c.sample), c.color) << c.dedMin << " " << c.invert << " " << c.sample;
  }
  preview.bottomColor = Rgb8{200, 10, 255};
  preview.topColor = Rgb8{100, 250, 0};
  EXPECT_EQ(color(255), (Rgb8{100, 250, 0}));
  EXPECT_EQ(color(1), (Rgb8{199, 10, 254}));  // trunc(200 - 100 / 255) ...
}

// The rows (1 2 3) then (4 5 6), enlarged 66 times. "Cols" data delivers the terrain column
// by column, so each source row becomes a picture column, south to north, and the picture of
// a grid that is not square is transposed.
TEST_F(PreviewImage, OrderAndOriginPlaceTheSourceRows) {
  struct Case {
    DataOrder order;
    DataOrigin origin;
    int pw, ph;
    int bottomLeft, bottomRight, topLeft, topRight;  // source values
  };
  const Case cases[] = {
      {DataOrder::Rows, DataOrigin::LowerLeft, 198, 132, 1, 3, 4, 6},
      {DataOrder::Rows, DataOrigin::UpperLeft, 198, 132, 4, 6, 1, 3},  // first row at the top
      {DataOrder::Cols, DataOrigin::LowerLeft, 132, 198, 1, 4, 3, 6},
      {DataOrder::Cols, DataOrigin::UpperLeft, 132, 198, 3, 6, 1, 4},
  };
  const int sample[] = {0, 1, 51, 102, 153, 204, 255};  // of the values 1 ... 6
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.order) << " " << int(c.origin));
    source.dataOrder = c.order;
    source.dataOrigin = c.origin;
    build(3, 2, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(preview.previewImage.width, c.pw);
    ASSERT_EQ(preview.previewImage.height, c.ph);
    EXPECT_EQ(pixel(0, 0), color(sample[c.bottomLeft]));
    EXPECT_EQ(pixel(0, c.pw - 1), color(sample[c.bottomRight]));
    EXPECT_EQ(pixel(c.ph - 1, 0), color(sample[c.topLeft]));
    EXPECT_EQ(pixel(c.ph - 1, c.pw - 1), color(sample[c.topRight]));
  }
}

TEST_F(PreviewImage, ConstantDataShowsTheMiddleOfTheRampAndShadingDarkensOnlyTheInside) {
  build(2, 2, {42, 42, 42, 42});
  EXPECT_EQ(preview.previewSamples.pixels[0], 128);
  EXPECT_EQ(pixel(100, 100), (Rgb8{0, 157, 0}));

  // Every inner pixel is flat: its shade is Lz / 256 = sin(60 degrees) x 255.9 / 256.
  preview.shaded = 1;
  previewBuildImage(preview, source, ranges);
  for (int k : {0, 100, 199}) {  // the border keeps its colour
    EXPECT_EQ(std::tuple(pixel(0, k).g, pixel(199, k).g, pixel(k, 0).g, pixel(k, 199).g),
              std::tuple(157, 157, 157, 157))
        << k;
  }
  for (int k : {1, 100, 198})
    EXPECT_EQ(pixel(k, k).g, 135) << k;  // trunc(157 x 0.8657)
}

// Four value columns (or rows) shown 50 pixels wide each: at pixel column (or row) 49 the
// neighbours' shade bytes are those of values 0 and 1. The light comes from the north-west.
TEST_F(PreviewImage, ShadingOfASlopeFollowsTheLight) {
  const struct {
    const char* slope;
    bool northward;  // the values change along the rows (north) rather than the columns
    float step;      // per column or row
    int green;
  } cases[] = {
      {"rising to the east", false, 1, 0},      // turned away from the light
      {"falling to the east", false, -1, 117},  // 255 x 0.4599
      {"rising to the north", true, 1, 0},
      {"falling to the north", true, -1, 117},
  };
  for (const auto& c : cases) {
    std::vector<float> values;
    for (int r = 0; r < 4; ++r) {
      for (int k = 0; k < 4; ++k)
        values.push_back(3 + c.step * static_cast<float>(c.northward ? r : k));
    }
    preview.shaded = 1;
    build(4, 4, values);
    EXPECT_EQ(c.northward ? pixel(49, 100).g : pixel(100, 49).g, c.green) << c.slope;
  }
}

// The samples read the source once and move the progress by its height; colouring,
// orientation and shading changes never read it again.
TEST_F(PreviewImage, SamplesReadTheRasterOnceAndMoveTheProgressByHeight) {
  build(100, 50, std::vector<float>(100 * 50, 1.0f));
  static int passes = 0;
  static RasterOpenFn open = nullptr;
  open = loaded->openFn;
  loaded->openFn = [](RasterRec* r, void** stream) {
    ++passes;
    return open(r, stream);
  };
  steps = 0.0;
  buildSamples();
  EXPECT_DOUBLE_EQ(steps, 50.0);  // 100 output rows of 0.5
  preview.shaded = 1;
  source.dataOrigin = DataOrigin::UpperLeft;
  previewBuildImage(preview, source, ranges);
  ranges.invert = 1;
  previewBuildImage(preview, source, ranges);
  EXPECT_EQ(passes, 1);
}

TEST_F(PreviewImage, NothingIsBuiltWithoutASourceOrMemory) {
  // No source: no samples (they would be a picture of nothing, with its toggles offered).
  source.width = 10;
  source.height = 10;
  buildSamples();
  previewBuildImage(preview, source, ranges);
  EXPECT_EQ(preview.previewSamples.pixels, nullptr);
  EXPECT_EQ(preview.previewImage.pixels, nullptr);

  attach(testing::memoryRaster(10, 10, std::vector<float>(100, 3.0f)));
  buildSamples();
  ASSERT_NE(preview.previewSamples.pixels, nullptr);
  {
    auto refuse = sxhost::AllocationFailure::above(100000);  // the 120000 bytes of picture
    previewBuildImage(preview, source, ranges);
  }
  EXPECT_EQ(preview.previewImage.pixels, nullptr);
  preview.shaded = 1;
  previewBuildImage(preview, source, ranges);
  ASSERT_NE(preview.previewImage.pixels, nullptr);
  const Rgb8 shadedOnce = pixel(100, 100);
  {
    auto refuse = sxhost::AllocationFailure::nth(1);  // the shading block
    previewShadeImage(preview, source.width);
  }
  EXPECT_EQ(pixel(100, 100), shadedOnce);  // not shaded a second time
  previewShadeImage(preview, source.width);
  EXPECT_LT(pixel(100, 100).g, shadedOnce.g);
}

}  // namespace
}  // namespace relievo
