// The image calls of sxapilib.h on files: SGI through our decoder, the rest through stb.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sgi_test_writer.h"
#include "sxapilib.h"
#include "sxhost/memory.h"
#include "test_images.h"

namespace sxhost::image::testing {
namespace {

constexpr unsigned char kUntouched = 0xAB;
constexpr int kUntouchedInt = -7;

// What sxReadImage hands back, or the untouched sentinels.
struct Read {
  int result = 0;
  unsigned char sentinel = kUntouched;
  unsigned char* pixels = &sentinel;
  int kind = kUntouchedInt;
  int width = kUntouchedInt;
  int height = kUntouchedInt;

  explicit Read(const std::string& path) {
    result = sxReadImage(path.c_str(), &pixels, &kind, &width, &height);
  }
  ~Read() {
    if (pixels != &sentinel) sxFree(pixels);
  }
  Read(const Read&) = delete;
  Read& operator=(const Read&) = delete;

  bool untouched() const {
    return pixels == &sentinel && kind == kUntouchedInt && width == kUntouchedInt &&
           height == kUntouchedInt;
  }
  Bytes block(std::size_t size) const { return Bytes(pixels, pixels + size); }
};

struct Info {
  int result = 1;
  int kind = 0;
  int width = 0;
  int height = 0;
};

Info readInfo(const std::string& path) {
  Info out;
  SxImageInfo info = nullptr;
  out.result = sxReadImageInfo(path.c_str(), &info);
  if (out.result != 0) {
    EXPECT_EQ(info, nullptr) << path;
    return out;
  }
  EXPECT_EQ(sxGetTextureType(info, &out.kind), 1);
  EXPECT_EQ(sxGetTextureWidth(info, &out.width), 1);
  EXPECT_EQ(sxGetTextureHeight(info, &out.height), 1);
  sxFreeImageInfo(info);
  return out;
}

// 3 x 2 pixels, top row first; every byte differs.
Bytes topFirstPixels(int channels) {
  Bytes pixels;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      for (int c = 0; c < channels; ++c) {
        pixels.push_back(static_cast<unsigned char>(50 * c + 10 * y + x + 1));
      }
    }
  }
  return pixels;
}

// The same pixels as the host lays them out: rows bottom first, planes for kinds 2 to 4.
Bytes hostLayout(const Bytes& topFirst, int channels) {
  const auto at = [&](int row, int x, int c) {
    const int y = 1 - row;
    return topFirst[static_cast<std::size_t>((y * 3 + x) * channels + c)];
  };
  Bytes block;
  if (channels == 4) {
    for (int row = 0; row < 2; ++row) {
      for (int x = 0; x < 3; ++x) {
        for (int c = 0; c < 4; ++c)
          block.push_back(at(row, x, c));
      }
    }
    return block;
  }
  for (int c = 0; c < channels; ++c) {
    for (int row = 0; row < 2; ++row) {
      for (int x = 0; x < 3; ++x)
        block.push_back(at(row, x, c));
    }
  }
  return block;
}

Bytes portableMap(char type, int channels) {
  const std::string header = std::string("P") + type + " 3 2\n255\n";
  Bytes file(header.begin(), header.end());
  const Bytes pixels = topFirstPixels(channels);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

class ImageApi : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(ImageApi, PngOfEachChannelCountDecodesIntoItsKindBottomRowFirst) {
  const int kinds[] = {0, SX_IMAGE_INTENSITY, SX_IMAGE_INTENSITY_ALPHA, SX_IMAGE_RGB,
                       SX_IMAGE_RGBA};
  for (int channels = 1; channels <= 4; ++channels) {
    const Bytes pixels = topFirstPixels(channels);
    const std::string path =
        dir_.write("image" + std::to_string(channels) + ".png", encodePng(3, 2, channels, pixels));
    const Info info = readInfo(path);
    ASSERT_EQ(info.result, 0) << channels;
    EXPECT_EQ(info.kind, kinds[channels]);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);

    const Read read(path);
    ASSERT_EQ(read.result, 0) << channels;
    EXPECT_EQ(read.kind, kinds[channels]);
    EXPECT_EQ(read.width, 3);
    EXPECT_EQ(read.height, 2);
    EXPECT_EQ(read.block(pixels.size()), hostLayout(pixels, channels)) << channels << " channels";
  }
}

TEST_F(ImageApi, OtherFormatsGoThroughStbWithTheirRowsFlipped) {
  const Bytes rgb = topFirstPixels(3);
  const Bytes rgba = topFirstPixels(4);
  struct Case {
    const char* name;
    Bytes file;
    int kind;
    Bytes block;
  };
  const Case cases[] = {
      {"image.bmp", encodeBmp(3, 2, 3, rgb), SX_IMAGE_RGB, hostLayout(rgb, 3)},
      {"image.TGA", encodeTga(3, 2, 3, rgb, TgaStorage::kRunLength), SX_IMAGE_RGB,
       hostLayout(rgb, 3)},
      {"image.vda", encodeTga(3, 2, 4, rgba, TgaStorage::kRaw), SX_IMAGE_RGBA, hostLayout(rgba, 4)},
      {"image.pgm", portableMap('5', 1), SX_IMAGE_INTENSITY, hostLayout(topFirstPixels(1), 1)},
      {"image.ppm", portableMap('6', 3), SX_IMAGE_RGB, hostLayout(rgb, 3)},
  };
  for (const Case& c : cases) {
    const Read read(dir_.write(c.name, c.file));
    ASSERT_EQ(read.result, 0) << c.name;
    EXPECT_EQ(read.kind, c.kind) << c.name;
    EXPECT_EQ(read.block(c.block.size()), c.block) << c.name;
  }
}

TEST_F(ImageApi, GifDecodesAsRgba) {
  // 2 x 2, a two-colour palette (white, black), LZW data for the indices 1 0 / 0 1.
  const Bytes gif = {'G', 'I',  'F',  '8',  '9', 'a', 2, 0,    2,    0,    0x80, 0,
                     0,   0xFF, 0xFF, 0xFF, 0,   0,   0, ',',  0,    0,    0,    0,
                     2,   0,    2,    0,    0,   2,   3, 0x0C, 0x10, 0x05, 0,    ';'};
  const std::string path = dir_.write("image.gif", gif);
  const Info info = readInfo(path);
  ASSERT_EQ(info.result, 0);
  EXPECT_EQ(info.kind, SX_IMAGE_RGBA);
  const Read read(path);
  ASSERT_EQ(read.result, 0);
  EXPECT_EQ(read.kind, SX_IMAGE_RGBA);
  // Bottom row first: (white, black), then the top row (black, white).
  EXPECT_EQ(read.block(16), (Bytes{255, 255, 255, 255, 0, 0, 0, 255,  //
                                   0, 0, 0, 255, 255, 255, 255, 255}));
}

TEST_F(ImageApi, JpegDecodesWithinTheLossOfItsCoding) {
  // stb writes JPEG as colour only, so even a grey picture comes back as RGB.
  const Bytes flat(16 * 8 * 3, 77);
  const Read read(dir_.write("flat.jpg", encodeJpeg(16, 8, 3, flat, 100)));
  ASSERT_EQ(read.result, 0);
  EXPECT_EQ(read.kind, SX_IMAGE_RGB);
  EXPECT_EQ(read.width, 16);
  EXPECT_EQ(read.height, 8);
  for (std::size_t i = 0; i < flat.size(); ++i)
    ASSERT_NEAR(read.pixels[i], 77, 1) << "at " << i;
}

// TGA has no signature: raw elevations can form a valid TGA header. Only a TGA name makes
// stb look at the file as one.
TEST_F(ImageApi, TgaIsOnlyTakenFromFilesNamedSo) {
  const Bytes tga = encodeTga(3, 2, 3, topFirstPixels(3), TgaStorage::kRaw);
  EXPECT_EQ(readInfo(dir_.write("grid.tga", tga)).result, 0);
  for (const char* name : {"grid.raw", "grid.tga.raw", "tga"}) {
    const std::string path = dir_.write(name, tga);
    EXPECT_NE(readInfo(path).result, 0) << name;
    const Read read(path);
    EXPECT_NE(read.result, 0) << name;
    EXPECT_TRUE(read.untouched()) << name;
  }
}

TEST_F(ImageApi, SgiFileOfAnyNameIsDecodedByItsMagic) {
  SgiPicture picture{3, 2, 3, {}};
  for (int i = 0; i < 18; ++i)
    picture.planes.push_back(static_cast<unsigned char>(i * 13));
  for (const char* name : {"picture.rgb", "picture.bw", "picture.inta", "picture.dat"}) {
    const std::string path = dir_.write(name, sgiRunLength(picture));
    const Info info = readInfo(path);
    ASSERT_EQ(info.result, 0) << name;
    EXPECT_EQ(info.kind, SX_IMAGE_RGB) << name;
    EXPECT_EQ(info.width, 3) << name;
    EXPECT_EQ(info.height, 2) << name;
    const Read read(path);
    ASSERT_EQ(read.result, 0) << name;
    EXPECT_EQ(read.kind, SX_IMAGE_RGB) << name;
    EXPECT_EQ(read.block(18), picture.planes) << name;
  }
}

TEST_F(ImageApi, TruncationAtEveryByteFailsCleanly) {
  SgiPicture picture{4, 3, 4, {}};
  for (int i = 0; i < 48; ++i)
    picture.planes.push_back(static_cast<unsigned char>(i % 5 * 40));
  const Bytes rgba = topFirstPixels(4);
  const Bytes rgb = topFirstPixels(3);
  const std::pair<std::string, Bytes> files[] = {
      {"cut.png", encodePng(3, 2, 4, rgba)},
      {"cut.bmp", encodeBmp(3, 2, 3, rgb)},
      {"cut.tga", encodeTga(3, 2, 4, rgba, TgaStorage::kRaw)},
      {"cut.Tga", encodeTga(3, 2, 3, rgb, TgaStorage::kRunLength)},
      {"cut.jpg", encodeJpeg(3, 2, 3, rgb, 90)},
      {"cut.ppm", portableMap('6', 3)},
      {"cut.rgba", sgiVerbatim(picture)},
      {"cut.sgi", sgiRunLength(picture)},
  };
  for (const auto& [name, bytes] : files) {
    ASSERT_EQ(Read(dir_.write(name, bytes)).result, 0) << name;
    const auto live = liveAllocations();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
      const Read read(dir_.write(name, Bytes(bytes.begin(), bytes.begin() + size)));
      EXPECT_NE(read.result, 0) << name << " cut at " << size;
      EXPECT_TRUE(read.untouched()) << name << " cut at " << size;
    }
    EXPECT_EQ(liveAllocations(), live) << name;
  }
}

TEST_F(ImageApi, HeadersDeclaringHugeImagesAreRefusedBeforeAnyAllocation) {
  SgiFields fields;
  fields.width = 65535;
  fields.height = 65535;
  fields.channels = 4;
  Bytes hugeSgi = sgiHeader(fields);
  hugeSgi.resize(hugeSgi.size() + 16, 1);

  // A valid PNG whose header is changed to 40000 x 40000 RGBA: stb itself would accept it.
  Bytes hugePng = encodePng(3, 2, 4, topFirstPixels(4));
  constexpr std::size_t kPngWidthAt = 16;
  putBigEndian32(hugePng, kPngWidthAt, 40000);
  putBigEndian32(hugePng, kPngWidthAt + 4, 40000);

  for (const auto& path : {dir_.write("huge.rgba", hugeSgi), dir_.write("huge.png", hugePng)}) {
    EXPECT_NE(readInfo(path).result, 0) << path;
    const auto requests = allocationRequests();
    const Read read(path);
    EXPECT_NE(read.result, 0) << path;
    EXPECT_TRUE(read.untouched()) << path;
    EXPECT_EQ(allocationRequests(), requests) << path;
  }
}

// stb sizes Huffman tables for 256 codes and would write past them: the host refuses such a
// table in the frame's header (read by sxReadImageInfo) and after it (read only to decode).
TEST_F(ImageApi, JpegWithAnOversizedHuffmanTableIsRefused) {
  const Bytes good = encodeJpeg(8, 8, 3, Bytes(8 * 8 * 3, 120), 90);
  ASSERT_EQ(Read(dir_.write("good.jpg", good)).result, 0);

  const Bytes afterFrame = withOversizedHuffmanTable(good);
  Bytes beforeFrame = good;
  const Bytes table = oversizedHuffmanSegment();
  beforeFrame.insert(beforeFrame.begin() + 2, table.begin(), table.end());

  struct Case {
    const char* name;
    const Bytes& file;
    bool headerReads;
  };
  for (const Case& c :
       {Case{"after.jpg", afterFrame, true}, Case{"before.jpg", beforeFrame, false}}) {
    const std::string path = dir_.write(c.name, c.file);
    EXPECT_EQ(readInfo(path).result == 0, c.headerReads) << c.name;
    const Read read(path);
    EXPECT_NE(read.result, 0) << c.name;
    EXPECT_TRUE(read.untouched()) << c.name;
  }
}

TEST_F(ImageApi, FilesThatAreNoImagesFail) {
  const std::string text = "width 10\nheight 10\n1 2 3 4 5 6 7 8 9 10\n";
  const std::pair<std::string, std::string> cases[] = {
      {"text", dir_.write("grid.txt", Bytes(text.begin(), text.end()))},
      {"empty", dir_.write("empty.png", {})},
      {"missing", dir_.path("missing.png")},
      {"directory", dir_.root().string()},
      {"binary", dir_.write("grid.bin", Bytes{0x00, 0x01, 0x02, 0x00, 0x10, 0x00, 0x10, 0x00})},
      {"device", "/dev/zero"},
  };
  for (const auto& [what, path] : cases) {
    SxImageInfo info = nullptr;
    EXPECT_NE(sxReadImageInfo(path.c_str(), &info), 0) << what;
    EXPECT_EQ(info, nullptr) << what;
    const Read read(path);
    EXPECT_NE(read.result, 0) << what;
    EXPECT_TRUE(read.untouched()) << what;
  }
}

TEST_F(ImageApi, RefusedPixelBlockFailsAndLeavesTheOutputsAlone) {
  const SgiPicture picture{2, 2, 1, {1, 2, 3, 4}};
  const std::string paths[] = {dir_.write("refused.png", encodePng(3, 2, 3, topFirstPixels(3))),
                               dir_.write("refused.bw", sgiVerbatim(picture))};
  for (const auto& path : paths) {
    const auto live = liveAllocations();
    const auto refuse = AllocationFailure::above(0);
    const Read read(path);
    EXPECT_NE(read.result, 0) << path;
    EXPECT_TRUE(read.untouched()) << path;
    EXPECT_EQ(liveAllocations(), live) << path;
  }
}

TEST_F(ImageApi, NullArgumentsFail) {
  const std::string path = dir_.write("null.png", encodePng(3, 2, 1, topFirstPixels(1)));
  SxImageInfo info = nullptr;
  EXPECT_NE(sxReadImageInfo(nullptr, &info), 0);
  EXPECT_EQ(info, nullptr);
  EXPECT_NE(sxReadImageInfo(path.c_str(), nullptr), 0);

  int value = kUntouchedInt;
  EXPECT_EQ(sxGetTextureType(nullptr, &value), 0);
  EXPECT_EQ(sxGetTextureWidth(nullptr, &value), 0);
  EXPECT_EQ(sxGetTextureHeight(nullptr, &value), 0);
  EXPECT_EQ(value, kUntouchedInt);
  ASSERT_EQ(sxReadImageInfo(path.c_str(), &info), 0);
  EXPECT_EQ(sxGetTextureType(info, nullptr), 0);
  EXPECT_EQ(sxGetTextureWidth(info, nullptr), 0);
  EXPECT_EQ(sxGetTextureHeight(info, nullptr), 0);
  sxFreeImageInfo(info);
  sxFreeImageInfo(nullptr);

  unsigned char* pixels = nullptr;
  int kind = 0;
  int width = 0;
  int height = 0;
  EXPECT_NE(sxReadImage(nullptr, &pixels, &kind, &width, &height), 0);
  EXPECT_NE(sxReadImage(path.c_str(), nullptr, &kind, &width, &height), 0);
  EXPECT_NE(sxReadImage(path.c_str(), &pixels, nullptr, &width, &height), 0);
  EXPECT_NE(sxReadImage(path.c_str(), &pixels, &kind, nullptr, &height), 0);
  EXPECT_NE(sxReadImage(path.c_str(), &pixels, &kind, &width, nullptr), 0);
  EXPECT_EQ(pixels, nullptr);
  EXPECT_EQ(kind, 0);
}

}  // namespace
}  // namespace sxhost::image::testing
