#include "preview/preview_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "ded/mapping.h"
#include "dialog/progress.h"
#include "plugin/test_host.h"
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

// Counts the passes and row reads of a source, to show what reads the raster and how often.
struct ReadCounter {
  static inline int opens = 0;
  static inline int reads = 0;
  static inline RasterOpenFn open = nullptr;
  static inline RasterReadRowFn read = nullptr;

  static void install(RasterRec* raster) {
    opens = 0;
    reads = 0;
    open = raster->openFn;
    read = raster->readRowFn;
    raster->openFn = [](RasterRec* r, void** stream) {
      ++opens;
      return open(r, stream);
    };
    raster->readRowFn = [](RasterRec* r, void* stream, int row, double* out, int rows, int count) {
      ++reads;
      return read(r, stream, row, out, rows, count);
    };
  }
};

class PreviewImage : public ::testing::Test {
 protected:
  // A source of width x height values as loaded: range, DED range equal to it in metres.
  void load(int width, int height, const std::vector<float>& values) {
    testing::attach(state, testing::memoryRaster(width, height, values));
    state.dataMin = *std::min_element(values.begin(), values.end());
    state.dataMax = *std::max_element(values.begin(), values.end());
    state.dedMin = state.dataMin;
    state.dedMax = state.dataMax;
  }
  void build() {
    previewBuildSamples(&state);
    previewBuildImage(&state);
  }
  int pw() const { return state.previewImage.width; }
  int ph() const { return state.previewImage.height; }
  // Pixel (i, j) of the picture, row i counted from the bottom.
  Rgb8 pixel(int i, int j) const {
    const unsigned char* p = state.previewImage.pixels + (std::int64_t{i} * pw() + j) * 3;
    return {p[0], p[1], p[2]};
  }
  Rgb8 color(int sample) const {
    const float d[3] = {static_cast<float>(state.topColor.r - state.bottomColor.r),
                        static_cast<float>(state.topColor.g - state.bottomColor.g),
                        static_cast<float>(state.topColor.b - state.bottomColor.b)};
    return previewPixelColor(&state, sample, d);
  }

  testing::HostedState hosted;
  ToolState& state = hosted.state;
};

TEST_F(PreviewImage, SizeKeepsTheAspectEnlargingByWholeFactorsOrShrinking) {
  struct Case {
    int w, h, pw, ph;
  };
  // The view is 210 x 260: 200 pixels are available along the smaller side.
  const Case cases[] = {
      {100, 50, 200, 100}, {1000, 1000, 200, 200}, {3, 1, 198, 66},   {200, 200, 200, 200},
      {201, 100, 200, 99}, {1000, 10, 200, 2},     {5000, 1, 200, 1}, {0, 10, 0, 0},
  };
  for (const Case& c : cases) {
    const PreviewSize size = previewSize(&state, c.w, c.h);
    EXPECT_EQ(size.width, c.pw) << c.w << "x" << c.h;
    EXPECT_EQ(size.height, c.ph) << c.w << "x" << c.h;
  }
}

TEST_F(PreviewImage, SamplesPlaceEachValueInTheDataRange) {
  load(4, 1, {0, 127, 254, 63.5f});
  build();
  ASSERT_EQ(state.previewSamples.width, 200);
  ASSERT_EQ(state.previewSamples.height, 50);
  EXPECT_EQ(state.previewSamples.sourceWidth, 4);
  EXPECT_EQ(state.previewSamples.sourceHeight, 1);
  // trunc(1 + 254 x (v - min) / (max - min)), each value over 50 x 50 pixels.
  const unsigned char* s = state.previewSamples.pixels;
  EXPECT_EQ(s[0], 1);
  EXPECT_EQ(s[50], 128);
  EXPECT_EQ(s[100], 255);
  EXPECT_EQ(s[150], 64);
  EXPECT_EQ(s[49 * 200 + 199], 64);
}

TEST_F(PreviewImage, UndefinedValuesAreYellowOnlyWithUndefinedData) {
  state.nullValue = 9;
  for (int hasNull : {1, 0}) {
    discardRaster(&state);
    state.hasNullData = hasNull;
    load(2, 1, {9.7f, 100});
    if (hasNull) state.dataMin = 100;  // as the scan finds it: 9.7 is undefined
    state.dedMin = 10;
    state.dedMax = 100;
    build();
    const Rgb8 left = pixel(0, 0);
    if (hasNull) {
      EXPECT_EQ(state.previewSamples.pixels[0], 0);
      EXPECT_EQ(left, kUndefinedColor);
    } else {
      EXPECT_EQ(state.previewSamples.pixels[0], 1);
      EXPECT_EQ(left, (Rgb8{0, 60, 0}));
    }
  }
}

TEST_F(PreviewImage, ZeroElevationHasItsOwnColour) {
  state.dedMin = -100;
  state.dedMax = 100;
  state.dataMin = 0;
  state.dataMax = 1;
  selectMapping(&state);
  int blue = 0;
  for (int b = 1; b <= 255; ++b) {
    const double e = std::trunc(-100.0 + 200.0 * (b - 1) / 254.0);
    EXPECT_EQ(color(b) == kZeroElevationColor, e == 0.0) << b;
    blue += color(b) == kZeroElevationColor ? 1 : 0;
  }
  EXPECT_GE(blue, 1);

  state.dedMin = 10;
  selectMapping(&state);
  for (int b = 0; b <= 255; ++b)
    EXPECT_FALSE(color(b) == kZeroElevationColor) << b;
}

TEST_F(PreviewImage, RampEndsAndInvert) {
  state.dedMin = 10;
  state.dedMax = 100;
  state.dataMin = 0;
  state.dataMax = 1;
  selectMapping(&state);
  EXPECT_EQ(color(255), (Rgb8{0, 255, 0}));
  EXPECT_EQ(color(1), (Rgb8{0, 60, 0}));  // trunc(60 + (1 / 255) x 195)
  EXPECT_EQ(color(128), (Rgb8{0, 157, 0}));
  // Without undefined data a zero byte is a colour of the ramp like any other.
  EXPECT_EQ(color(0), (Rgb8{0, 60, 0}));
  state.invert = 1;
  selectMapping(&state);
  EXPECT_EQ(color(255), (Rgb8{0, 60, 0}));
  EXPECT_EQ(color(1), (Rgb8{0, 255, 0}));

  state.invert = 0;
  state.bottomColor = Rgb8{200, 10, 255};
  state.topColor = Rgb8{100, 250, 0};
  selectMapping(&state);
  EXPECT_EQ(color(255), (Rgb8{100, 250, 0}));
  EXPECT_EQ(color(1), (Rgb8{199, 10, 254}));  // trunc(200 - 100 / 255) ...
}

TEST_F(PreviewImage, OriginAndOrderPlaceTheSourceRows) {
  // 2 x 2 data fills the 200 x 200 picture by quarters: value v in quarter (row, column).
  struct Case {
    DataOrder order;
    DataOrigin origin;
    float bottomLeft, bottomRight, topLeft, topRight;
  };
  const Case cases[] = {
      {DataOrder::Rows, DataOrigin::LowerLeft, 1, 2, 3, 4},
      {DataOrder::Rows, DataOrigin::UpperLeft, 3, 4, 1, 2},  // first row at the top
  };
  for (const Case& c : cases) {
    discardRaster(&state);
    state.dataOrder = c.order;
    state.dataOrigin = c.origin;
    load(2, 2, {1, 2, 3, 4});
    state.dedMin = 10;
    state.dedMax = 100;
    build();
    const auto at = [&](float v) { return color(static_cast<int>(1 + 254 * (v - 1) / 3)); };
    EXPECT_EQ(pixel(0, 0), at(c.bottomLeft));
    EXPECT_EQ(pixel(0, 199), at(c.bottomRight));
    EXPECT_EQ(pixel(199, 0), at(c.topLeft));
    EXPECT_EQ(pixel(199, 199), at(c.topRight));
  }
}

TEST_F(PreviewImage, ColumnOrderFillsThePictureColumnByColumn) {
  // A 1:1 picture (200 x 200 data): byte k lands in column k / 200.
  struct Case {
    DataOrigin origin;
    int firstRow;  // the display row of the first byte
  };
  for (const Case& c : {Case{DataOrigin::LowerLeft, 0}, Case{DataOrigin::UpperLeft, 199}}) {
    discardRaster(&state);
    state.dataOrder = DataOrder::Cols;
    state.dataOrigin = c.origin;
    std::vector<float> values(200 * 200, 0.0f);
    values[0] = 10;   // first value of the first delivered row
    values[1] = 5;    // the next value: the next pixel up (or down) the same column
    values[200] = 7;  // first value of the second row: the second column
    load(200, 200, values);
    state.dedMin = 1000;
    state.dedMax = 2000;
    build();
    const int step = c.origin == DataOrigin::LowerLeft ? 1 : -1;
    EXPECT_EQ(pixel(c.firstRow, 0), color(255));
    EXPECT_EQ(pixel(c.firstRow + step, 0), color(static_cast<int>(1 + 254 * 0.5)));
    EXPECT_EQ(pixel(c.firstRow, 1), color(static_cast<int>(1 + 254 * 0.7)));
  }
}

TEST_F(PreviewImage, ConstantDataShowsTheMiddleOfTheRamp) {
  load(2, 2, {42, 42, 42, 42});
  state.dedMin = 10;
  state.dedMax = 100;
  build();
  EXPECT_EQ(state.previewSamples.pixels[0], 128);
  EXPECT_EQ(pixel(0, 0), color(128));
  EXPECT_EQ(pixel(0, 0), (Rgb8{0, 157, 0}));
}

TEST_F(PreviewImage, ShadingKeepsTheBorderAndDarkensFlatAreas) {
  // Constant data: every sample the same, so every inner pixel is flat.
  load(2, 2, {42, 42, 42, 42});
  state.dedMin = 10;
  state.dedMax = 100;
  state.shaded = 1;
  build();
  const double lz = std::sin(60.0 * std::numbers::pi / 180.0) * 255.9;
  const auto flat = static_cast<std::uint8_t>(157 * (lz / 256.0));
  EXPECT_EQ(flat, 135);
  for (int k = 0; k < 200; ++k) {
    EXPECT_EQ(pixel(0, k).g, 157) << k;
    EXPECT_EQ(pixel(199, k).g, 157) << k;
    EXPECT_EQ(pixel(k, 0).g, 157) << k;
    EXPECT_EQ(pixel(k, 199).g, 157) << k;
  }
  EXPECT_EQ(pixel(1, 1).g, flat);
  EXPECT_EQ(pixel(100, 100).g, flat);
  EXPECT_EQ(pixel(198, 198).g, flat);
}

TEST_F(PreviewImage, ShadingOfASlopeFollowsTheLight) {
  // Four value columns shown 50 pixels wide each; at pixel column 49 the shade bytes of the
  // neighbours are those of value columns 0 (left) and 1 (right), and gy is 0.
  struct Case {
    std::vector<float> row;
    int left, right, own;  // sample bytes
  };
  const Case cases[] = {
      {{0, 1, 2, 3}, 1, 85, 1},       // rising to the east: turned away from the light
      {{3, 2, 1, 0}, 255, 170, 255},  // falling to the east: towards it
  };
  const double alpha = -45.0 * std::numbers::pi / 180.0;
  const double beta = 60.0 * std::numbers::pi / 180.0;
  const double lx = std::cos(beta) * std::cos(alpha) * 255.9;
  const double lz = std::sin(beta) * 255.9;
  const double k = 1530.0 / (5.0 / std::sqrt(4.0 / 200.0));
  for (const Case& c : cases) {
    discardRaster(&state);
    std::vector<float> values;
    for (int r = 0; r < 4; ++r)
      values.insert(values.end(), c.row.begin(), c.row.end());
    load(4, 4, values);
    state.dedMin = 10;
    state.dedMax = 100;
    state.shaded = 1;
    build();
    const int gx = 4 * (c.left - c.right);
    const double p = gx * lx + k * lz;
    const double s = (p < 0 ? 0.0 : p / std::sqrt(double(gx) * gx + k * k)) / 256.0;
    EXPECT_EQ(pixel(100, 49).g, static_cast<std::uint8_t>(color(c.own).g * s)) << c.left;
  }
}

TEST_F(PreviewImage, SamplesReadTheRasterOnceAndMoveTheProgressByHeight) {
  load(100, 50, std::vector<float>(100 * 50, 1.0f));
  ReadCounter::install(state.raster);
  progressBegin(&state, "Reading File...", 100);
  previewBuildSamples(&state);
  EXPECT_EQ(ReadCounter::opens, 1);
  EXPECT_EQ(ReadCounter::reads, 50);
  EXPECT_DOUBLE_EQ(state.progressAccum, 50.0);  // 100 output rows of 0.5

  // Colouring, orientation and shading changes never read the source again.
  state.shaded = 1;
  state.dataOrigin = DataOrigin::UpperLeft;
  previewBuildImage(&state);
  state.invert = 1;
  previewBuildImage(&state);
  EXPECT_EQ(ReadCounter::opens, 1);
}

TEST_F(PreviewImage, NothingToBuildWithoutSamplesOrMemory) {
  previewBuildImage(&state);
  EXPECT_EQ(state.previewImage.pixels, nullptr);

  load(10, 10, std::vector<float>(100, 3.0f));
  {
    auto refuse = sxhost::AllocationFailure::above(1000);  // the 200 x 200 samples
    previewBuildSamples(&state);
  }
  EXPECT_EQ(state.previewSamples.pixels, nullptr);
  previewBuildImage(&state);
  EXPECT_EQ(state.previewImage.pixels, nullptr);

  previewBuildSamples(&state);
  ASSERT_NE(state.previewSamples.pixels, nullptr);
  {
    auto refuse = sxhost::AllocationFailure::above(100000);  // the 120000 bytes of picture
    previewBuildImage(&state);
  }
  EXPECT_EQ(state.previewImage.pixels, nullptr);
  state.shaded = 1;
  previewBuildImage(&state);
  ASSERT_NE(state.previewImage.pixels, nullptr);
  const Rgb8 shadedOnce = pixel(100, 100);
  {
    auto refuse = sxhost::AllocationFailure::nth(1);  // the shading block
    previewShadeImage(&state);
  }
  EXPECT_EQ(pixel(100, 100), shadedOnce);  // not shaded a second time
  previewShadeImage(&state);
  EXPECT_LT(pixel(100, 100).g, shadedOnce.g);
}

TEST_F(PreviewImage, NoSourceMakesNoSamples) {
  state.width = 100;
  state.height = 50;
  previewBuildSamples(&state);
  EXPECT_EQ(state.previewSamples.pixels, nullptr);
  previewBuildImage(&state);
  EXPECT_EQ(state.previewImage.pixels, nullptr);
}

TEST_F(PreviewImage, SetDimensionsDiscardsExactlyWhenItShould) {
  struct Case {
    int w, h;
    bool discards;
  };
  // Loaded 10 x 8, samples made for 12 x 9 (a larger earlier source).
  const Case cases[] = {
      {10, 8, false},  // unchanged
      {11, 8, true},   // differs from width
      {10, 7, true},   // differs from height
      {13, 8, true},   // beyond the samples' source width
      {10, 10, true},  // beyond the samples' source height
  };
  for (const Case& c : cases) {
    discardRaster(&state);
    load(10, 8, std::vector<float>(80, 1.0f));
    build();
    state.previewSamples.sourceWidth = 12;
    state.previewSamples.sourceHeight = 9;
    setDimensions(&state, c.w, c.h);
    EXPECT_EQ(state.width, c.w);
    EXPECT_EQ(state.height, c.h);
    EXPECT_EQ(state.raster == nullptr, c.discards) << c.w << "x" << c.h;
    EXPECT_EQ(state.previewSamples.pixels == nullptr, c.discards) << c.w << "x" << c.h;
  }
  // Without a raster new dimensions are only stored.
  discardRaster(&state);
  setDimensions(&state, 3, 4);
  EXPECT_EQ(state.width, 3);
  EXPECT_EQ(state.height, 4);
}

TEST_F(PreviewImage, RedrawDrawsThePictureIntoThePreviewControl) {
  load(2, 2, {1, 2, 3, 4});
  state.dedMin = 10;
  state.dedMax = 100;
  build();
  redrawPreview(&state);
  EXPECT_FALSE(hosted.control(1036).lastPicture().empty());
}

}  // namespace
}  // namespace relievo
