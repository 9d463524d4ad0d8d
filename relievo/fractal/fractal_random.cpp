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
  return fractalRandom(generator, lo, hi);
}

}  // namespace relievo
