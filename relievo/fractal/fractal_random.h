// The fractal generator's random numbers: a 32-bit linear congruential generator of our own,
// so that the same seed gives the same terrain on every platform and C library.
//
// FractalRng is the generator itself; the module keeps one instance, which fractalMapGenerate
// seeds once per generation and fractalRandom draws from. Everything runs on the host's
// user-interface thread, so the module instance needs no lock.
#ifndef RELIEVO_FRACTAL_FRACTAL_RANDOM_H
#define RELIEVO_FRACTAL_FRACTAL_RANDOM_H

#include <cstdint>

namespace relievo {

// Largest value of a draw; draws are 0 ... kFractalRandomMax.
inline constexpr std::int32_t kFractalRandomMax = 0x7FFF;

class FractalRng {
 public:
  // An unseeded generator behaves as one seeded with 1.
  constexpr explicit FractalRng(std::uint32_t seed = 1) : state_(seed) {}

  constexpr void seed(std::uint32_t seed) { state_ = seed; }

  // Advances the state and returns a value 0 ... kFractalRandomMax.
  constexpr std::int32_t draw() {
    state_ = state_ * kMultiplier + kIncrement;  // unsigned: wraps modulo 2^32
    return static_cast<std::int32_t>((state_ >> kShift) & kFractalRandomMax);
  }

  constexpr std::uint32_t state() const { return state_; }

 private:
  static constexpr std::uint32_t kMultiplier = 1103515245u;
  static constexpr std::uint32_t kIncrement = 12345u;
  static constexpr int kShift = 16;
  std::uint32_t state_;
};

// Seeds the module's generator.
void fractalSeedRandom(std::uint32_t seed);

// The module generator's state, so that a caller can tell how many draws were taken.
std::uint32_t fractalRandomState();

// One draw k of the module's generator mapped onto [lo, hi], both ends included:
// lo + (hi - lo) * t with t = k / 32767 rounded to a float.
double fractalRandom(float lo, float hi);

}  // namespace relievo

#endif  // RELIEVO_FRACTAL_FRACTAL_RANDOM_H
