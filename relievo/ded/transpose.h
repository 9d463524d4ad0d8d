// The transposition of a block of converted rows into the column-ordered post buffer.
#ifndef RELIEVO_DED_TRANSPOSE_H
#define RELIEVO_DED_TRANSPOSE_H

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

// Moves `rows` rows of `columns` posts (row after row) into their columns, eight by eight
// through vector registers.
void transposeBlock(const std::int16_t* block, int rows, int columns, const ColumnRuns& to);

}  // namespace relievo

#endif  // RELIEVO_DED_TRANSPOSE_H
