#include "ded/transpose.h"

#include <bit>
#include <cstring>

namespace relievo {

namespace {

// Eight posts in one vector register; GCC and Clang both build the shuffles below into the
// machine's interleave instructions.
using Lane = std::int16_t __attribute__((vector_size(16)));
using LaneBits = std::uint16_t __attribute__((vector_size(16)));
constexpr int kSide = 8;
constexpr bool kSwap = std::endian::native == std::endian::little;  // the buffer is big-endian

Lane load(const std::int16_t* from) {
  Lane v;
  std::memcpy(&v, from, sizeof v);
  return v;
}

void store(std::int16_t* to, Lane v) {
  std::memcpy(to, &v, sizeof v);
}

// Rows r[0 ... 7] become columns: r[c] holds what column c of the eight rows held.
void transpose8(Lane (&r)[kSide]) {
  Lane t[kSide];
  for (int k = 0; k < kSide; k += 2) {
    t[k] = __builtin_shufflevector(r[k], r[k + 1], 0, 8, 1, 9, 2, 10, 3, 11);
    t[k + 1] = __builtin_shufflevector(r[k], r[k + 1], 4, 12, 5, 13, 6, 14, 7, 15);
  }
  Lane u[kSide];
  for (int k = 0; k < kSide; k += 4) {
    for (int h = 0; h < 2; ++h) {
      u[k + 2 * h] = __builtin_shufflevector(t[k + h], t[k + h + 2], 0, 1, 8, 9, 2, 3, 10, 11);
      u[k + 2 * h + 1] =
          __builtin_shufflevector(t[k + h], t[k + h + 2], 4, 5, 12, 13, 6, 7, 14, 15);
    }
  }
  for (int c = 0; c < kSide / 2; ++c) {
    r[2 * c] = __builtin_shufflevector(u[c], u[c + 4], 0, 1, 2, 3, 8, 9, 10, 11);
    r[2 * c + 1] = __builtin_shufflevector(u[c], u[c + 4], 4, 5, 6, 7, 12, 13, 14, 15);
  }
}

// The eight posts of v big-endian, in their order: shifts of 16-bit lanes, which the baseline
// instruction set has (a byte shuffle would not be one instruction there).
Lane bigEndian(Lane v) {
  if constexpr (!kSwap) return v;
  const auto u = std::bit_cast<LaneBits>(v);
  return std::bit_cast<Lane>(static_cast<LaneBits>((u << 8) | (u >> 8)));
}

// The eight posts of v big-endian, in reverse order.
Lane bigEndianReversed(Lane v) {
  return bigEndian(__builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0));
}

// The eight-by-eight square at row k, column i of the block.
void moveSquare(const std::int16_t* block, int columns, int k, int i, const ColumnRuns& to) {
  Lane r[kSide];
  for (int row = 0; row < kSide; ++row)
    r[row] = load(block + std::int64_t{k + row} * columns + i);
  transpose8(r);
  for (int c = 0; c < kSide; ++c) {
    std::int16_t* column = to.posts + (i + c) * to.columnStride;
    if (to.descending) {
      store(column - k - (kSide - 1), bigEndianReversed(r[c]));
    } else {
      store(column + k, bigEndian(r[c]));
    }
  }
}

void movePost(const std::int16_t* block, int columns, int k, int i, const ColumnRuns& to) {
  std::int16_t* column = to.posts + i * to.columnStride;
  column[to.descending ? -k : k] = bigEndianPost(block[std::int64_t{k} * columns + i]);
}

}  // namespace

void transposeBlock(const std::int16_t* block, int rows, int columns, const ColumnRuns& to) {
  const int squareRows = rows - rows % kSide;
  const int squareColumns = columns - columns % kSide;
  for (int i = 0; i < squareColumns; i += kSide) {
    for (int k = 0; k < squareRows; k += kSide)
      moveSquare(block, columns, k, i, to);
  }
  for (int i = 0; i < columns; ++i) {
    // The rows below the last square, and every row of the columns beyond the last square.
    for (int k = i < squareColumns ? squareRows : 0; k < rows; ++k)
      movePost(block, columns, k, i, to);
  }
}

}  // namespace relievo
