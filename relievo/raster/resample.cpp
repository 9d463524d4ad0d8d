#include "raster/resample.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "raster/row_reader.h"

namespace relievo {

namespace {

// Output rows first ... last show source row `source`.
struct RowRun {
  int source;
  int first;
  int last;
};

// The source column of each output column: each source column's span takes the output columns
// beyond the last one taken so far. The last column's span is measured from the far end, so it
// can stop short of the right edge (or even before earlier spans); its column then fills the
// rest of the row.
void planColumns(int width, int outWidth, int* columnOf) {
  int previousEnd = -1;
  for (int c = 0; c < width; ++c) {
    const int end = spanEnd(c, width, outWidth);
    for (int column = previousEnd + 1; column <= end; ++column)
      columnOf[column] = c;
    previousEnd = end;
  }
  for (int column = previousEnd + 1; column < outWidth; ++column)
    columnOf[column] = width - 1;
}

// The runs of output rows that one source row shows, in ascending order; their count, at most
// min(height, outHeight).
int planRows(int height, int outHeight, RowRun* runs) {
  int count = 0;
  int lastRow = -1;
  for (int r = 0; r < height; ++r) {
    int last = spanEnd(r, height, outHeight);
    if (r == height - 1 && last < outHeight - 1) last = outHeight - 1;
    if (last <= lastRow) continue;
    runs[count++] = {r, lastRow + 1, last};
    lastRow = last;
  }
  return count;
}

}  // namespace

int rasterResample(RasterRec* raster, int outWidth, int outHeight, ResampleFn fn, void* context,
                   Progress progress, double perRow) {
  if (!rasterIsValid(raster) || outWidth < 0 || outHeight < 0) return 0;
  const int width = raster->width;
  const int height = raster->height;
  const HostBlock<int> columnOf = hostBlock<int>(static_cast<std::size_t>(std::max(outWidth, 1)));
  const HostBlock<RowRun> runs =
      hostBlock<RowRun>(static_cast<std::size_t>(std::max(std::min(height, outHeight), 1)));
  if (columnOf == nullptr || runs == nullptr) return 0;
  if (width <= 0 || height <= 0 || fn == nullptr) return 1;
  planColumns(width, outWidth, columnOf.get());
  const int count = planRows(height, outHeight, runs.get());

  RowReader reader;
  const int workers = passWorkers(raster, std::int64_t{count} * width);
  if (!reader.open(raster, width, height, 1, workers)) return 1;
  const auto room = static_cast<std::size_t>(outWidth);
  const HostBlock<double> picked =
      hostBlock<double>(std::max<std::size_t>(room, 1) * reader.workers());
  if (picked == nullptr) return 1;
  std::atomic<int> rowsDone{0};
  RowProgress rows(progress, perRow);
  const auto task = [&](int t, int worker) {
    const RowRun& run = runs.get()[t];
    ValueRun values{};
    if (reader.read(run.source, 1, worker, &values) != 1) return;
    double* out = picked.get() + room * static_cast<std::size_t>(worker);
    visitValues(values, [&](auto row) {
      for (int j = 0; j < outWidth; ++j)
        out[j] = static_cast<double>(row[static_cast<std::size_t>(columnOf.get()[j])]);
    });
    fn(out, outWidth, run.first, run.last, context);
    rowsDone.fetch_add(run.last - run.first + 1);
  };
  parallelFor(count, reader.workers(), task, [&] { rows.catchUp(rowsDone.load()); });
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
