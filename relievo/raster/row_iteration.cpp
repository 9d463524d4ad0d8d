// The row iteration operations of raster.h: plain passes and nearest-sample resampling.
#include <algorithm>
#include <cmath>

#include "raster/raster.h"
#include "sxapilib.h"

namespace relievo {

namespace {

struct ResampleState {
  RasterRec* raster;
  RowCallback callback;
  void* context;
  double* out;
  int outWidth;
  int outHeight;
  int lastRow;  // last output row delivered, -1 before the first
};

void fillOutputRow(const double* values, int count, const ResampleState& state) {
  const int width = state.raster->width;
  int previousEnd = -1;
  for (int c = 0; c < count; ++c) {
    const int end = spanEnd(c, width, state.outWidth);
    for (int column = previousEnd + 1; column <= end; ++column)
      state.out[column] = values[c];
    previousEnd = end;
  }
  // The last column's span is measured from the far end, so it can stop short of the
  // right edge (or even before earlier spans); its value fills the rest of the row.
  for (int column = previousEnd + 1; column < state.outWidth; ++column) {
    state.out[column] = values[count - 1];
  }
}

int resampleRow(const double* values, int count, int row, void* context) {
  auto& state = *static_cast<ResampleState*>(context);
  int last = spanEnd(row, state.raster->height, state.outHeight);
  const int first = state.lastRow + 1;
  if (row == state.raster->height - 1 && last < state.outHeight - 1) last = state.outHeight - 1;
  if (last < first || count <= 0) return 1;
  fillOutputRow(values, count, state);
  int result = 1;
  for (int outRow = first; outRow <= last && result != 0; ++outRow) {
    if (state.callback != nullptr) {
      result = state.callback(state.out, state.outWidth, outRow, state.context);
    }
  }
  state.lastRow = last;
  return result;
}

}  // namespace

int rasterForEachRow(RasterRec* raster, int count, int rows, RowCallback callback, void* context) {
  if (!rasterIsValid(raster) || callback == nullptr) return 0;
  if (rows < 0 || count < 0 || rows > raster->height || count > raster->width) return 0;
  auto* row = static_cast<double*>(sxMalloc(sizeof(double) * static_cast<std::size_t>(count)));
  if (row == nullptr) return 0;
  void* stream = nullptr;
  if (raster->openFn(raster, &stream) == 0) {
    sxFree(row);
    return 0;
  }
  int result = 1;
  for (int r = 0; r < rows && result != 0; ++r) {
    if (raster->readRowFn(raster, stream, r, row, rows, count) != 1) {
      result = 0;
      break;
    }
    result = callback(row, count, r, context);
  }
  sxFree(row);
  raster->closeFn(raster, stream);
  return result;
}

int rasterForEachRowAll(RasterRec* raster, RowCallback callback, void* context) {
  if (!rasterIsValid(raster) || callback == nullptr) return 0;
  return rasterForEachRow(raster, raster->width, raster->height, callback, context);
}

int rasterForEachRowResampled(RasterRec* raster, int outWidth, int outHeight, RowCallback callback,
                              void* context) {
  if (!rasterIsValid(raster) || outWidth < 0 || outHeight < 0) return 0;
  ResampleState state{raster, callback, context, nullptr, outWidth, outHeight, -1};
  state.out = static_cast<double*>(sxMalloc(sizeof(double) * static_cast<std::size_t>(outWidth)));
  if (state.out == nullptr) return 0;
  rasterForEachRowAll(raster, resampleRow, &state);
  sxFree(state.out);
  return 1;
}

int spanEnd(int i, int n, int m) {
  if (n <= 0 || m <= 0) return m - 1;
  const double scale = static_cast<double>(m) / n;
  double centre = i * scale + scale / 2.0;
  if (i == 0) {
    centre = scale / 2.0;
  } else if (i == n - 1) {
    centre = (m - 1.0) - scale / 2.0;
  }
  const double end = std::trunc(centre + scale / 2.0 - 0.5);
  return static_cast<int>(std::min(end, m - 1.0));
}

}  // namespace relievo
