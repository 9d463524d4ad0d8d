#include "plugin/tool_state.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "plugin/test_host.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

class ToolStateTest : public ::testing::Test {
 protected:
  void TearDown() override {
    toolStateRelease();
    imageBufFree(&buffer);
    EXPECT_EQ(sxhost::liveAllocations(), liveBefore);
  }

  sxhost::Host host;
  std::int64_t liveBefore = sxhost::liveAllocations();
  ImageBuf buffer{};
};

TEST_F(ToolStateTest, ImageBufGrowsButNeverShrinksAndFollowsTheSize) {
  ASSERT_EQ(imageBufGrow(&buffer, 10, 10, 1), 1);
  EXPECT_EQ(buffer.capacity, 100);
  unsigned char* const first = buffer.pixels;
  ASSERT_NE(first, nullptr);

  struct Step {
    int w, h, n;
    int capacity;
    bool sameBlock;
  };
  const Step steps[] = {
      {5, 4, 1, 100, true},                             // smaller: the block stays
      {10, 10, 1, 100, true},                           // exactly the capacity: no new block
      {1, 1, 3, 100, true},   {20, 10, 3, 600, false},  // larger: a new block of exactly the need
      {0, 0, 1, 600, true},
  };
  unsigned char* previous = first;
  for (const Step& s : steps) {
    ASSERT_EQ(imageBufGrow(&buffer, s.w, s.h, s.n), 1) << s.w << "x" << s.h;
    EXPECT_EQ(buffer.width, s.w);
    EXPECT_EQ(buffer.height, s.h);
    EXPECT_EQ(buffer.capacity, s.capacity) << s.w << "x" << s.h;
    EXPECT_EQ(buffer.pixels == previous, s.sameBlock) << s.w << "x" << s.h;
    previous = buffer.pixels;
  }
  EXPECT_EQ(sxhost::liveAllocations(), liveBefore + 1);
}

TEST_F(ToolStateTest, ImageBufFreeKeepsTheSourceSize) {
  ASSERT_EQ(imageBufGrow(&buffer, 8, 4, 1), 1);
  buffer.sourceWidth = 800;
  buffer.sourceHeight = 400;
  imageBufFree(&buffer);
  EXPECT_EQ(buffer.pixels, nullptr);
  EXPECT_EQ(buffer.width, 0);
  EXPECT_EQ(buffer.height, 0);
  EXPECT_EQ(buffer.capacity, 0);
  EXPECT_EQ(buffer.sourceWidth, 800);
  EXPECT_EQ(buffer.sourceHeight, 400);
  imageBufFree(&buffer);  // freeing an empty buffer is harmless
  EXPECT_EQ(buffer.sourceWidth, 800);
}

TEST_F(ToolStateTest, ImageBufRefusedOrOverflowingLeavesNoBlock) {
  ASSERT_EQ(imageBufGrow(&buffer, 4, 4, 1), 1);
  {
    auto refuse = sxhost::AllocationFailure::above(16);
    EXPECT_EQ(imageBufGrow(&buffer, 5, 5, 1), 0);
  }
  EXPECT_EQ(buffer.pixels, nullptr);
  EXPECT_EQ(buffer.capacity, 0);
  EXPECT_EQ(buffer.width, 5);

  // 50000 x 50000 x 3 does not fit 32 bits: refused before any allocation.
  const std::uint64_t requests = sxhost::allocationRequests();
  EXPECT_EQ(imageBufGrow(&buffer, 50000, 50000, 3), 0);
  EXPECT_EQ(imageBufGrow(&buffer, -1, 5, 1), 0);
  EXPECT_EQ(sxhost::allocationRequests(), requests);
  EXPECT_EQ(buffer.pixels, nullptr);
  EXPECT_EQ(buffer.capacity, 0);
}

TEST_F(ToolStateTest, DiscardWithoutRasterLeavesThePreviewBuffers) {
  ToolState state{};
  ASSERT_EQ(imageBufGrow(&state.previewSamples, 4, 4, 1), 1);
  ASSERT_EQ(imageBufGrow(&state.previewImage, 4, 4, 3), 1);
  discardRaster(&state);
  EXPECT_NE(state.previewSamples.pixels, nullptr);
  EXPECT_NE(state.previewImage.pixels, nullptr);
  previewBuffersFree(&state);
}

TEST_F(ToolStateTest, DiscardFreesTheRasterAndThePreviewBuffers) {
  ToolState state{};
  testing::attach(state, testing::memoryRaster({{1, 2}, {3, 4}}));
  ASSERT_EQ(imageBufGrow(&state.previewSamples, 4, 4, 1), 1);
  ASSERT_EQ(imageBufGrow(&state.previewShade, 4, 4, 1), 1);
  ASSERT_EQ(imageBufGrow(&state.previewImage, 4, 4, 3), 1);
  state.previewSamples.sourceWidth = 2;
  discardRaster(&state);
  EXPECT_EQ(state.raster, nullptr);
  for (const ImageBuf* b : {&state.previewSamples, &state.previewShade, &state.previewImage}) {
    EXPECT_EQ(b->pixels, nullptr);
    EXPECT_EQ(b->capacity, 0);
  }
  EXPECT_EQ(state.previewSamples.sourceWidth, 2);
  // Everything the discard freed went back to the host (TearDown checks the balance).
}

TEST_F(ToolStateTest, CreateSetsTheCreationValuesOnceAndReleaseClears) {
  int toolTag = 0;
  int resourceTag = 0;
  auto* tool = reinterpret_cast<SxTool>(&toolTag);
  auto* resource = reinterpret_cast<SxResource>(&resourceTag);
  EXPECT_EQ(toolStateCurrent(), nullptr);
  toolStateRelease();  // nothing to release: harmless

  ToolState* state = toolStateCreate(tool, resource);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(toolStateCurrent(), state);
  EXPECT_EQ(state->pluginTool, tool);
  EXPECT_EQ(state->resource, resource);
  EXPECT_EQ(state->topColor.r, 0);
  EXPECT_EQ(state->topColor.g, 255);
  EXPECT_EQ(state->topColor.b, 0);
  EXPECT_EQ(state->bottomColor.r, 0);
  EXPECT_EQ(state->bottomColor.g, 60);
  EXPECT_EQ(state->bottomColor.b, 0);
  EXPECT_EQ(state->imageComponent, ImageComponent::Intensity);
  EXPECT_EQ(state->componentMask, 1);
  // Everything else is zero from the host's zero-filled block.
  EXPECT_EQ(state->dialog, nullptr);
  EXPECT_EQ(state->raster, nullptr);
  EXPECT_EQ(state->units, 0);
  EXPECT_EQ(state->fileName[0], '\0');
  EXPECT_EQ(state->latEnd, 0.0f);

  // A second start neither re-creates nor resets the record.
  state->width = 77;
  state->topColor = Rgb8{1, 2, 3};
  EXPECT_EQ(toolStateCreate(nullptr, nullptr), state);
  EXPECT_EQ(state->width, 77);
  EXPECT_EQ(state->topColor.r, 1);
  EXPECT_EQ(state->pluginTool, tool);

  // Release discards the raster and frees the preview buffers with the record.
  testing::attach(*state, testing::memoryRaster({{1}}));
  ASSERT_EQ(imageBufGrow(&state->previewImage, 3, 3, 3), 1);
  toolStateRelease();
  EXPECT_EQ(toolStateCurrent(), nullptr);
  EXPECT_EQ(sxhost::liveAllocations(), liveBefore);
}

TEST_F(ToolStateTest, CreateRefusedLeavesNoRecord) {
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(toolStateCreate(nullptr, nullptr), nullptr);
  }
  EXPECT_EQ(toolStateCurrent(), nullptr);
}

}  // namespace
}  // namespace relievo
