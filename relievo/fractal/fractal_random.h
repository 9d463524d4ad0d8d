// The fractal generator's random numbers: a 32-bit linear congruential generator of our own,
// so that the same seed gives the same terrain on every platform and C library.
//
// FractalRng is the generator itself; the module keeps one instance, which fractalMapGenerate
// seeds once per generation and leaves where the generation's draws end. Only the host's
// user-interface thread touches the module instance, so it needs no lock; the workers of a
// generation draw from generators of their own, moved on to their part of the sequence.
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

  // Moves on by `count` draws at once, in steps of doubling length: the state after k draws
  // is a_k x state + c_k (mod 2^32), and (a_2k, c_2k) = (a_k^2, c_k (a_k + 1)).
  constexpr void discard(std::uint64_t count) {
    std::uint32_t multiplier = kMultiplier;
    std::uint32_t increment = kIncrement;
    for (; count != 0; count >>= 1) {
      if ((count & 1) != 0) state_ = state_ * multiplier + increment;
      increment *= multiplier + 1;
      multiplier *= multiplier;
    }
  }

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
// The same from another generator: what a worker of a generation draws with, its generator
// moved on to the draws its part of the field takes. Inline: a generation calls it for every
// sample.
inline double fractalRandomAt(std::int32_t k, float lo, float hi);
inline double fractalRandom(FractalRng& generator, float lo, float hi) {
  return fractalRandomAt(generator.draw() & kFractalRandomMax, lo, hi);
}
// Where draw k lands on [lo, hi].
inline double fractalRandomAt(std::int32_t k, float lo, float hi) {
  const auto t = static_cast<float>(static_cast<double>(k) / kFractalRandomMax);
  return double{lo} + (double{hi} - double{lo}) * t;
}

}  // namespace relievo

#endif  // RELIEVO_FRACTAL_FRACTAL_RANDOM_H
