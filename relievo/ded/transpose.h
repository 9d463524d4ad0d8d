// The transposition of a block of converted rows into the column-ordered post buffer, which
// holds the posts big-endian, as the DED file does, so that the buffer is written as it is.
#ifndef RELIEVO_DED_TRANSPOSE_H
#define RELIEVO_DED_TRANSPOSE_H

#include <bit>
#include <cstdint>

namespace relievo {

// Where the posts of a block of rows go: column i of the block starts at
// posts + i x columnStride, and its posts follow one another upwards (descending false) or
// downwards (descending true) from there.
struct ColumnRuns {
  std::int16_t* posts;
  std::int64_t columnStride;
  bool descending;
};

// A post as the post buffer holds it.
constexpr std::int16_t bigEndianPost(std::int16_t post) {
  if constexpr (std::endian::native == std::endian::big) return post;
  return static_cast<std::int16_t>(__builtin_bswap16(static_cast<std::uint16_t>(post)));
}

// Moves `rows` rows of `columns` native posts (row after row) into their columns, big-endian,
// eight by eight through vector registers.
void transposeBlock(const std::int16_t* block, int rows, int columns, const ColumnRuns& to);

}  // namespace relievo

#endif  // RELIEVO_DED_TRANSPOSE_H
