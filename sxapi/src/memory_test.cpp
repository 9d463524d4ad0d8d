#include <gtest/gtest.h>

#include <vector>

#include "sxapilib.h"
#include "sxhost/memory.h"

namespace {

// The refusals as the memory sweeps of the end-to-end tests use them: each lasts while its
// scope does, and the n-th request is counted from the moment the policy is set. The live
// count is what every leak check of relievo's tests reads.
TEST(Memory, BlocksAreZeroFilledAndRefusedWhileAPolicyLasts) {
  auto* block = static_cast<unsigned char*>(sxMalloc(4096));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::vector<unsigned char>(block, block + 4096), std::vector<unsigned char>(4096, 0));
  sxFree(block);
  sxFree(nullptr);
  EXPECT_EQ(sxMalloc(static_cast<size_t>(-1)), nullptr);
  std::vector<void*> granted;
  {
    auto limit = sxhost::AllocationFailure::above(100);
    EXPECT_EQ(sxMalloc(101), nullptr);
    {
      auto second = sxhost::AllocationFailure::nth(2);
      granted.push_back(sxMalloc(8));
      EXPECT_EQ(sxMalloc(8), nullptr);
      granted.push_back(sxMalloc(200));  // only that one, and the limit above is replaced
    }
    EXPECT_EQ(sxMalloc(101), nullptr);
  }
  granted.push_back(sxMalloc(1000));
  for (void* b : granted) {
    EXPECT_NE(b, nullptr);
    sxFree(b);
  }
}

}  // namespace
