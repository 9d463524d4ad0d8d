#include "raster/image_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "raster/test_files.h"
#include "raster/test_images.h"
#include "relievo_testing/scratch_dir.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::Bytes;
using testing::pngImage;
using testing::RasterPtr;
using testing::ScratchDir;
using testing::sgiImage;
using Values = std::vector<float>;

const Bytes kRgbPlanes = {10, 20, 30, 40, 50, 60};  // R 10 20, G 30 40, B 50 60

class ImageReader : public ::testing::Test {
 protected:
  void TearDown() override { rasterFreeImageCache(&cache); }

  static inline ImageCache* cache = nullptr;

  struct Opened {
    RasterPtr raster;
    int width = -1, height = -1, valuesRead = 0;
  };

  static Opened open(const std::string& path, ImageComponent component) {
    Opened o;
    o.raster.reset(rasterOpenImage(&cache, path, component, &o.width, &o.height, nullptr, nullptr,
                                   &o.valuesRead));
    return o;
  }

  // The values of an image's chosen component, or nothing when it did not open.
  static Values values(const std::string& path, ImageComponent component) {
    const Opened o = open(path, component);
    if (o.raster == nullptr) return {};
    return {o.raster->values, o.raster->values + o.width * o.height};
  }

  sxhost::Host host;
  ScratchDir dir;
};

TEST_F(ImageReader, EveryComponentOfEveryKind) {
  // The intensity of a colour is its luminance: (10 x 0.299 + 30 x 0.5876 + 50 x 0.144) / 1.0306
  // = 26.9920425, and 10 more for each channel 10 higher.
  const Values colour = {26.9920425f, 36.9920425f};
  // {path, kind, values of Intensity, Red, Green, Blue, Alpha (empty: refused)}
  const std::tuple<std::string, int, std::vector<Values>> cases[] = {
      // clang-format off
      {dir.write("planes.rgb", sgiImage(2, 1, 3, kRgbPlanes)), SX_IMAGE_RGB,
       {colour, {10, 20}, {30, 40}, {50, 60}, {}}},
      {dir.write("bytes.png", pngImage(2, 1, 4, {10, 30, 50, 255, 20, 40, 60, 255})), SX_IMAGE_RGBA,
       {colour, {10, 20}, {30, 40}, {50, 60}, {255, 255}}},
      {dir.write("planes.rgba", sgiImage(2, 1, 4, {10, 20, 30, 40, 50, 60, 255, 255})),
       SX_IMAGE_RGBA, {colour, {10, 20}, {30, 40}, {50, 60}, {255, 255}}},
      {dir.write("grey.bw", sgiImage(2, 1, 1, {7, 9})), SX_IMAGE_INTENSITY, {{7, 9}, {}, {}, {}, {}}},
      {dir.write("grey.inta", sgiImage(2, 1, 2, {7, 9, 100, 200})), SX_IMAGE_INTENSITY_ALPHA,
       {{7, 9}, {}, {}, {}, {100, 200}}},
      // clang-format on
  };
  for (const auto& [path, kind, components] : cases) {
    for (int component = 1; component <= 5; ++component) {
      SCOPED_TRACE(path + " component " + std::to_string(component));
      const Opened o = open(path, static_cast<ImageComponent>(component));
      const Values& expected = components[component - 1];
      EXPECT_EQ(o.valuesRead, 2);  // the image was read in every case
      ASSERT_EQ(o.raster != nullptr, !expected.empty());
      if (o.raster == nullptr) continue;
      EXPECT_EQ(Values(o.raster->values, o.raster->values + 2), expected);
      EXPECT_EQ(std::make_pair(o.width, o.height), std::make_pair(2, 1));
      EXPECT_EQ(o.raster->imageType, kind);
    }
  }
}

TEST_F(ImageReader, TheRecordKnowsItsRangeAtOnce) {
  const Bytes planes = {9, 4, 7, 200, 12, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // R, G, B
  const std::string path = dir.write("range.rgb", sgiImage(3, 2, 3, planes));
  const Opened o = open(path, ImageComponent::Red);
  ASSERT_NE(o.raster, nullptr);
  EXPECT_STREQ(o.raster->path, path.c_str());
  EXPECT_EQ(std::tie(o.raster->fileSize, o.raster->sourceKind, o.raster->headerOffset,
                     o.raster->dataStride, o.valuesRead),
            std::make_tuple(512 + 18, SourceKind::Image, 0, 0, 6));
  double lo = 0.0, hi = 0.0;
  ASSERT_EQ(rasterGetMinMax(o.raster.get(), &lo, &hi), 1);
  EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(4.0, 200.0));
  // Rows arrive as the host's block holds them: bottom row first, not reordered.
  EXPECT_EQ(testing::readAllRows(o.raster.get()), (testing::Rows{{9, 4, 7}, {200, 12, 5}}));
}

// A second load of the same path (spelt exactly so) does not decode again, even when the
// file has changed; another file replaces the cached pixels, and freeing releases them.
TEST_F(ImageReader, TheCacheHoldsThePixelsOfOneFile) {
  const std::string a = dir.write("Exact.rgb", sgiImage(2, 1, 3, kRgbPlanes));
  const std::string b = dir.write("b.bw", sgiImage(2, 1, 1, {7, 9}));
  const std::int64_t live = sxhost::liveAllocations();
  EXPECT_EQ(rasterIsCachedImage(cache, a), 0);
  EXPECT_EQ(values(a, ImageComponent::Green), (Values{30, 40}));
  EXPECT_EQ(sxhost::liveAllocations() - live, 2);  // the cache record and the pixels
  for (const std::string& other : {a, dir.path("exact.rgb"), a + "x", std::string()})
    EXPECT_EQ(rasterIsCachedImage(cache, other), other == a ? 1 : 0) << other;
  dir.write("Exact.rgb", sgiImage(2, 1, 3, {1, 2, 3, 4, 5, 6}));
  const std::uint64_t before = sxhost::allocationRequests();
  EXPECT_EQ(values(a, ImageComponent::Red), (Values{10, 20}));
  EXPECT_EQ(sxhost::allocationRequests() - before, 2u);  // the values and the record only

  EXPECT_EQ(values(b, ImageComponent::Intensity), (Values{7, 9}));
  EXPECT_EQ(sxhost::liveAllocations() - live, 2);  // a's pixels went before b's came
  EXPECT_EQ(std::make_pair(rasterIsCachedImage(cache, a), rasterIsCachedImage(cache, b)),
            std::make_pair(0, 1));
  rasterFreeImageCache(&cache);
  EXPECT_EQ(sxhost::liveAllocations(), live);
  rasterFreeImageCache(&cache);
  dir.write("b.bw", sgiImage(2, 1, 1, {1, 2}));  // decoded as it is now
  EXPECT_EQ(values(b, ImageComponent::Intensity), (Values{1, 2}));
}

// A file that gives no image reports nothing, and a failed decode empties the cache: the file
// cached before decodes again, as it is now.
TEST_F(ImageReader, FilesThatGiveNoImageAndEmptyTheCache) {
  const std::string a = dir.write("a.rgb", sgiImage(2, 1, 3, kRgbPlanes));
  EXPECT_EQ(values(a, ImageComponent::Green), (Values{30, 40}));
  dir.write("a.rgb", sgiImage(2, 1, 3, {11, 21, 31, 41, 51, 61}));
  const std::string cases[] = {dir.write("broken.png", std::string("\x89PNG\r\n\x1a\n junk", 14)),
                               dir.path("missing.png"),
                               dir.write("text.rgb", "1 2 3\n"),
                               dir.write("empty.png", ""),
                               dir.path(""),
                               dir.path(std::string(kPathSize + 10, 'x')),
                               ""};
  for (const std::string& path : cases) {
    const Opened o = open(path, ImageComponent::Intensity);
    EXPECT_EQ(o.raster, nullptr) << path;
    EXPECT_EQ(o.valuesRead, 0) << path;
    EXPECT_EQ(std::make_pair(o.width, o.height), std::make_pair(-1, -1)) << path;
    EXPECT_EQ(rasterIsCachedImage(cache, path), 0) << path;
  }
  EXPECT_EQ(rasterIsCachedImage(cache, a), 0);
  EXPECT_EQ(values(a, ImageComponent::Green), (Values{31, 41}));
  EXPECT_EQ(rasterIsCachedImage(cache, a), 1);
}

TEST_F(ImageReader, RefusedMemoryGivesNoRecordAndLeaksNothing) {
  const std::string path = dir.write("mem.rgba", sgiImage(2, 1, 4, {1, 2, 3, 4, 5, 6, 7, 8}));
  const std::int64_t live = sxhost::liveAllocations();
  bool succeeded = false;
  // Cache record, the host's pixel block, the values, the record: each refused in turn.
  for (std::uint64_t n = 1; n <= 8 && !succeeded; ++n) {
    rasterFreeImageCache(&cache);
    Values read;
    {
      sxhost::AllocationFailure refuse = sxhost::AllocationFailure::nth(n);
      read = values(path, ImageComponent::Alpha);
    }
    succeeded = !read.empty();
    if (succeeded) {
      EXPECT_EQ(n, 5u);
      EXPECT_EQ(read, (Values{7, 8}));
    }
    rasterFreeImageCache(&cache);
    EXPECT_EQ(sxhost::liveAllocations(), live) << "allocation " << n;
  }
  EXPECT_TRUE(succeeded);
}

TEST(ComponentsOnOffer, TheExtensionDecidesAndAComponentNotOfferedGoesBackToIntensity) {
  constexpr int I = 1, R = 2, G = 4, B = 8, A = 16;
  using C = ImageComponent;
  constexpr auto Img = SourceKind::Image;
  // {file name, kind, component chosen, components offered, component after}
  const std::tuple<const char*, SourceKind, C, int, C> cases[] = {
      {"/d/a.RGB", Img, C::Blue, I | R | G | B, C::Blue},
      {"/d/a.rgb", Img, C::Alpha, I | R | G | B, C::Intensity},
      {"/d/a.RgBa", Img, C::Alpha, I | R | G | B | A, C::Alpha},
      {"/d/a.rgba", Img, static_cast<C>(9), I | R | G | B | A, C::Intensity},
      {"/d/a.inta", Img, C::Alpha, I | A, C::Alpha},
      {"/d/a.INT", Img, C::Intensity, I, C::Intensity},
      {"/d/a.png", Img, C::Green, I, C::Intensity},
      {"/d.rgba/a", Img, C::Alpha, I, C::Intensity},  // the extension: "rgba/a"
      {"/d/a.rgba.png", Img, C::Intensity, I, C::Intensity},
      {"/d/a.rgba", SourceKind::Binary, C::Red, I, C::Intensity},
      {"", Img, C::Intensity, I, C::Intensity},
  };
  for (const auto& [fileName, kind, chosen, mask, after] : cases) {
    SourceLayout source{};
    std::snprintf(source.fileName, sizeof source.fileName, "%s", fileName);
    source.sourceKind = kind;
    source.imageComponent = chosen;
    componentsOnOffer(source);
    EXPECT_EQ(std::tie(source.componentMask, source.imageComponent), std::tie(mask, after))
        << fileName << " " << static_cast<int>(chosen);
  }
}

}  // namespace
}  // namespace relievo
