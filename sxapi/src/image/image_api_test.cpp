// The image calls of sxapilib.h on files: SGI through our decoder, the rest through stb.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sgi_test_writer.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

namespace fs = std::filesystem;
namespace sgi = sxhost::image::testing;
using Bytes = std::vector<unsigned char>;

constexpr unsigned char kUntouched = 0xAB;
constexpr int kUntouchedInt = -7;

class ImageApi : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "sxapi-image-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, const Bytes& bytes) const {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  Bytes readBack(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }

  // A PNG of width x height pixels of `channels` bytes, given top row first as stb writes it.
  std::string writePng(const std::string& name, int width, int height, int channels,
                       const Bytes& topFirst) const {
    const std::string path = (dir_ / name).string();
    EXPECT_NE(
        stbi_write_png(path.c_str(), width, height, channels, topFirst.data(), width * channels),
        0);
    return path;
  }

  fs::path dir_;
};

// What sxReadImage hands back, or the untouched sentinels.
struct Read {
  int result = 0;
  unsigned char* pixels = nullptr;
  int kind = kUntouchedInt;
  int width = kUntouchedInt;
  int height = kUntouchedInt;

  ~Read() {
    if (pixels != &sentinel) sxFree(pixels);
  }
  bool untouched() const {
    return pixels == &sentinel && kind == kUntouchedInt && width == kUntouchedInt &&
           height == kUntouchedInt;
  }
  unsigned char sentinel = kUntouched;
};

void readImage(const std::string& path, Read& read) {
  read.pixels = &read.sentinel;
  read.result = sxReadImage(path.c_str(), &read.pixels, &read.kind, &read.width, &read.height);
}

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
      for (int c = 0; c < channels; ++c)
        pixels.push_back(static_cast<unsigned char>(50 * c + 10 * y + x + 1));
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

TEST_F(ImageApi, PngOfEachChannelCountDecodesIntoItsKindBottomRowFirst) {
  const int kinds[] = {0, SX_IMAGE_INTENSITY, SX_IMAGE_INTENSITY_ALPHA, SX_IMAGE_RGB,
                       SX_IMAGE_RGBA};
  for (int channels = 1; channels <= 4; ++channels) {
    const Bytes pixels = topFirstPixels(channels);
    const std::string path =
        writePng("image" + std::to_string(channels) + ".png", 3, 2, channels, pixels);
    const Info info = readInfo(path);
    ASSERT_EQ(info.result, 0) << channels;
    EXPECT_EQ(info.kind, kinds[channels]);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);

    Read read;
    readImage(path, read);
    ASSERT_EQ(read.result, 0) << channels;
    EXPECT_EQ(read.kind, kinds[channels]);
    EXPECT_EQ(read.width, 3);
    EXPECT_EQ(read.height, 2);
    EXPECT_EQ(Bytes(read.pixels, read.pixels + pixels.size()), hostLayout(pixels, channels))
        << channels << " channels";
  }
}

TEST_F(ImageApi, OtherFormatsGoThroughStbWithTheirRowsFlipped) {
  const Bytes rgb = topFirstPixels(3);
  const Bytes grey = topFirstPixels(1);
  const std::string bmp = (dir_ / "image.bmp").string();
  ASSERT_NE(stbi_write_bmp(bmp.c_str(), 3, 2, 3, rgb.data()), 0);
  const std::string tga = (dir_ / "image.TGA").string();
  stbi_write_tga_with_rle = 1;
  ASSERT_NE(stbi_write_tga(tga.c_str(), 3, 2, 3, rgb.data()), 0);
  Bytes pgm{'P', '5', '\n', '3', ' ', '2', '\n', '2', '5', '5', '\n'};
  pgm.insert(pgm.end(), grey.begin(), grey.end());
  const std::string pnm = write("image.pgm", pgm);

  struct Case {
    std::string path;
    int kind;
    Bytes block;
  };
  const Case cases[] = {{bmp, SX_IMAGE_RGB, hostLayout(rgb, 3)},
                        {tga, SX_IMAGE_RGB, hostLayout(rgb, 3)},
                        {pnm, SX_IMAGE_INTENSITY, hostLayout(grey, 1)}};
  for (const Case& c : cases) {
    Read read;
    readImage(c.path, read);
    ASSERT_EQ(read.result, 0) << c.path;
    EXPECT_EQ(read.kind, c.kind) << c.path;
    EXPECT_EQ(Bytes(read.pixels, read.pixels + c.block.size()), c.block) << c.path;
  }
}

TEST_F(ImageApi, JpegDecodesWithinTheLossOfItsCoding) {
  // stb writes JPEG as colour only, so even a grey picture comes back as RGB.
  const Bytes flat(16 * 8 * 3, 77);
  const std::string path = (dir_ / "flat.jpg").string();
  ASSERT_NE(stbi_write_jpg(path.c_str(), 16, 8, 3, flat.data(), 100), 0);
  Read read;
  readImage(path, read);
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
  const std::string tga = (dir_ / "grid.tga").string();
  const Bytes rgb = topFirstPixels(3);
  stbi_write_tga_with_rle = 0;
  ASSERT_NE(stbi_write_tga(tga.c_str(), 3, 2, 3, rgb.data()), 0);
  EXPECT_EQ(readInfo(tga).result, 0);
  const std::string raw = write("grid.raw", readBack(tga));
  EXPECT_NE(readInfo(raw).result, 0);
  Read read;
  readImage(raw, read);
  EXPECT_NE(read.result, 0);
  EXPECT_TRUE(read.untouched());
}

TEST_F(ImageApi, SgiFileOfAnyNameIsDecodedByItsMagic) {
  sgi::SgiPicture picture{3, 2, 3, {}};
  for (int i = 0; i < 18; ++i)
    picture.planes.push_back(static_cast<unsigned char>(i * 13));
  for (const char* name : {"picture.rgb", "picture.bw", "picture.inta", "picture.dat"}) {
    const std::string path = write(name, sgi::sgiRunLength(picture));
    const Info info = readInfo(path);
    ASSERT_EQ(info.result, 0) << name;
    EXPECT_EQ(info.kind, SX_IMAGE_RGB) << name;
    EXPECT_EQ(info.width, 3) << name;
    EXPECT_EQ(info.height, 2) << name;
    Read read;
    readImage(path, read);
    ASSERT_EQ(read.result, 0) << name;
    EXPECT_EQ(read.kind, SX_IMAGE_RGB) << name;
    EXPECT_EQ(Bytes(read.pixels, read.pixels + 18), picture.planes) << name;
  }
}

TEST_F(ImageApi, TruncationAtEveryByteFailsCleanly) {
  sgi::SgiPicture picture{4, 3, 4, {}};
  for (int i = 0; i < 48; ++i)
    picture.planes.push_back(static_cast<unsigned char>(i % 5 * 40));
  const Bytes rgba = topFirstPixels(4);
  const Bytes rgb = topFirstPixels(3);
  const std::string png = writePng("full.png", 3, 2, 4, rgba);
  const std::string bmp = (dir_ / "full.bmp").string();
  ASSERT_NE(stbi_write_bmp(bmp.c_str(), 3, 2, 3, rgb.data()), 0);
  const std::string rawTga = (dir_ / "raw.tga").string();
  stbi_write_tga_with_rle = 0;
  ASSERT_NE(stbi_write_tga(rawTga.c_str(), 3, 2, 4, rgba.data()), 0);
  const std::string packedTga = (dir_ / "packed.tga").string();
  stbi_write_tga_with_rle = 1;
  ASSERT_NE(stbi_write_tga(packedTga.c_str(), 3, 2, 3, rgb.data()), 0);
  const std::string jpeg = (dir_ / "full.jpg").string();
  ASSERT_NE(stbi_write_jpg(jpeg.c_str(), 3, 2, 3, rgb.data(), 90), 0);
  Bytes ppm{'P', '6', ' ', '3', ' ', '2', ' ', '2', '5', '5', '\n'};
  ppm.insert(ppm.end(), rgb.begin(), rgb.end());
  const std::pair<std::string, Bytes> files[] = {
      {"cut.png", readBack(png)},
      {"cut.bmp", readBack(bmp)},
      {"cut.tga", readBack(rawTga)},
      {"cut.Tga", readBack(packedTga)},
      {"cut.jpg", readBack(jpeg)},
      {"cut.ppm", ppm},
      {"cut.rgba", sgi::sgiVerbatim(picture)},
      {"cut.sgi", sgi::sgiRunLength(picture)},
  };
  for (const auto& [name, bytes] : files) {
    {
      Read whole;
      readImage(write(name, bytes), whole);
      ASSERT_EQ(whole.result, 0) << name;
    }
    const auto live = sxhost::liveAllocations();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
      const std::string path = write(name, Bytes(bytes.begin(), bytes.begin() + size));
      Read read;
      readImage(path, read);
      EXPECT_NE(read.result, 0) << name << " cut at " << size;
      EXPECT_TRUE(read.untouched()) << name << " cut at " << size;
    }
    EXPECT_EQ(sxhost::liveAllocations(), live) << name;
  }
}

TEST_F(ImageApi, HeadersDeclaringHugeImagesAreRefused) {
  sgi::SgiFields fields;
  fields.width = 65535;
  fields.height = 65535;
  fields.channels = 4;
  Bytes hugeSgi = sgi::sgiHeader(fields);
  hugeSgi.resize(hugeSgi.size() + 16, 1);

  // A valid PNG whose header is changed to 40000 x 40000 RGBA: stb itself would accept it.
  Bytes hugePng = readBack(writePng("small.png", 3, 2, 4, topFirstPixels(4)));
  constexpr std::size_t kPngWidthAt = 16;
  sgi::putBigEndian32(hugePng, kPngWidthAt, 40000);
  sgi::putBigEndian32(hugePng, kPngWidthAt + 4, 40000);

  for (const auto& path : {write("huge.rgba", hugeSgi), write("huge.png", hugePng)}) {
    EXPECT_NE(readInfo(path).result, 0) << path;
    const auto requests = sxhost::allocationRequests();
    Read read;
    readImage(path, read);
    EXPECT_NE(read.result, 0) << path;
    EXPECT_TRUE(read.untouched()) << path;
    EXPECT_EQ(sxhost::allocationRequests(), requests) << path;
  }
}

TEST_F(ImageApi, FilesThatAreNoImagesFail) {
  const std::string text = "width 10\nheight 10\n1 2 3 4 5 6 7 8 9 10\n";
  const std::pair<std::string, std::string> cases[] = {
      {"text", write("grid.txt", Bytes(text.begin(), text.end()))},
      {"empty", write("empty.png", {})},
      {"missing", (dir_ / "missing.png").string()},
      {"directory", dir_.string()},
      {"binary", write("grid.bin", Bytes{0x00, 0x01, 0x02, 0x00, 0x10, 0x00, 0x10, 0x00})},
  };
  for (const auto& [what, path] : cases) {
    SxImageInfo info = nullptr;
    EXPECT_NE(sxReadImageInfo(path.c_str(), &info), 0) << what;
    EXPECT_EQ(info, nullptr) << what;
    Read read;
    readImage(path, read);
    EXPECT_NE(read.result, 0) << what;
    EXPECT_TRUE(read.untouched()) << what;
  }
}

TEST_F(ImageApi, RefusedPixelBlockFailsAndLeavesTheOutputsAlone) {
  sgi::SgiPicture picture{2, 2, 1, {1, 2, 3, 4}};
  const std::string paths[] = {writePng("refused.png", 3, 2, 3, topFirstPixels(3)),
                               write("refused.bw", sgi::sgiVerbatim(picture))};
  for (const auto& path : paths) {
    const auto live = sxhost::liveAllocations();
    const auto refuse = sxhost::AllocationFailure::above(0);
    Read read;
    readImage(path, read);
    EXPECT_NE(read.result, 0) << path;
    EXPECT_TRUE(read.untouched()) << path;
    EXPECT_EQ(sxhost::liveAllocations(), live) << path;
  }
}

TEST_F(ImageApi, NullArgumentsFail) {
  const std::string path = writePng("null.png", 3, 2, 1, topFirstPixels(1));
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
