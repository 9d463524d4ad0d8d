#include "plugin/tool_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

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
  struct Step {
    int w, h, n;
    int capacity;
    bool newBlock;
  };
  const Step steps[] = {
      {10, 10, 1, 100, true},  {5, 4, 1, 100, false},   // smaller: the block stays
      {10, 10, 1, 100, false},                          // exactly the capacity: no new block
      {1, 1, 3, 100, false},   {20, 10, 3, 600, true},  // larger: a new block of exactly the need
      {0, 0, 1, 600, false}};
  for (const Step& s : steps) {
    const std::uint64_t requests = sxhost::allocationRequests();
    ASSERT_EQ(imageBufGrow(&buffer, s.w, s.h, s.n), 1) << s.w << "x" << s.h;
    EXPECT_EQ(std::tie(buffer.width, buffer.height, buffer.capacity),
              std::make_tuple(s.w, s.h, s.capacity));
    EXPECT_EQ(sxhost::allocationRequests() - requests, s.newBlock ? 1u : 0u) << s.w << "x" << s.h;
  }
  EXPECT_EQ(sxhost::liveAllocations(), liveBefore + 1);

  // Freeing keeps the source size; freeing an empty buffer is harmless.
  buffer.sourceWidth = 800;
  buffer.sourceHeight = 400;
  for (int i = 0; i < 2; ++i) {
    imageBufFree(&buffer);
    EXPECT_EQ(std::tie(buffer.pixels, buffer.width, buffer.height, buffer.capacity),
              std::make_tuple(nullptr, 0, 0, 0));
    EXPECT_EQ(std::tie(buffer.sourceWidth, buffer.sourceHeight), std::make_tuple(800, 400));
  }
}

TEST_F(ToolStateTest, ImageBufRefusedOrOverflowingLeavesNoBlock) {
  ASSERT_EQ(imageBufGrow(&buffer, 4, 4, 1), 1);
  {
    auto refuse = sxhost::AllocationFailure::above(16);
    EXPECT_EQ(imageBufGrow(&buffer, 5, 5, 1), 0);
  }
  EXPECT_EQ(std::tie(buffer.pixels, buffer.capacity, buffer.width), std::make_tuple(nullptr, 0, 5));

  // 50000 x 50000 x 3 does not fit 32 bits: refused before any allocation.
  const std::uint64_t requests = sxhost::allocationRequests();
  EXPECT_EQ(imageBufGrow(&buffer, 50000, 50000, 3), 0);
  EXPECT_EQ(imageBufGrow(&buffer, -1, 5, 1), 0);
  EXPECT_EQ(sxhost::allocationRequests(), requests);
  EXPECT_EQ(std::tie(buffer.pixels, buffer.capacity), std::make_tuple(nullptr, 0));
}

TEST_F(ToolStateTest, DiscardFreesTheRasterAndThePreviewBuffersOnlyWithARaster) {
  ToolState state{};
  ASSERT_EQ(imageBufGrow(&state.previewSamples, 4, 4, 1), 1);
  ASSERT_EQ(imageBufGrow(&state.previewShade, 4, 4, 1), 1);
  ASSERT_EQ(imageBufGrow(&state.previewImage, 4, 4, 3), 1);
  state.previewSamples.sourceWidth = 2;
  discardRaster(&state);  // no raster: the buffers stay
  EXPECT_NE(state.previewSamples.pixels, nullptr);
  EXPECT_NE(state.previewImage.pixels, nullptr);

  testing::attach(state, testing::memoryRaster({{1, 2}, {3, 4}}));
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
  EXPECT_EQ(std::tie(state->pluginTool, state->resource), std::make_tuple(tool, resource));
  EXPECT_EQ(std::tie(state->topColor.r, state->topColor.g, state->topColor.b, state->bottomColor.r,
                     state->bottomColor.g, state->bottomColor.b),
            std::make_tuple(0, 255, 0, 0, 60, 0));
  EXPECT_EQ(std::tie(state->imageComponent, state->componentMask),
            std::make_tuple(ImageComponent::Intensity, 1));
  // Everything else is zero from the host's zero-filled block.
  EXPECT_EQ(std::tie(state->dialog, state->raster, state->units, state->fileName[0], state->latEnd),
            std::make_tuple(nullptr, nullptr, 0, '\0', 0.0f));

  // A second start neither re-creates nor resets the record.
  state->width = 77;
  state->topColor.r = 1;
  EXPECT_EQ(toolStateCreate(nullptr, nullptr), state);
  EXPECT_EQ(std::tie(state->width, state->topColor.r, state->pluginTool),
            std::make_tuple(77, 1, tool));

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
