#include "preview/image_buf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "sxhost/memory.h"

namespace relievo {
namespace {

class ImageBufTest : public ::testing::Test {
 protected:
  void TearDown() override {
    imageBufFree(&buffer);
    EXPECT_EQ(sxhost::liveAllocations(), liveBefore);
  }

  std::int64_t liveBefore = sxhost::liveAllocations();
  ImageBuf buffer{};
};

TEST_F(ImageBufTest, GrowsButNeverShrinksRefusesWithoutABlockAndFreesKeepingTheSourceSize) {
  // {width, height, channels, capacity, a new block}
  const int steps[][5] = {
      {10, 10, 1, 100, true},  {5, 4, 1, 100, false},   // smaller: the block stays
      {10, 10, 1, 100, false},                          // exactly the capacity: no new block
      {1, 1, 3, 100, false},   {20, 10, 3, 600, true},  // larger: a new block of exactly the need
      {0, 0, 1, 600, false}};
  for (const auto& [w, h, n, capacity, newBlock] : steps) {
    const std::uint64_t requests = sxhost::allocationRequests();
    ASSERT_EQ(imageBufGrow(&buffer, w, h, n), 1) << w << "x" << h;
    EXPECT_EQ(std::tie(buffer.width, buffer.height, buffer.capacity), std::tie(w, h, capacity));
    EXPECT_EQ(sxhost::allocationRequests() - requests, std::uint64_t(newBlock)) << w << "x" << h;
  }
  EXPECT_EQ(sxhost::liveAllocations(), liveBefore + 1);

  // A refused or overflowing size leaves no block; 50000 x 50000 x 3 does not fit 32 bits and
  // is refused before any allocation.
  {
    auto refuse = sxhost::AllocationFailure::above(600);
    EXPECT_EQ(imageBufGrow(&buffer, 30, 30, 1), 0);
  }
  EXPECT_EQ(std::tie(buffer.pixels, buffer.capacity, buffer.width),
            std::make_tuple(nullptr, 0, 30));
  const std::uint64_t requests = sxhost::allocationRequests();
  EXPECT_EQ(imageBufGrow(&buffer, 50000, 50000, 3), 0);
  EXPECT_EQ(imageBufGrow(&buffer, -1, 5, 1), 0);
  EXPECT_EQ(sxhost::allocationRequests(), requests);
  // Freeing keeps the source size; freeing an empty buffer is harmless.
  buffer.sourceWidth = 800;
  buffer.sourceHeight = 400;
  for (int i = 0; i < 2; ++i) {
    imageBufFree(&buffer);
    EXPECT_EQ(std::tie(buffer.pixels, buffer.width, buffer.height, buffer.capacity,
                       buffer.sourceWidth, buffer.sourceHeight),
              std::make_tuple(nullptr, 0, 0, 0, 800, 400));
  }
}

}  // namespace
}  // namespace relievo
