#include "ded/extents.h"

#include <gtest/gtest.h>

namespace relievo {
namespace {

TEST(SpacingRule, SpacingsFollowTheCornersWhenEitherDirectionPasses) {
  struct Case {
    const char* name;
    float latStart, latEnd, longStart, longEnd, latPosts, longPosts;
    float latSpacing, longSpacing;  // before: 7 and 9
  };
  const Case cases[] = {
      {"a degree of 1201 posts", 0, 1, 0, 1, 1201, 1201, 30, 30},
      // The north-east latitude below the south-west one: the difference counts whole.
      {"one direction passes", 2, 1, 0, 2, 11, 21, 3600, 3600},
      {"neither passes", 5, 5, 3, 2, 100, 100, 7, 9},
  };
  for (const Case& c : cases) {
    Extents extents{c.latStart, c.latEnd, c.longStart, c.longEnd,
                    7.0f,       9.0f,     c.latPosts,  c.longPosts};
    spacingRule(extents);
    EXPECT_EQ(extents.latSpacing, c.latSpacing) << c.name;
    EXPECT_EQ(extents.longSpacing, c.longSpacing) << c.name;
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
