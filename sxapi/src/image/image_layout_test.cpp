#include "image_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <tuple>

namespace sxhost::image {
namespace {

TEST(ImageLayout, BlockSizeRefusesEmptyOverflowingAndOversizedImages) {
  EXPECT_EQ(imageBlockSize(3, 2, 4), 24u);
  EXPECT_EQ(imageBlockSize(32768, 32768, 1), kMaxImageBytes);
  // Too many bytes, a size of 0 or below, a product that overflows.
  const std::tuple<long long, long long, int> refused[] = {
      {32769, 32768, 1}, {0, 10, 1}, {10, 10, 0}, {-1, 10, 1}, {LLONG_MAX, 2, 1}};
  for (const auto& [width, height, channels] : refused)
    EXPECT_EQ(imageBlockSize(width, height, channels), std::nullopt)
        << width << " x " << height << " x " << channels;
}

}  // namespace
}  // namespace sxhost::image
