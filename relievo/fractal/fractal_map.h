// FractalMap: a square, periodic height field filled by midpoint displacement (diamond-square).
//
// The grid holds (n + 1) x (n + 1) single-precision samples, row after row with a stride of
// n + 1; row n repeats row 0 and column n repeats column 0 once generated, so the n x n block
// tiles without seams. The same size, seed, roughness and corner value give the same samples,
// bit for bit, everywhere.
//
// The record and its samples come from sxMalloc. A record is valid while `self` holds its own
// address and `tag` holds kFractalMap2dTag; every operation refuses anything else (null
// included) by doing nothing, and fractalMapNormalized then answers -1.0.
#ifndef RELIEVO_FRACTAL_FRACTAL_MAP_H
#define RELIEVO_FRACTAL_FRACTAL_MAP_H

#include <cstdint>

namespace relievo {

inline constexpr std::uint32_t kFractalMap2dTag = 0x46524432;  // "FRD2"

// Marks a sample of the n x n block that is not generated yet.
inline constexpr float kFractalUnset = -1.0f;

struct FractalMap {
  std::uint32_t tag;       // kFractalMap2dTag while live, 0 once freed
  FractalMap* self;        // the record's own address while live, null once freed
  std::uint32_t size;      // n: edge length in cells
  float minimum;           // smallest generated sample (the four corners excluded)
  float maximum;           // largest generated sample (the four corners excluded)
  float range;             // maximum - minimum
  float* samples;          // owned: (n + 1)^2 samples; S(y, x) at y * (n + 1) + x
  std::int32_t generated;  // 1 once a generation has set the three statistics
};

// True for a live record made by fractalMapCreate.
bool fractalMapValid(const FractalMap* map);

// A new record of edge length n with the n x n block unset. Null when the record or its
// samples cannot be allocated, or when (n + 1)^2 samples do not fit in memory's size type;
// a record is never returned without samples.
FractalMap* fractalMapCreate(std::uint32_t n);

// A new record of edge length n whose samples hold nothing yet (zeros), for
// fractalMapRegenerate, which sets every one of them; null as fractalMapCreate.
FractalMap* fractalMapAllocate(std::uint32_t n);

// Sets the n x n block back to unset. Row n, column n and the statistics keep their values.
void fractalMapClear(FractalMap* map);

// Frees the samples and the record, after marking the record as no longer live.
void fractalMapFree(FractalMap* map);

// Fills the map: seeds the module's generator with seed, sets the four corners to corner and
// generates every unset sample of the n x n block, each with one draw, its displacement
// amplitude shrinking by 2^-roughness per level; then copies row 0 into row n and column 0
// into column n and sets the statistics from the generated samples. A cleared map consumes
// exactly n^2 - 1 draws, and the module's generator is left where they end. Does nothing (no
// seeding, no draws) unless n is a power of two and at least 2. Allocates nothing. The rows of
// each step are shared among threads, each drawing from its own place in the sequence: the
// samples are those of the draws taken one after the other.
void fractalMapGenerate(FractalMap* map, std::uint32_t seed, float roughness, float corner);

// The samples, statistics and draws of fractalMapClear followed by fractalMapGenerate,
// without the pass that unsets the block first: every sample of the block is generated
// whatever it held.
void fractalMapRegenerate(FractalMap* map, std::uint32_t seed, float roughness, float corner);

// (S(row, column) - minimum) / range in double precision; 0.0 when the range is empty; -1.0
// for an invalid record or one never generated. The caller keeps row and column within 0 ... n.
double fractalMapNormalized(const FractalMap* map, std::uint32_t row, std::uint32_t column);

}  // namespace relievo

#endif  // RELIEVO_FRACTAL_FRACTAL_MAP_H
