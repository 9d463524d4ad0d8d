// Test helpers of the raster folder and those above it: records that free themselves,
// in-memory sources, the rows of a pass gathered into vectors, and generated number tokens.
#ifndef RELIEVO_RASTER_TEST_FILES_H
#define RELIEVO_RASTER_TEST_FILES_H

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "raster/raster.h"
#include "sxapilib.h"

namespace relievo::testing {

struct RasterFree {
  void operator()(RasterRec* raster) const { rasterFree(raster); }
};
using RasterPtr = std::unique_ptr<RasterRec, RasterFree>;

// An in-memory source of width x height values in row order, first row first, as the text,
// image and fractal readers leave one: no stored range unless a test sets it.
inline RasterRec* memoryRaster(int width, int height, std::span<const float> values) {
  RasterRec* raster = rasterAllocate("");
  if (raster == nullptr) return nullptr;
  raster->width = width;
  raster->height = height;
  // One spare value keeps the block non-empty for a source without values.
  raster->values =
      static_cast<float*>(sxMalloc((static_cast<std::size_t>(width) * height + 1) * sizeof(float)));
  std::copy(values.begin(), values.end(), raster->values);
  rasterUseMemoryVariant(raster);
  return raster;
}

// Same, from rows of equal length.
inline RasterRec* memoryRaster(std::initializer_list<std::initializer_list<float>> rows) {
  std::vector<float> values;
  for (const auto& row : rows)
    values.insert(values.end(), row.begin(), row.end());
  const int width = rows.size() == 0 ? 0 : static_cast<int>(rows.begin()->size());
  return memoryRaster(width, static_cast<int>(rows.size()), values);
}

// An in-memory record of width x height values whose value at row r, column c is 10 r + c.
inline RasterPtr gridRaster(int width, int height) {
  std::vector<float> values(static_cast<std::size_t>(width) * height);
  for (int k = 0; k < width * height; ++k)
    values[k] = static_cast<float>(10 * (k / width) + k % width);
  return RasterPtr(memoryRaster(width, height, values));
}

using Rows = std::vector<std::vector<double>>;

struct CollectedRows {
  Rows rows;
  std::vector<int> indices;
  int stopAfter = -1;  // the callback returns 0 on this row index
};

inline int collectRow(const double* values, int count, int row, void* context) {
  auto& collected = *static_cast<CollectedRows*>(context);
  collected.rows.emplace_back(values, values + count);
  collected.indices.push_back(row);
  return row == collected.stopAfter ? 0 : 1;
}

// A ResampleFn that gathers the output rows: rows[o] for output row o, indices in the order of
// the calls. For sources small enough to be resampled on one thread.
inline void collectResampled(const double* values, int count, int first, int last, void* context) {
  auto& collected = *static_cast<CollectedRows*>(context);
  for (int o = first; o <= last; ++o) {
    collected.rows.emplace_back(values, values + count);
    collected.indices.push_back(o);
  }
}

// Every row of a whole pass; `result` (if given) receives the iteration's result.
inline Rows readAllRows(RasterRec* raster, int* result = nullptr) {
  CollectedRows collected;
  const int r = rasterForEachRowAll(raster, collectRow, &collected);
  if (result != nullptr) *result = r;
  return collected.rows;
}

// A token of the shapes the token reader gives, at most 38 characters, biased towards numbers
// near the edges of the double range and towards the odd cases of scanf.
inline std::string randomToken(std::mt19937& random) {
  static const std::string starts = "0123456789-+.";
  static const std::string body = "0123456789.eEdD";
  std::string token(1, starts[random() % starts.size()]);
  const int length = 1 + static_cast<int>(random() % 38);
  const bool digitsMostly = random() % 2 == 0;
  while (static_cast<int>(token.size()) < length) {
    char c = body[random() % body.size()];
    if (digitsMostly && random() % 4 != 0) c = static_cast<char>('0' + random() % 10);
    token += c;
    if (std::string_view("eEdD").find(c) != std::string_view::npos) {
      if (random() % 2 == 0 && static_cast<int>(token.size()) < length) {
        token += random() % 2 ? '-' : '+';
      }
      // Exponents of three digits reach overflow, underflow and subnormals.
      if (random() % 3 == 0) token += std::to_string(290 + random() % 40);
    }
  }
  return token.substr(0, 38);
}

}  // namespace relievo::testing

#endif  // RELIEVO_RASTER_TEST_FILES_H
