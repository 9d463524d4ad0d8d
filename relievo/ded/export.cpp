#include "ded/export.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "ded/units.h"
#include "raster/host_memory.h"

namespace relievo {

namespace {

// Rows converted before they are transposed into the column-ordered post buffer, so that
// each column receives a run of consecutive posts instead of one scattered write per value.
constexpr int kTransposeRows = 64;
// Posts handed to the writer in one call: whole records up to about this many bytes.
constexpr std::int64_t kWriteBatchBytes = 1 << 20;

struct ConversionContext {
  const ElevationRanges& ranges;
  UndefinedData undefined;
  DataOrder order;
  DataOrigin origin;
  std::int16_t* posts;  // width x height posts, column after column
  int columns;          // values per source row
  int rows;             // source rows
  double scale;         // metres per unit
  std::int16_t* block;  // up to kTransposeRows converted rows, or null: scatter directly
  int blockFirstRow;
  int blockRows;
  Progress progress;
};

// Post index of value i of row r of a row-major source.
std::int64_t rowMajorIndex(const ConversionContext& c, int i, int r) {
  const int fromSouth = c.origin == DataOrigin::UpperLeft ? c.rows - 1 - r : r;
  return std::int64_t{i} * c.rows + fromSouth;
}

// Moves the block's rows into their columns: each column receives one run of consecutive
// posts (northwards for Lower Left, southwards for Upper Left).
void flushBlock(ConversionContext& c) {
  const bool upper = c.origin == DataOrigin::UpperLeft;
  const int start = upper ? c.rows - 1 - c.blockFirstRow : c.blockFirstRow;
  const int step = upper ? -1 : 1;
  for (int i = 0; i < c.columns; ++i) {
    std::int16_t* to = c.posts + std::int64_t{i} * c.rows + start;
    const std::int16_t* from = c.block + i;
    for (int k = 0; k < c.blockRows; ++k)
      to[k * step] = from[std::int64_t{k} * c.columns];
  }
  c.blockRows = 0;
}

void convertRowMajor(ConversionContext& c, const double* values, int count, int row) {
  if (c.block == nullptr) {
    for (int i = 0; i < count; ++i) {
      c.posts[rowMajorIndex(c, i, row)] = valueToPost(c.ranges, c.undefined, values[i], c.scale);
    }
    return;
  }
  if (c.blockRows == 0) c.blockFirstRow = row;
  valuesToPosts(c.ranges, c.undefined, std::span(values, static_cast<std::size_t>(count)), c.scale,
                c.block + std::int64_t{c.blockRows} * c.columns);
  ++c.blockRows;
  if (c.blockRows == kTransposeRows || row == c.rows - 1) flushBlock(c);
}

// A column-major source row is one run of posts: south to north (Lower Left) or north to
// south (Upper Left).
void convertColumnMajor(ConversionContext& c, const double* values, int count, int row) {
  std::int16_t* run = c.posts + std::int64_t{row} * count;
  valuesToPosts(c.ranges, c.undefined, std::span(values, static_cast<std::size_t>(count)), c.scale,
                run);
  if (c.origin == DataOrigin::UpperLeft) std::reverse(run, run + count);
}

int convertRow(const double* values, int count, int row, void* data) {
  auto& context = *static_cast<ConversionContext*>(data);
  if (context.order == DataOrder::Cols) {
    convertColumnMajor(context, values, count, row);
  } else {
    convertRowMajor(context, values, count, row);
  }
  context.progress.step(1.0);
  return 1;
}

// Every value of the source into posts; false when a row could not be read.
bool convertSource(const ExportSource& from, std::int16_t* posts, Progress progress) {
  const SourceLayout& source = from.source;
  ConversionContext context{from.ranges,
                            source.undefined,
                            source.dataOrder,
                            source.dataOrigin,
                            posts,
                            source.width,
                            source.height,
                            unitsScale(from.ranges),
                            nullptr,
                            0,
                            0,
                            progress};
  HostBlock<std::int16_t> block;
  if (source.dataOrder == DataOrder::Rows) {
    block = hostBlock<std::int16_t>(static_cast<std::size_t>(kTransposeRows) * source.width);
    context.block = block.get();
  }
  return rasterForEachRow(from.raster, source.width, source.height, convertRow, &context) != 0;
}

// Hands the posts to the writer, several records a call; 0 or the writer's error.
int writePosts(PostWriter& writer, const DedFrame& frame, std::int16_t* posts, double rows,
               Progress progress) {
  if (const int error = writer.begin(frame)) return error;
  const std::int64_t recordBytes = std::int64_t{2} * frame.postsPerRecord;
  const std::int32_t batch =
      static_cast<std::int32_t>(std::max<std::int64_t>(1, kWriteBatchBytes / recordBytes));
  for (std::int32_t first = 0; first < frame.records; first += batch) {
    const std::int32_t count = std::min(batch, frame.records - first);
    const std::span<std::int16_t> run(posts + std::int64_t{first} * frame.postsPerRecord,
                                      static_cast<std::size_t>(count) * frame.postsPerRecord);
    if (const int error = writer.write(first, run)) return error;
    progress.step(rows * count / frame.records);
  }
  return 0;
}

// Widens the range record to a custom replacement for undefined data that some post holds.
// The posts tell, not the range scan, which sees no values when a reader knows its range.
void holdReplacement(DedFrame& frame, const ElevationRanges& ranges, const UndefinedData& undefined,
                     std::span<const std::int16_t> posts) {
  if (undefined.hasNullData != 1 || ranges.replaceNullValue == kDedNull) return;
  const auto replacement = static_cast<std::int16_t>(std::min(ranges.replaceNullValue, 32767));
  if (replacement >= frame.lowest && replacement <= frame.highest) return;
  if (std::find(posts.begin(), posts.end(), replacement) == posts.end()) return;
  frame.lowest = std::min(frame.lowest, replacement);
  frame.highest = std::max(frame.highest, replacement);
}

}  // namespace

DedArrangement dedArrangement(const SourceLayout& source) {
  // A column-major source delivers each terrain column as one row. For a square grid that
  // is the same arrangement as row-major.
  if (source.dataOrder == DataOrder::Cols) return {source.height, source.width};
  return {source.width, source.height};
}

DedFrame exportFrame(const SourceLayout& source, const ElevationRanges& ranges,
                     const Extents& extents) {
  const DedArrangement file = dedArrangement(source);
  DedFrame frame{dedRangePost(ranges, ranges.dedMin),
                 dedRangePost(ranges, ranges.dedMax),
                 extents.latStart,
                 extents.longStart,
                 extents.latEnd,
                 extents.longEnd,
                 extents.latSpacing,
                 extents.longSpacing,
                 file.records,
                 file.postsPerRecord,
                 file.records,
                 file.postsPerRecord};
  // Spacings stated for other post counts follow the corners over the file's counts.
  if (extents.latPosts != static_cast<float>(file.postsPerRecord) ||
      extents.longPosts != static_cast<float>(file.records)) {
    frame.latSpacing =
        spacingFor(extents.latStart, extents.latEnd, static_cast<float>(frame.latPosts));
    frame.lonSpacing =
        spacingFor(extents.longStart, extents.longEnd, static_cast<float>(frame.lonPosts));
  }
  return frame;
}

ExportResult exportDed(const ExportSource& from, PostWriter& writer, const char* path,
                       Progress progress) {
  const SourceLayout& source = from.source;
  const std::uint64_t count =
      static_cast<std::uint64_t>(std::max(source.width, 0)) * std::max(source.height, 0);
  if (count == 0 || count > UINT32_MAX) return {ExportStatus::InvalidSize, 0};

  // The posts are taken before the output is opened, so that a refusal leaves no file.
  const HostBlock<std::int16_t> posts = hostBlock<std::int16_t>(count);
  if (posts == nullptr) return {ExportStatus::NoMemory, 0};
  if (const int error = writer.open(path)) return {ExportStatus::CannotCreate, error};

  scanDataRange(from.raster, source, from.ranges.data, progress);
  selectMapping(from.ranges);
  if (!convertSource(from, posts.get(), progress)) {
    writer.finish(false);
    return {ExportStatus::CannotRead, 0};
  }
  DedFrame frame = exportFrame(source, from.ranges, from.extents);
  holdReplacement(frame, from.ranges, source.undefined, std::span(posts.get(), count));
  if (const int error = writePosts(writer, frame, posts.get(), source.height, progress)) {
    writer.finish(false);
    return {ExportStatus::CannotWrite, error};
  }
  if (const int error = writer.finish(true)) return {ExportStatus::CannotWrite, error};
  return {ExportStatus::Done, 0};
}

}  // namespace relievo
