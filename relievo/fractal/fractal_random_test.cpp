#include "fractal/fractal_random.h"

#include <gtest/gtest.h>

namespace relievo {
namespace {

TEST(FractalRngTest, FollowsTheLinearCongruentialSequence) {
  // The first draws for seed 1, worked out by hand from the recurrence.
  FractalRng rng(1);
  EXPECT_EQ(rng.draw(), 16838);
  EXPECT_EQ(rng.state(), 1103527590u);
  for (int k : {5758, 10113, 17515, 31051})
    EXPECT_EQ(rng.draw(), k);

  // 0xFFFFFFFF * 1103515245 + 12345 wraps modulo 2^32 to 12345 - 1103515245.
  rng.seed(0xFFFFFFFFu);
  rng.draw();
  EXPECT_EQ(rng.state(), 12345u - 1103515245u);
}

TEST(FractalRandomTest, MapsOneDrawOntoTheIntervalBothEndsIncluded) {
  // Seed 1 draws 16838, 5758 and 10113.
  fractalSeedRandom(1);
  EXPECT_NEAR(fractalRandom(-0.5f, 0.5f), 0.0138706, 1e-6);
  EXPECT_EQ(fractalRandomState(), 1103527590u);  // one draw
  EXPECT_NEAR(fractalRandom(10.0f, 20.0f), 11.757256, 1e-5);
  EXPECT_NEAR(fractalRandom(3.0f, -1.0f), 1.7654653, 1e-6);
}

}  // namespace
}  // namespace relievo
