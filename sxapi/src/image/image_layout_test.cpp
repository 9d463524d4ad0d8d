#include "image_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace sxhost::image {
namespace {

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

}  // namespace
}  // namespace sxhost::image
