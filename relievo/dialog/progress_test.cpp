#include "dialog/progress.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "dialog/test_host.h"

namespace relievo {
namespace {

class ProgressTest : public ::testing::Test {
 protected:
  double bar() { return hosted.control(kProgressBar).value(); }
  // What the user sees: the wait cursor, the bar and the status line, with the state's cursor.
  auto seen() {
    return std::make_tuple(hosted.host.waitCursorShown(), state.ui.busyCursor, bar(),
                           hosted.status());
  }

  testing::HostedState hosted;
  ToolState& state = hosted.state;
};

TEST_F(ProgressTest, BeginShowsTheWaitCursorTheRangeAndTheText) {
  ASSERT_FALSE(hosted.host.waitCursorShown());
  state.ui.progressAccum = 17.0;
  progressBegin(&state, "Reading File...", 40.0);
  EXPECT_EQ(seen(), std::make_tuple(true, 1, 0.0, "Reading File..."));
  EXPECT_EQ(state.ui.progressAccum, 0.0);
  EXPECT_EQ(hosted.control(kProgressBar).range(), std::make_pair(0.0, 40.0));
  progressUpdate(&state, 12, nullptr);
  EXPECT_EQ(seen(), std::make_tuple(true, 1, 12.0, "Reading File..."));
  progressUpdate(&state, -1, "Half way");  // the status line alone
  EXPECT_EQ(seen(), std::make_tuple(true, 1, 12.0, "Half way"));
  progressEnd(&state, "Done");
  EXPECT_EQ(seen(), std::make_tuple(false, 0, 0.0, "Done"));
}

TEST_F(ProgressTest, AdvanceShowsOnlyWholeSteps) {
  progressBegin(&state, "Scanning", 10.0);
  progressAdvance(&state, 0.5);
  EXPECT_EQ(bar(), 0.0);  // 0.5 truncates to 0
  progressAdvance(&state, 0.5);
  EXPECT_EQ(bar(), 1.0);
  progressAdvance(&state, 2.75);
  EXPECT_EQ(bar(), 3.0);
  EXPECT_EQ(state.ui.progressAccum, 3.75);
  EXPECT_EQ(hosted.status(), "Scanning");
}

// While a slider is dragged nothing sets the wait cursor; a fractal's display stays still, any
// other source still shows its progress.
TEST_F(ProgressTest, DraggingASliderSetsNoCursorAndAFractalKeepsTheDisplayStill) {
  state.ui.sliderDragging = 1;
  for (const SourceKind kind : {SourceKind::Binary, SourceKind::Fractal}) {
    const bool still = kind == SourceKind::Fractal;
    state.source.sourceKind = kind;
    sxTextSetString(state.ui.statusText, "before");
    sxProgressSetValue(state.ui.progressBar, 3.0);
    progressBegin(&state, "Reading File...", 20.0);
    EXPECT_EQ(seen(),
              std::make_tuple(false, 0, still ? 3.0 : 0.0, still ? "before" : "Reading File..."));
    progressUpdate(&state, 9, nullptr);
    progressAdvance(&state, 5.0);
    EXPECT_EQ(bar(), still ? 3.0 : 5.0);  // the accumulated steps
    progressEnd(&state, "Done");
    EXPECT_EQ(hosted.status(), still ? "before" : "Done");
  }
  // A wait cursor that someone else set stays: the drag-time begin did not set it.
  sxSetCursor(sxResourceGetCursor(nullptr, SX_CURSOR_WAIT));
  progressBegin(&state, "Generating Fractal Map...", 20.0);
  state.ui.sliderDragging = 0;
  progressEnd(&state, "Done");
  EXPECT_TRUE(hosted.host.waitCursorShown());
  EXPECT_EQ(hosted.status(), "Done");
  sxSetCursor(nullptr);
}

}  // namespace
}  // namespace relievo
