#include "ded/extents.h"

#include <gtest/gtest.h>

#include <tuple>

namespace relievo {
namespace {

TEST(SpacingRule, SpacingsFollowTheCornersWhenEitherDirectionPasses) {
  // {latStart, latEnd, longStart, longEnd, latPosts, longPosts, latSpacing, longSpacing}, the
  // spacings 7 and 9 before: a degree of 1201 posts; one direction passes (the north-east
  // latitude below the south-west one: the difference counts whole); neither passes.
  const float cases[][8] = {{0, 1, 0, 1, 1201, 1201, 30, 30},
                            {2, 1, 0, 2, 11, 21, 3600, 3600},
                            {5, 5, 3, 2, 100, 100, 7, 9}};
  for (const auto& c : cases) {
    Extents extents{c[0], c[1], c[2], c[3], 7.0f, 9.0f, c[4], c[5]};
    spacingRule(extents);
    EXPECT_EQ(std::tie(extents.latSpacing, extents.longSpacing), std::tie(c[6], c[7])) << c[0];
  }
}

TEST(SpacingRule, EndForInvertsSpacingForAndASinglePostTakesTheWholeSpan) {
  EXPECT_NEAR(endFor(10.0f, spacingFor(10.0f, 11.2f, 1201.0f), 1201.0f), 11.2f, 1e-5);
  EXPECT_EQ(endFor(0.0f, 36.0f, 1201.0f), 1.2f);
  // No division by zero for one post (or none).
  EXPECT_EQ(spacingFor(0.0f, 1.0f, 1.0f), 36000.0f);
  EXPECT_EQ(spacingFor(0.0f, 1.0f, 0.0f), 36000.0f);
  EXPECT_EQ(endFor(0.0f, 36000.0f, 1.0f), 1.0f);
}

}  // namespace
}  // namespace relievo
