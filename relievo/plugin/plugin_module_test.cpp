#include "plugin/plugin_module.h"

#include <gtest/gtest.h>

#include "sxhost/memory.h"

namespace relievo {
namespace {

TEST(PluginModule, TheRecordIsCreatedOnceAndReleasedWithEverythingItHolds) {
  const std::int64_t liveBefore = sxhost::liveAllocations();
  int toolTag = 0;
  auto* tool = reinterpret_cast<SxTool>(&toolTag);
  EXPECT_EQ(toolStateCurrent(), nullptr);
  toolStateRelease();  // nothing to release: harmless
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(toolStateCreate(tool, nullptr), nullptr);
  }
  EXPECT_EQ(toolStateCurrent(), nullptr);

  ToolState* state = toolStateCreate(tool, nullptr);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(toolStateCurrent(), state);
  // A second start neither re-creates nor resets the record.
  state->source.width = 77;
  EXPECT_EQ(toolStateCreate(nullptr, nullptr), state);
  EXPECT_EQ(state->source.width, 77);
  EXPECT_EQ(state->pluginTool, tool);

  toolStateRelease();
  EXPECT_EQ(toolStateCurrent(), nullptr);
  EXPECT_EQ(sxhost::liveAllocations(), liveBefore);
}

}  // namespace
}  // namespace relievo
