#include "raster/row_reader.h"

#include <algorithm>

namespace relievo {

namespace {

// A block holds about this many values: its room (at most 8 bytes a value and the stride)
// stays within the second-level cache while a pass works on it.
constexpr std::int64_t kBlockValues = 128 * 1024;
// A pass over fewer values stays on the calling thread: starting threads would cost more.
constexpr std::int64_t kParallelValues = 32 * 1024;
// Each worker's room starts on its own cache line.
constexpr std::size_t kRoomAlignment = 64;

}  // namespace

RowReader::~RowReader() {
  if (raster_ != nullptr) raster_->closeFn(raster_, stream_);
}

bool RowReader::open(RasterRec* raster, int width, int rows, int blockRows, int workers) {
  if (!rasterIsValid(raster) || width < 0 || rows < 0 || width > raster->width ||
      rows > raster->height) {
    return false;
  }
  const bool random = raster->readRunFn != nullptr;
  workers_ = random ? std::clamp(workers, 1, kMaxWorkers) : 1;
  const std::int64_t values = std::int64_t{width} * std::max(blockRows, 1);
  const std::size_t bytes = random ? raster->runRoomFn(raster, values)
                                   : static_cast<std::size_t>(values) * sizeof(double);
  roomBytes_ = (bytes + kRoomAlignment - 1) / kRoomAlignment * kRoomAlignment;
  if (roomBytes_ > 0) {
    room_ = hostBlock<unsigned char>(roomBytes_ * static_cast<std::size_t>(workers_));
    if (room_ == nullptr) return false;
  }
  if (raster->openFn(raster, &stream_) == 0) {
    room_.reset();
    return false;
  }
  raster_ = raster;
  width_ = width;
  rows_ = rows;
  return true;
}

int RowReader::read(int first, int count, int worker, ValueRun* values) {
  *values = ValueRun{ValueType::Float64, room_.get(), 0};
  if (raster_ == nullptr || count <= 0) return 0;
  if (!concurrent()) return readInOrder(first, count, values);
  if (width_ == 0) return count;
  unsigned char* room = room_.get() + roomBytes_ * static_cast<std::size_t>(worker);
  const std::int64_t want = std::int64_t{count} * width_;
  const std::int64_t got =
      raster_->readRunFn(raster_, stream_, std::int64_t{first} * width_, want, room, values);
  const int rows = static_cast<int>(std::clamp<std::int64_t>(got, 0, want) / width_);
  values->count = static_cast<std::size_t>(rows) * static_cast<std::size_t>(width_);
  return rows;
}

int RowReader::readInOrder(int first, int count, ValueRun* values) {
  auto* out = reinterpret_cast<double*>(room_.get());
  const auto readRow = [&](double* row) {
    failed_ = failed_ || raster_->readRowFn(raster_, stream_, nextRow_, row, rows_, width_) != 1;
    if (!failed_) ++nextRow_;
    return !failed_;
  };
  while (nextRow_ < first && readRow(out)) {
  }
  int got = 0;
  while (got < count && nextRow_ >= first && readRow(out + std::int64_t{got} * width_))
    ++got;
  values->data = out;
  values->count = static_cast<std::size_t>(got) * static_cast<std::size_t>(width_);
  return got;
}

int passWorkers(const RasterRec* raster, std::int64_t values) {
  const bool random = rasterIsValid(raster) && raster->readRunFn != nullptr;
  return random && values >= kParallelValues ? workerThreads() : 1;
}

BlockPlan planBlocks(const RasterRec* raster, int width, int rows, int minRows) {
  if (rows <= 0) return {1, 0, 1};
  const std::int64_t values = std::int64_t{std::max(width, 1)} * rows;
  const int workers = passWorkers(raster, values);
  std::int64_t blockRows = std::max<std::int64_t>(kBlockValues / std::max(width, 1), minRows);
  const int parts = partsFor(rows, workers, minRows);
  if (parts > 1) blockRows = std::min<std::int64_t>(blockRows, (rows + parts - 1) / parts);
  blockRows = std::clamp<std::int64_t>(blockRows, 1, rows);
  const int blocks = static_cast<int>((rows + blockRows - 1) / blockRows);
  return {static_cast<int>(blockRows), blocks, std::min(workers, blocks)};
}

}  // namespace relievo
