#include <gtest/gtest.h>

#include "sxapilib.h"
#include "sxhost/memory.h"

namespace {

TEST(Memory, BlocksAreZeroFilledAndCounted) {
  const auto before = sxhost::liveAllocations();
  auto* block = static_cast<unsigned char*>(sxMalloc(4096));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 4096; ++i)
    ASSERT_EQ(block[i], 0) << "at " << i;
  EXPECT_EQ(sxhost::liveAllocations(), before + 1);
  sxFree(block);
  sxFree(nullptr);
  EXPECT_EQ(sxhost::liveAllocations(), before);
  EXPECT_EQ(sxMalloc(static_cast<size_t>(-1)), nullptr);
}

TEST(Memory, PoliciesRefuseWhileTheirScopeLasts) {
  void* granted[4] = {};
  {
    auto limit = sxhost::AllocationFailure::above(100);
    granted[0] = sxMalloc(100);
    EXPECT_EQ(sxMalloc(101), nullptr);
  }
  {
    // Counted from the moment the policy is set; only that one request fails.
    auto second = sxhost::AllocationFailure::nth(2);
    granted[1] = sxMalloc(8);
    EXPECT_EQ(sxMalloc(8), nullptr);
    granted[2] = sxMalloc(8);
  }
  granted[3] = sxMalloc(1000);
  for (void* block : granted) {
    EXPECT_NE(block, nullptr);
    sxFree(block);
  }
}

}  // namespace
