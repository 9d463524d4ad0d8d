// RowReader: how the core's passes over a loaded source (range scan, preview samples,
// conversion into posts) read it: blocks of consecutive rows as typed values (value_run.h),
// on every core when the source allows.
//
// A variant with random access (readRunFn: values in memory, binary files) is read block by
// block by several workers at once, each into room of its own, all of it allocated by open on
// the calling thread. Any other variant (a text grid streamed again, or one a test made) is
// read in order through its row function, as doubles, by one worker.
//
// A pass reads `rows` rows of `width` values; a width below the record's reads the source as
// a grid of that width, as rasterForEachRow does. Rows are delivered up to the first that
// cannot be read, which ends the pass as it ends rasterForEachRow.
#ifndef RELIEVO_RASTER_ROW_READER_H
#define RELIEVO_RASTER_ROW_READER_H

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "raster/host_memory.h"
#include "raster/parallel.h"
#include "raster/value_run.h"

namespace relievo {

class RowReader {
 public:
  RowReader() = default;
  RowReader(const RowReader&) = delete;
  RowReader& operator=(const RowReader&) = delete;
  ~RowReader();  // ends the pass

  // Starts a pass over `rows` rows of `width` values, read in blocks of up to blockRows rows
  // by up to `workers` workers (1 for a source read in order). False when the record is not
  // valid, width or rows is negative or beyond the record's, or the pass cannot start (the
  // file does not open, memory is refused).
  bool open(RasterRec* raster, int width, int rows, int blockRows, int workers);

  // Whether several workers read at once, in any order.
  bool concurrent() const { return raster_ != nullptr && raster_->readRunFn != nullptr; }
  int workers() const { return workers_; }

  // Reads rows first ... first + count - 1 (count at most blockRows) into the room of
  // `worker`; *values holds them, `width` values a row. Returns the rows delivered, fewer than
  // count when the source ends or fails first. A source read in order takes its calls in
  // ascending order of rows; rows passed over are read and dropped.
  int read(int first, int count, int worker, ValueRun* values);

 private:
  int readInOrder(int first, int count, ValueRun* values);

  RasterRec* raster_ = nullptr;
  void* stream_ = nullptr;
  int width_ = 0;
  int rows_ = 0;
  int workers_ = 1;
  std::size_t roomBytes_ = 0;  // per worker
  HostBlock<unsigned char> room_;
  int nextRow_ = 0;  // the next row of a source read in order
  bool failed_ = false;
};

// The progress of a pass counted in rows: each row adds `perRow`, one step a row as on one
// thread, always from the calling thread.
class RowProgress {
 public:
  RowProgress(Progress progress, double perRow) : progress_(progress), perRow_(perRow) {}
  // Steps for the rows done since the last call.
  void catchUp(int rowsDone) {
    for (; reported_ < rowsDone; ++reported_)
      progress_.step(perRow_);
  }

 private:
  Progress progress_;
  double perRow_;
  int reported_ = 0;
};

// The workers for a pass that reads `values` values of raster: one for a source read in order
// or a pass too small to share, else workerThreads().
int passWorkers(const RasterRec* raster, std::int64_t values);

// The blocks of a pass over `rows` rows of `width` values.
struct BlockPlan {
  int blockRows;
  int blocks;
  int workers;
};
// Blocks of about kBlockValues values in whole rows, at least minRows rows when there are
// that many, cut smaller when there are fewer than a few per worker; one worker for a source
// read in order or a small one.
BlockPlan planBlocks(const RasterRec* raster, int width, int rows, int minRows = 1);

// A block of rows delivered to a pass.
struct RowBlock {
  int index;     // the block's place in the plan
  int firstRow;  // rows firstRow ... firstRow + rows - 1
  int rows;
  ValueRun values;  // rows x width values
};

// Reads the blocks of `plan` with reader (opened with the plan's blockRows and workers) and
// calls visit(block, worker) for every block with rows, on the reader's workers; progress
// moves by a row for every row delivered. Returns the rows delivered before the first that
// could not be read, or `rows`; visit may also have seen rows after it, which the pass drops
// by looking at block.firstRow.
template <typename Visit>
int forEachRowBlock(RowReader& reader, const BlockPlan& plan, int rows, RowProgress& progress,
                    Visit&& visit) {
  std::atomic<int> done{0};
  // The first block that came up short and its rows, as (index << 32 | rows), lowest wins.
  std::atomic<std::int64_t> shortest{INT64_MAX};
  // Workers that start together take blocks far apart (task 0 the first block, task 1 the
  // first of the second half, ...), so that no two of them write beside each other. Lanes of
  // perLane blocks, taken in turn; a slot past the last block is no task.
  const int lanes = reader.concurrent() ? std::max(reader.workers(), 1) : 1;
  const int perLane = (plan.blocks + lanes - 1) / lanes;
  const auto task = [&](int slot, int worker) {
    const int index = (slot % lanes) * perLane + slot / lanes;
    if (index >= plan.blocks) return;
    const int first = index * plan.blockRows;
    const int count = std::min(plan.blockRows, rows - first);
    ValueRun values{};
    const int got = reader.read(first, count, worker, &values);
    if (got > 0) visit(RowBlock{index, first, got, values}, worker);
    if (got < count) {
      const std::int64_t mark = (std::int64_t{index} << 32) | got;
      std::int64_t seen = shortest.load();
      while (mark < seen && !shortest.compare_exchange_weak(seen, mark)) {
      }
    }
    done.fetch_add(got);
  };
  const auto between = [&] { progress.catchUp(std::min(done.load(), rows)); };
  parallelFor(lanes * perLane, reader.workers(), task, between);
  const std::int64_t mark = shortest.load();
  if (mark == INT64_MAX) return rows;
  const int delivered = static_cast<int>(mark >> 32) * plan.blockRows + static_cast<int>(mark);
  return delivered;
}

}  // namespace relievo

#endif  // RELIEVO_RASTER_ROW_READER_H
