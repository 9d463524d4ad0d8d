#include "image_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "sxapilib.h"

namespace sxhost::image {
namespace {

TEST(ImageLayout, KindsFollowTheChannelCount) {
  const std::pair<int, int> cases[] = {{0, 0},
                                       {1, SX_IMAGE_INTENSITY},
                                       {2, SX_IMAGE_INTENSITY_ALPHA},
                                       {3, SX_IMAGE_RGB},
                                       {4, SX_IMAGE_RGBA},
                                       {5, 0},
                                       {-1, 0}};
  for (const auto& [channels, kind] : cases) {
    EXPECT_EQ(imageKindForChannels(channels), kind) << channels << " channels";
  }
}

TEST(ImageLayout, BlockSizeRefusesEmptyOverflowingAndOversizedImages) {
  struct Case {
    long long width;
    long long height;
    int channels;
    std::optional<std::size_t> size;
  };
  const Case cases[] = {
      {1, 1, 1, 1},
      {3, 2, 4, 24},
      {32768, 32768, 1, kMaxImageBytes},
      {32769, 32768, 1, std::nullopt},
      {16384, 16384, 4, kMaxImageBytes},
      {16384, 16384, 5, std::nullopt},
      {65535, 65535, 4, std::nullopt},
      {0, 10, 1, std::nullopt},
      {10, 0, 1, std::nullopt},
      {10, 10, 0, std::nullopt},
      {-1, 10, 1, std::nullopt},
      {10, -1, 1, std::nullopt},
      {LLONG_MAX, LLONG_MAX, 4, std::nullopt},
      {LLONG_MAX, 2, 1, std::nullopt},
      {1LL << 32, 1LL << 32, 1, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(imageBlockSize(c.width, c.height, c.channels), c.size)
        << c.width << " x " << c.height << " x " << c.channels;
  }
}

// Rows of a 2 x 2 image put through both entry points must land in the same place.
TEST(ImageLayout, PlanesForGreyAndRgbInterleavingForRgba) {
  struct Case {
    int kind;
    std::vector<unsigned char> block;
  };
  const Case cases[] = {
      {SX_IMAGE_INTENSITY, {1, 2, 11, 12}},
      {SX_IMAGE_INTENSITY_ALPHA, {1, 2, 11, 12, 101, 102, 111, 112}},
      {SX_IMAGE_RGB, {1, 2, 11, 12, 101, 102, 111, 112, 201, 202, 211, 212}},
      {SX_IMAGE_RGBA, {1, 101, 201, 251, 2, 102, 202, 252, 11, 111, 211, 251, 12, 112, 212, 252}},
  };
  const unsigned char channelBase[] = {0, 100, 200, 250};
  for (const Case& c : cases) {
    const PixelLayout layout(ImageHeader{c.kind, 2, 2});
    ASSERT_EQ(layout.blockSize(), c.block.size());
    std::vector<unsigned char> byChannel(layout.blockSize());
    std::vector<unsigned char> byPixel(layout.blockSize());
    for (int row = 0; row < 2; ++row) {
      std::vector<unsigned char> pixels;
      for (int x = 0; x < 2; ++x) {
        for (int ch = 0; ch < layout.channels(); ++ch) {
          // The fourth channel leaves out the row term to stay below 256.
          pixels.push_back(
              static_cast<unsigned char>(channelBase[ch] + (ch == 3 ? 1 : 1 + 10 * row) + x));
        }
      }
      layout.putPixelRow(byPixel.data(), row, pixels);
      for (int ch = 0; ch < layout.channels(); ++ch) {
        std::vector<unsigned char> values;
        for (int x = 0; x < 2; ++x)
          values.push_back(pixels[x * layout.channels() + ch]);
        layout.putChannelRow(byChannel.data(), ch, row, values);
      }
    }
    EXPECT_EQ(byPixel, c.block) << "kind " << c.kind;
    EXPECT_EQ(byChannel, c.block) << "kind " << c.kind;
  }
}

TEST(ImageLayout, AllocatedBlocksAreZeroFilled) {
  const PixelLayout layout(ImageHeader{SX_IMAGE_RGB, 5, 3});
  const PixelBlock block = layout.allocate();
  ASSERT_NE(block, nullptr);
  for (std::size_t i = 0; i < layout.blockSize(); ++i)
    ASSERT_EQ(block[i], 0) << "at " << i;
}

}  // namespace
}  // namespace sxhost::image
