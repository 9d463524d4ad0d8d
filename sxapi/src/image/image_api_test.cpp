// The image calls of sxapilib.h on files: SGI through our decoder, the rest through stb.
// The layouts of SGI files and of PNG files of four channels are also what the plug-in's
// image reader tests read; here the kinds of fewer channels and every file that must be refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "relievo_testing/scratch_dir.h"
#include "sxapilib.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"
#include "test_images.h"
#include "test_sgi_writer.h"

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
};

// sxReadImageInfo's result, kind, width and height (the last three 0 when it fails).
std::tuple<int, int, int, int> readInfo(const std::string& path) {
  SxImageInfo info = nullptr;
  int kind = 0, width = 0, height = 0;
  const int result = sxReadImageInfo(path.c_str(), &info);
  if (result == 0) {
    sxGetTextureType(info, &kind);
    sxGetTextureWidth(info, &width);
    sxGetTextureHeight(info, &height);
    sxFreeImageInfo(info);
  }
  return {result, kind, width, height};
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

// Those pixels as the host lays them out, bottom row first, plane after plane: a kind of n
// channels takes the first n planes.
const Bytes kPlanes{11, 12, 13, 1, 2, 3, 61, 62, 63, 51, 52, 53, 111, 112, 113, 101, 102, 103};

class ImageApi : public ::testing::Test {
 protected:
  relievo::testing::ScratchDir dir_;
};

// What stb decodes is its own affair; here the kind each channel count makes and the host's
// layout of the pixels it hands back.
TEST_F(ImageApi, FormatsDecodeIntoTheLayoutOfTheirKindBottomRowFirst) {
  const int kinds[] = {SX_IMAGE_INTENSITY, SX_IMAGE_INTENSITY_ALPHA, SX_IMAGE_RGB};
  for (int channels = 1; channels <= 3; ++channels) {
    const std::tuple expected(0, kinds[channels - 1], 3, 2);
    const std::string path =
        dir_.write("image.png", encodePng(3, 2, channels, topFirstPixels(channels)));
    EXPECT_EQ(readInfo(path), expected) << channels;
    const Read read(path);
    ASSERT_EQ(std::tuple(read.result, read.kind, read.width, read.height), expected) << channels;
    const Bytes block(kPlanes.begin(), kPlanes.begin() + 6 * channels);
    EXPECT_EQ(Bytes(read.pixels, read.pixels + block.size()), block) << channels;
  }
}

// A chunk or table that claims more bytes than the file holds is one of these cuts.
TEST_F(ImageApi, TruncationAtEveryByteAndRefusedMemoryFailCleanly) {
  const std::pair<std::string, Bytes> files[] = {
      {"cut.png", encodePng(3, 2, 4, topFirstPixels(4))},
      {"cut.Tga", encodeTga(3, 2, 3, topFirstPixels(3), TgaStorage::kRunLength)},
      {"cut.jpg", encodeJpeg(3, 2, 3, topFirstPixels(3), 90)},
      {"cut.sgi", sgiRunLength({3, 2, 4, topFirstPixels(4)})},
  };
  for (const auto& [name, bytes] : files) {
    const std::string whole = dir_.write("whole-" + name, bytes);
    ASSERT_EQ(Read(whole).result, 0) << name;
    const auto live = liveAllocations();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
      const Read read(dir_.write(name, Bytes(bytes.begin(), bytes.begin() + size)));
      EXPECT_NE(read.result, 0) << name << " cut at " << size;
      EXPECT_TRUE(read.untouched()) << name << " cut at " << size;
    }
    {
      const auto refuse = AllocationFailure::above(0);
      const Read read(whole);
      EXPECT_TRUE(read.result != 0 && read.untouched()) << name << " refused its block";
    }
    EXPECT_EQ(liveAllocations(), live) << name;
  }
}

// A file that cannot be opened or read is logged with the reason; a file that is no image is
// no failure of the system and logs nothing.
TEST_F(ImageApi, FilesThatCannotBeDecodedFailBeforeAnyAllocation) {
  const sxhost::Host host;
  const std::string wide = "P5 # 1\n2147483648 1\n255\n\x01";
  // TGA has no signature: raw elevations can form a valid TGA header. Only a TGA name makes
  // stb look at the file as one.
  const Bytes tga = encodeTga(3, 2, 3, topFirstPixels(3), TgaStorage::kRaw);
  // A valid PNG whose header is changed to 40000 x 40000 RGBA: stb itself would accept it.
  const Bytes png = encodePng(3, 2, 4, topFirstPixels(4));
  constexpr std::size_t kPngWidthAt = 16;
  Bytes hugePng = png;
  putBigEndian32(hugePng, kPngWidthAt, 40000);
  putBigEndian32(hugePng, kPngWidthAt + 4, 40000);
  // stb sizes Huffman tables for 256 codes and would write past them: the host refuses such
  // a table in the frame's header (read by sxReadImageInfo) and after it (read only to decode).
  const Bytes jpeg = encodeJpeg(8, 8, 3, Bytes(8 * 8 * 3, 120), 90);
  const auto withSegment = [&](Bytes segment, Bytes file) {
    file.insert(file.begin() + 2, segment.begin(), segment.end());
    return file;
  };
  // A table segment whose length ends inside its table: stb would read its codes from
  // whatever follows.
  const Bytes shortTable{0xFF, 0xC4, 0x00, 0x05, 0x00, 1, 0, 0, 0, 0, 0,
                         0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 7};
  // stb skips 0xFF fill bytes before the start-of-image marker.
  Bytes filled = withOversizedHuffmanTable(jpeg);
  filled.insert(filled.begin(), {0xFF, 0xFF});
  // Without its table segment the scan would decode with tables nobody defined.
  Bytes noTables = jpeg;
  const Bytes tableMarker{0xFF, 0xC4};
  const auto table =
      std::search(noTables.begin(), noTables.end(), tableMarker.begin(), tableMarker.end());
  ASSERT_NE(table, noTables.end());
  noTables.erase(table, table + 2 + (table[2] << 8 | table[3]));

  const struct {
    std::string what, path;
    bool headerReads = false;
  } cases[] = {
      // clang-format off
      {"missing", dir_.path("missing.png")},
      {"directory", dir_.root().string()},
      {"TGA named .tga.raw", dir_.write("grid.tga.raw", tga)},
      {"PNG of 40000 x 40000", dir_.write("huge.png", hugePng)},
      {"JPEG table after the frame", dir_.write("after.jpg", withOversizedHuffmanTable(jpeg)), true},
      {"JPEG table before the frame", dir_.write("before.jpg", withSegment(oversizedHuffmanSegment(), jpeg))},
      {"JPEG table longer than its segment", dir_.write("short.jpg", withSegment(shortTable, jpeg))},
      {"JPEG scan without tables", dir_.write("none.jpg", noTables), true},
      {"JPEG after fill bytes, named .tga", dir_.write("fill.tga", filled), true},
      {"PNM wider than an int", dir_.write("wide.pgm", Bytes(wide.begin(), wide.end()))},
      // clang-format on
  };
  ASSERT_EQ(Read(dir_.write("good.jpg", jpeg)).result, 0);
  for (const auto& c : cases) {
    EXPECT_EQ(std::get<0>(readInfo(c.path)) == 0, c.headerReads) << c.what;
    const auto requests = allocationRequests();
    const Read read(c.path);
    EXPECT_NE(read.result, 0) << c.what;
    EXPECT_TRUE(read.untouched()) << c.what;
    EXPECT_EQ(allocationRequests(), requests) << c.what;
  }
  const std::string missing = dir_.path("missing.png"), folder = dir_.root().string();
  EXPECT_EQ(host.log(),
            (std::vector<std::string>{missing + ": cannot be read: No such file or directory",
                                      missing + ": cannot be read: No such file or directory",
                                      folder + ": is not a regular file",
                                      folder + ": is not a regular file"}));
}

}  // namespace
}  // namespace sxhost::image::testing
