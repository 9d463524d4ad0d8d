#include "raster/image_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "raster/test_files.h"
#include "raster/test_images.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::Bytes;
using testing::pngImage;
using testing::sgiImage;
using testing::TempDir;

struct RasterDeleter {
  void operator()(RasterRec* raster) const { rasterFree(raster); }
};
using RasterPtr = std::unique_ptr<RasterRec, RasterDeleter>;

// The 2 x 1 pictures of the reader's contract, one per image kind.
const Bytes kRgbPlanes = {10, 20, 30, 40, 50, 60};            // R 10 20, G 30 40, B 50 60
const Bytes kRgbaBytes = {10, 30, 50, 255, 20, 40, 60, 255};  // r g b a, r g b a
const Bytes kGreyPlane = {7, 9};
const Bytes kGreyAlphaPlanes = {7, 9, 100, 200};

class ImageReader : public ::testing::Test {
 protected:
  void TearDown() override { rasterFreeImageCache(); }

  struct Opened {
    RasterPtr raster;
    int width = -1;
    int height = -1;
    int valuesRead = 0;
  };

  static Opened open(const std::string& path, ImageComponent component) {
    Opened o;
    o.raster.reset(
        rasterOpenImage(path, component, &o.width, &o.height, nullptr, nullptr, &o.valuesRead));
    return o;
  }

  // The values of a one-row image's chosen component, or nothing when it did not open.
  static std::vector<float> row(const std::string& path, ImageComponent component) {
    const Opened o = open(path, component);
    if (o.raster == nullptr) return {};
    return {o.raster->values, o.raster->values + o.raster->width};
  }

  sxhost::Host host;
  TempDir dir;
};

constexpr float kRedLuminance = static_cast<float>(255 * 0.299 / 1.0306);

TEST_F(ImageReader, IntensityOfAColourImageIsItsLuminance) {
  // White, then pure red, as planes (kind 4) and interleaved (kind 5).
  const std::string rgb = dir.write("wr.rgb", sgiImage(2, 1, 3, {255, 255, 255, 0, 255, 0}));
  const std::string rgba = dir.write("wr.png", pngImage(2, 1, 4, {255, 255, 255, 1, 255, 0, 0, 2}));
  for (const std::string& path : {rgb, rgba}) {
    const std::vector<float> values = row(path, ImageComponent::Intensity);
    ASSERT_EQ(values.size(), 2u) << path;
    EXPECT_EQ(values[0], 255.0f) << path;
    EXPECT_EQ(values[1], kRedLuminance) << path;
    EXPECT_NEAR(values[1], 73.98, 0.005) << path;
  }
}

TEST_F(ImageReader, EveryComponentOfEveryKind) {
  const std::string rgb = dir.write("planes.rgb", sgiImage(2, 1, 3, kRgbPlanes));
  const std::string rgba = dir.write("bytes.png", pngImage(2, 1, 4, kRgbaBytes));
  const std::string rgbaSgi =  // the same RGBA picture as SGI planes
      dir.write("planes.rgba", sgiImage(2, 1, 4, {10, 20, 30, 40, 50, 60, 255, 255}));
  const std::string grey = dir.write("grey.bw", sgiImage(2, 1, 1, kGreyPlane));
  const std::string greyAlpha = dir.write("grey.inta", sgiImage(2, 1, 2, kGreyAlphaPlanes));
  const auto lum = [](double r, double g, double b) {
    return static_cast<float>((r * 0.299 + g * 0.5876 + b * 0.144) / 1.0306);
  };
  using C = ImageComponent;
  struct Case {
    const std::string& path;
    int kind;
    C component;
    std::vector<float> values;  // empty: refused
  };
  const Case cases[] = {
      {rgb, SX_IMAGE_RGB, C::Intensity, {lum(10, 30, 50), lum(20, 40, 60)}},
      {rgb, SX_IMAGE_RGB, C::Red, {10, 20}},
      {rgb, SX_IMAGE_RGB, C::Green, {30, 40}},
      {rgb, SX_IMAGE_RGB, C::Blue, {50, 60}},
      {rgb, SX_IMAGE_RGB, C::Alpha, {}},
      {rgba, SX_IMAGE_RGBA, C::Intensity, {lum(10, 30, 50), lum(20, 40, 60)}},
      {rgba, SX_IMAGE_RGBA, C::Red, {10, 20}},
      {rgba, SX_IMAGE_RGBA, C::Green, {30, 40}},
      {rgba, SX_IMAGE_RGBA, C::Blue, {50, 60}},
      {rgba, SX_IMAGE_RGBA, C::Alpha, {255, 255}},
      {rgbaSgi, SX_IMAGE_RGBA, C::Green, {30, 40}},
      {rgbaSgi, SX_IMAGE_RGBA, C::Alpha, {255, 255}},
      {grey, SX_IMAGE_INTENSITY, C::Intensity, {7, 9}},
      {grey, SX_IMAGE_INTENSITY, C::Red, {}},
      {grey, SX_IMAGE_INTENSITY, C::Green, {}},
      {grey, SX_IMAGE_INTENSITY, C::Blue, {}},
      {grey, SX_IMAGE_INTENSITY, C::Alpha, {}},
      {greyAlpha, SX_IMAGE_INTENSITY_ALPHA, C::Intensity, {7, 9}},
      {greyAlpha, SX_IMAGE_INTENSITY_ALPHA, C::Alpha, {100, 200}},
      {greyAlpha, SX_IMAGE_INTENSITY_ALPHA, C::Red, {}},
      {greyAlpha, SX_IMAGE_INTENSITY_ALPHA, C::Blue, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " component " + std::to_string(static_cast<int>(c.component)));
    const Opened o = open(c.path, c.component);
    // The image was read in every case, so the count is the whole image.
    EXPECT_EQ(o.valuesRead, 2);
    if (c.values.empty()) {
      EXPECT_EQ(o.raster, nullptr);
      continue;
    }
    ASSERT_NE(o.raster, nullptr);
    EXPECT_EQ(std::vector<float>(o.raster->values, o.raster->values + 2), c.values);
    EXPECT_EQ(o.width, 2);
    EXPECT_EQ(o.height, 1);
    EXPECT_EQ(o.raster->imageType, c.kind);
  }
}

TEST_F(ImageReader, TheRecordKnowsItsRangeAtOnce) {
  const std::string path = dir.write("range.rgb", sgiImage(3, 2, 3,
                                                           {
                                                               9, 4, 7, 200, 12, 5,  // R
                                                               0, 0, 0, 0, 0, 0,     // G
                                                               0, 0, 0, 0, 0, 0,     // B
                                                           }));
  const Opened o = open(path, ImageComponent::Red);
  ASSERT_NE(o.raster, nullptr);
  EXPECT_EQ(o.raster->self, o.raster.get());
  EXPECT_EQ(o.raster->magic, kRasterMagic);
  EXPECT_STREQ(o.raster->path, path.c_str());
  EXPECT_EQ(o.raster->fileSize, 512 + 18);
  EXPECT_EQ(o.raster->sourceKind, SourceKind::Image);
  EXPECT_EQ(o.raster->headerOffset, 0);
  EXPECT_EQ(o.raster->dataStride, 0);
  EXPECT_EQ(o.raster->width, 3);
  EXPECT_EQ(o.raster->height, 2);
  EXPECT_EQ(o.valuesRead, 6);
  double lo = 0.0;
  double hi = 0.0;
  ASSERT_EQ(rasterGetMinMax(o.raster.get(), &lo, &hi), 1);
  EXPECT_EQ(lo, 4.0);
  EXPECT_EQ(hi, 200.0);
  // Rows arrive as the host's block holds them: bottom row first, not reordered.
  const testing::Rows rows = testing::readAllRows(o.raster.get());
  EXPECT_EQ(rows, (testing::Rows{{9, 4, 7}, {200, 12, 5}}));
}

TEST_F(ImageReader, ATopRowFirstFileArrivesBottomRowFirst) {
  const std::string path = dir.write("column.png", pngImage(1, 2, 1, {200, 50}));
  EXPECT_EQ(row(path, ImageComponent::Intensity), std::vector<float>{50});
}

TEST_F(ImageReader, ASecondLoadOfTheSameFileDoesNotDecodeAgain) {
  const std::string path = dir.write("once.rgb", sgiImage(2, 1, 3, kRgbPlanes));
  EXPECT_EQ(row(path, ImageComponent::Green), (std::vector<float>{30, 40}));
  EXPECT_EQ(rasterIsCachedImage(path), 1);
  // Another picture under the same name: the cached pixels are still the ones used.
  dir.write("once.rgb", sgiImage(2, 1, 3, {1, 2, 3, 4, 5, 6}));
  const std::uint64_t before = sxhost::allocationRequests();
  EXPECT_EQ(row(path, ImageComponent::Red), (std::vector<float>{10, 20}));
  EXPECT_EQ(row(path, ImageComponent::Green), (std::vector<float>{30, 40}));
  // Each load allocated only its values and its record: no pixel block.
  EXPECT_EQ(sxhost::allocationRequests() - before, 4u);
}

TEST_F(ImageReader, AnotherFileReplacesTheCachedPixels) {
  const std::string a = dir.write("a.rgb", sgiImage(2, 1, 3, kRgbPlanes));
  const std::string b = dir.write("b.bw", sgiImage(2, 1, 1, kGreyPlane));
  const std::int64_t live = sxhost::liveAllocations();
  EXPECT_EQ(row(a, ImageComponent::Red), (std::vector<float>{10, 20}));
  const std::int64_t holdingA = sxhost::liveAllocations();
  EXPECT_EQ(holdingA - live, 2);  // the cache record and a's pixels
  EXPECT_EQ(row(b, ImageComponent::Intensity), (std::vector<float>{7, 9}));
  EXPECT_EQ(sxhost::liveAllocations(), holdingA);  // a's pixels went before b's came
  EXPECT_EQ(rasterIsCachedImage(a), 0);
  EXPECT_EQ(rasterIsCachedImage(b), 1);
}

TEST_F(ImageReader, AFailedDecodeEmptiesTheCacheAndTheOldFileDecodesAgain) {
  const std::string a = dir.write("a.rgb", sgiImage(2, 1, 3, kRgbPlanes));
  const std::string broken = dir.write("broken.png", std::string("\x89PNG\r\n\x1a\n garbage", 17));
  EXPECT_EQ(row(a, ImageComponent::Green), (std::vector<float>{30, 40}));
  dir.write("a.rgb", sgiImage(2, 1, 3, {11, 21, 31, 41, 51, 61}));

  const Opened failed = open(broken, ImageComponent::Intensity);
  EXPECT_EQ(failed.raster, nullptr);
  EXPECT_EQ(failed.valuesRead, 0);
  EXPECT_EQ(failed.width, -1);  // nothing reported
  EXPECT_EQ(failed.height, -1);
  EXPECT_EQ(rasterIsCachedImage(a), 0);
  EXPECT_EQ(rasterIsCachedImage(broken), 0);

  EXPECT_EQ(row(a, ImageComponent::Green), (std::vector<float>{31, 41}));
  EXPECT_EQ(rasterIsCachedImage(a), 1);
}

TEST_F(ImageReader, FilesThatGiveNoImage) {
  const std::string longName(kPathSize + 10, 'x');
  const std::string cases[] = {dir.path("missing.png"),    dir.write("text.rgb", "1 2 3\n"),
                               dir.write("empty.png", ""), dir.path(""),
                               dir.path(longName),         ""};
  for (const std::string& path : cases) {
    const Opened o = open(path, ImageComponent::Intensity);
    EXPECT_EQ(o.raster, nullptr) << path;
    EXPECT_EQ(o.valuesRead, 0) << path;
    EXPECT_EQ(rasterIsCachedImage(path), 0) << path;
  }
}

TEST_F(ImageReader, TheCacheMatchesThePathExactly) {
  const std::string path = dir.write("Exact.rgb", sgiImage(2, 1, 3, kRgbPlanes));
  EXPECT_EQ(rasterIsCachedImage(path), 0);
  ASSERT_FALSE(row(path, ImageComponent::Red).empty());
  EXPECT_EQ(rasterIsCachedImage(path), 1);
  EXPECT_EQ(rasterIsCachedImage(dir.path("exact.rgb")), 0);
  EXPECT_EQ(rasterIsCachedImage(dir.path("Exact.RGB")), 0);
  EXPECT_EQ(rasterIsCachedImage(path + "x"), 0);
  EXPECT_EQ(rasterIsCachedImage(""), 0);
}

TEST_F(ImageReader, FreeingTheCacheReleasesEverything) {
  const std::string path = dir.write("free.rgb", sgiImage(2, 1, 3, kRgbPlanes));
  rasterFreeImageCache();  // nothing held yet
  const std::int64_t live = sxhost::liveAllocations();
  ASSERT_FALSE(row(path, ImageComponent::Red).empty());
  rasterFreeImageCache();
  EXPECT_EQ(sxhost::liveAllocations(), live);
  EXPECT_EQ(rasterIsCachedImage(path), 0);
  rasterFreeImageCache();
  // The next load starts a new cache and decodes the file as it is now.
  dir.write("free.rgb", sgiImage(2, 1, 3, {1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(row(path, ImageComponent::Red), (std::vector<float>{1, 2}));
}

TEST_F(ImageReader, RefusedMemoryGivesNoRecordAndLeaksNothing) {
  const std::string path = dir.write("mem.rgba", sgiImage(2, 1, 4, {1, 2, 3, 4, 5, 6, 7, 8}));
  const std::int64_t live = sxhost::liveAllocations();
  bool succeeded = false;
  // Cache record, the host's pixel block, the values, the record: each refused in turn.
  for (std::uint64_t n = 1; n <= 8 && !succeeded; ++n) {
    rasterFreeImageCache();
    Opened o;
    {
      sxhost::AllocationFailure refuse = sxhost::AllocationFailure::nth(n);
      o = open(path, ImageComponent::Alpha);
    }
    succeeded = o.raster != nullptr;
    if (succeeded) {
      EXPECT_EQ(n, 5u);
      EXPECT_EQ(std::vector<float>(o.raster->values, o.raster->values + 2),
                (std::vector<float>{7, 8}));
    }
    o.raster.reset();
    rasterFreeImageCache();
    EXPECT_EQ(sxhost::liveAllocations(), live) << "allocation " << n;
  }
  EXPECT_TRUE(succeeded);
}

TEST(ComponentsOnOffer, TheExtensionDecides) {
  constexpr int I = 1, R = 2, G = 4, B = 8, A = 16;
  struct Case {
    const char* fileName;
    SourceKind kind;
    int mask;
  };
  const Case cases[] = {
      {"/d/a.RGB", SourceKind::Image, I | R | G | B},
      {"/d/a.rgb", SourceKind::Image, I | R | G | B},
      {"/d/a.RgBa", SourceKind::Image, I | R | G | B | A},
      {"/d/a.rgba", SourceKind::Image, I | R | G | B | A},
      {"/d/a.inta", SourceKind::Image, I | A},
      {"/d/a.INT", SourceKind::Image, I},
      {"/d/a.png", SourceKind::Image, I},
      {"/d/a.sgi", SourceKind::Image, I},
      {"/d/a", SourceKind::Image, I},
      {"/d.rgba/a", SourceKind::Image, I},  // the text after the last '.' is "rgba/a"
      {"/d/a.rgba.png", SourceKind::Image, I},
      {"/d/a.rgba", SourceKind::Binary, I},
      {"/d/a.rgba", SourceKind::Fractal, I},
      {"", SourceKind::Image, I},
  };
  for (const Case& c : cases) {
    ToolState state{};
    std::snprintf(state.fileName, sizeof state.fileName, "%s", c.fileName);
    state.sourceKind = c.kind;
    state.imageComponent = ImageComponent::Intensity;
    componentsOnOffer(&state);
    EXPECT_EQ(state.componentMask, c.mask) << c.fileName;
  }
}

TEST(ComponentsOnOffer, AComponentNotOfferedGoesBackToIntensity) {
  using C = ImageComponent;
  struct Case {
    const char* fileName;
    C chosen;
    C after;
  };
  const Case cases[] = {
      {"a.rgba", C::Alpha, C::Alpha},
      {"a.rgb", C::Alpha, C::Intensity},
      {"a.rgb", C::Blue, C::Blue},
      {"a.png", C::Green, C::Intensity},
      {"a.inta", C::Alpha, C::Alpha},
      {"a.inta", C::Red, C::Intensity},
      {"a.rgba", static_cast<C>(0), C::Intensity},
      {"a.rgba", static_cast<C>(9), C::Intensity},
  };
  for (const Case& c : cases) {
    ToolState state{};
    std::snprintf(state.fileName, sizeof state.fileName, "%s", c.fileName);
    state.sourceKind = SourceKind::Image;
    state.imageComponent = c.chosen;
    componentsOnOffer(&state);
    EXPECT_EQ(state.imageComponent, c.after) << c.fileName << " " << static_cast<int>(c.chosen);
  }
}

}  // namespace
}  // namespace relievo
