#include "dialog/tool_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "dialog/test_host.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

TEST(ToolState, DiscardFreesTheRasterAndThePreviewBuffersOnlyWithARaster) {
  const std::int64_t liveBefore = sxhost::liveAllocations();
  ToolState state{};
  PreviewBuffers& preview = state.preview;
  ASSERT_EQ(imageBufGrow(&preview.previewSamples, 4, 4, 1), 1);
  ASSERT_EQ(imageBufGrow(&preview.previewShade, 4, 4, 1), 1);
  ASSERT_EQ(imageBufGrow(&preview.previewImage, 4, 4, 3), 1);
  preview.previewSamples.sourceWidth = 2;
  discardRaster(&state);  // no raster: the buffers stay
  EXPECT_TRUE(preview.previewSamples.pixels != nullptr && preview.previewImage.pixels != nullptr);

  testing::attach(state, testing::memoryRaster({{1, 2}, {3, 4}}));
  discardRaster(&state);
  EXPECT_EQ(state.raster, nullptr);
  for (const ImageBuf* b : {&preview.previewSamples, &preview.previewShade, &preview.previewImage})
    EXPECT_EQ(std::make_pair(b->pixels == nullptr, b->capacity), std::make_pair(true, 0));
  EXPECT_EQ(preview.previewSamples.sourceWidth, 2);
  EXPECT_EQ(sxhost::liveAllocations(), liveBefore);
}

// The creation values that no setting overrides; free takes the raster, the preview buffers
// and the caches with the record.
TEST(ToolState, AllocateSetsTheCreationValuesAndFreeReleasesEverything) {
  const std::int64_t liveBefore = sxhost::liveAllocations();
  ToolState* state = toolStateAllocate(nullptr, nullptr);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(std::tie(state->source.imageComponent, state->source.componentMask,
                     state->ranges.otherUnitsScale, state->raster),
            std::make_tuple(ImageComponent::Intensity, 1, 1.0f, nullptr));
  testing::attach(*state, testing::memoryRaster({{1}}));
  ASSERT_EQ(imageBufGrow(&state->preview.previewImage, 3, 3, 3), 1);
  ASSERT_NE(fractalCachedMap(&state->fractal.cache, 4, 1, 0.0f), nullptr);
  toolStateFree(state);
  EXPECT_EQ(sxhost::liveAllocations(), liveBefore);
  auto refuse = sxhost::AllocationFailure::nth(1);
  EXPECT_EQ(toolStateAllocate(nullptr, nullptr), nullptr);
}

TEST(ToolState, SetDimensionsDiscardsExactlyWhenItShould) {
  // Loaded 10 x 8, samples made for sw x sh: {sw, sh, w, h, discards} for the same size, a
  // width or a height that differs, and the loaded size beyond the samples' width or height.
  const int cases[][5] = {
      {12, 9, 10, 8, 0}, {12, 9, 11, 8, 1}, {12, 9, 10, 7, 1}, {9, 8, 10, 8, 1}, {10, 7, 10, 8, 1}};
  ToolState state{};
  ImageBuf& samples = state.preview.previewSamples;
  for (const auto& [sw, sh, w, h, discards] : cases) {
    testing::attach(state, testing::memoryRaster(10, 8, std::vector<float>(80, 1.0f)));
    ASSERT_EQ(imageBufGrow(&samples, 4, 4, 1), 1);
    samples.sourceWidth = sw;
    samples.sourceHeight = sh;
    setDimensions(&state, w, h);
    EXPECT_EQ(std::tie(state.source.width, state.source.height), std::make_tuple(w, h));
    EXPECT_EQ(std::make_pair(state.raster == nullptr, samples.pixels == nullptr),
              std::make_pair(discards == 1, discards == 1))
        << w << "x" << h;
    discardRaster(&state);
  }
  // Without a raster new dimensions are only stored.
  setDimensions(&state, 3, 4);
  EXPECT_EQ(std::tie(state.source.width, state.source.height), std::make_tuple(3, 4));
}

}  // namespace
}  // namespace relievo
