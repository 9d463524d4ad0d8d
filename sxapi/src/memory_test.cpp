#include <gtest/gtest.h>

#include <cstring>

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
}

TEST(Memory, RefusesAboveSize) {
  auto limit = sxhost::AllocationFailure::above(100);
  void* small = sxMalloc(100);
  EXPECT_NE(small, nullptr);
  EXPECT_EQ(sxMalloc(101), nullptr);
  sxFree(small);
}

TEST(Memory, RefusesOnlyTheNthRequest) {
  auto limit = sxhost::AllocationFailure::nth(2);
  void* first = sxMalloc(8);
  void* second = sxMalloc(8);
  void* third = sxMalloc(8);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);
  sxFree(first);
  sxFree(third);
}

TEST(Memory, PolicyIsRestoredWhenTheScopeEnds) {
  {
    auto limit = sxhost::AllocationFailure::above(0);
    EXPECT_EQ(sxMalloc(1), nullptr);
  }
  void* block = sxMalloc(1);
  EXPECT_NE(block, nullptr);
  sxFree(block);
}

TEST(Memory, HugeRequestFailsCleanly) {
  EXPECT_EQ(sxMalloc(static_cast<size_t>(-1)), nullptr);
}

}  // namespace
