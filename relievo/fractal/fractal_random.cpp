#include "fractal/fractal_random.h"

namespace relievo {

namespace {
FractalRng generator;
}  // namespace

void fractalSeedRandom(std::uint32_t seed) {
  generator.seed(seed);
}

std::uint32_t fractalRandomState() {
  return generator.state();
}

double fractalRandom(float lo, float hi) {
  const std::int32_t k = generator.draw() & kFractalRandomMax;
  const auto t = static_cast<float>(static_cast<double>(k) / kFractalRandomMax);
  return double{lo} + (double{hi} - double{lo}) * t;
}

}  // namespace relievo
