#include "plugin/spacing.h"

#include <gtest/gtest.h>

namespace relievo {
namespace {

TEST(SpacingRule, ThreeArcSecondsForADegreeOf1201Posts) {
  ToolState state{};
  state.latEnd = 1.0f;
  state.longEnd = 1.0f;
  state.latPosts = 1201.0f;
  state.longPosts = 1201.0f;
  spacingRule(&state);
  EXPECT_EQ(state.latSpacing, 30.0f);
  EXPECT_EQ(state.longSpacing, 30.0f);
}

TEST(SpacingRule, EitherDirectionSufficesAndDifferencesAreAbsolute) {
  ToolState state{};
  state.latStart = 2.0f;  // north-east latitude below the south-west one
  state.latEnd = 1.0f;
  state.longEnd = 2.0f;
  state.latPosts = 11.0f;
  state.longPosts = 21.0f;
  spacingRule(&state);
  EXPECT_EQ(state.latSpacing, 3600.0f);
  EXPECT_EQ(state.longSpacing, 3600.0f);
}

TEST(SpacingRule, CornersThatFailTheTestKeepTheSpacings) {
  ToolState state{};
  state.latStart = state.latEnd = 5.0f;
  state.longStart = 3.0f;
  state.longEnd = 2.0f;
  state.latPosts = state.longPosts = 100.0f;
  state.latSpacing = 7.0f;
  state.longSpacing = 9.0f;
  spacingRule(&state);
  EXPECT_EQ(state.latSpacing, 7.0f);
  EXPECT_EQ(state.longSpacing, 9.0f);
}

TEST(SpacingRule, ASinglePostTakesTheWholeSpanInsteadOfDividingByZero) {
  EXPECT_EQ(spacingFor(0.0f, 1.0f, 1.0f), 36000.0f);
  EXPECT_EQ(spacingFor(0.0f, 1.0f, 0.0f), 36000.0f);
  EXPECT_EQ(endFor(0.0f, 36000.0f, 1.0f), 1.0f);
}

TEST(SpacingRule, EndForInvertsSpacingFor) {
  const float spacing = spacingFor(10.0f, 11.2f, 1201.0f);
  EXPECT_NEAR(endFor(10.0f, spacing, 1201.0f), 11.2f, 1e-5);
  EXPECT_EQ(endFor(0.0f, 36.0f, 1201.0f), 1.2f);
}

}  // namespace
}  // namespace relievo
