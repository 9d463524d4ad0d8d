#include "ded/export.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>

#include "ded/transpose.h"
#include "ded/units.h"
#include "raster/host_memory.h"
#include "raster/row_reader.h"
#include "raster/value_run.h"

namespace relievo {

namespace {

// A block of a row-major source holds at least this many rows, so that each column receives
// runs of this many consecutive posts instead of scattered single writes.
constexpr int kTransposeRows = 64;
// Posts handed to the writer in one call: whole records up to about this many bytes.
constexpr std::int64_t kWriteBatchBytes = 1 << 20;

struct Conversion {
  const ElevationRanges& ranges;
  UndefinedData undefined;
  bool upper;           // "Upper Left": the first source row is the northern edge
  std::int16_t* posts;  // width x height posts, column after column, big-endian
  int columns;          // values per source row
  int rows;             // source rows
  double scale;         // metres per unit
};

// A block of a row-major source: its posts in the worker's room, then into their columns.
void convertRowMajor(const Conversion& c, const RowBlock& block, std::int16_t* room) {
  valuesToPosts(c.ranges, c.undefined, block.values, c.scale, room);
  // Each column receives one run of consecutive posts: northwards for Lower Left, southwards
  // for Upper Left.
  const int start = c.upper ? c.rows - 1 - block.firstRow : block.firstRow;
  transposeBlock(room, block.rows, c.columns, {c.posts + start, c.rows, c.upper});
}

// A block of a column-major source: each of its rows is one run of posts, south to north
// (Lower Left) or north to south (Upper Left), and the block's runs follow one another.
void convertColumnMajor(const Conversion& c, const RowBlock& block) {
  std::int16_t* runs = c.posts + std::int64_t{block.firstRow} * c.columns;
  valuesToPosts(c.ranges, c.undefined, block.values, c.scale, runs);
  if (c.upper) {
    for (int k = 0; k < block.rows; ++k) {
      std::int16_t* run = runs + std::int64_t{k} * c.columns;
      std::reverse(run, run + c.columns);
    }
  }
  if constexpr (std::endian::native == std::endian::little) {
    swapElements(reinterpret_cast<unsigned char*>(runs),
                 static_cast<std::size_t>(block.rows) * c.columns, sizeof(std::int16_t));
  }
}

// Every value of the source into posts, block by block on every core, each block written
// straight into the post buffer; false when a row could not be read.
bool convertSource(const ExportSource& from, std::int16_t* posts, Progress progress) {
  const SourceLayout& source = from.source;
  const bool rowMajor = source.dataOrder == DataOrder::Rows;
  const Conversion c{from.ranges,
                     source.undefined,
                     source.dataOrigin == DataOrigin::UpperLeft,
                     posts,
                     source.width,
                     source.height,
                     unitsScale(from.ranges)};
  const BlockPlan plan =
      planBlocks(from.raster, source.width, source.height, rowMajor ? kTransposeRows : 1);
  RowReader reader;
  if (!reader.open(from.raster, source.width, source.height, plan.blockRows, plan.workers)) {
    return false;
  }
  HostBlock<std::int16_t> rooms;
  const std::size_t room = static_cast<std::size_t>(plan.blockRows) * source.width;
  if (rowMajor) {
    rooms = hostBlock<std::int16_t>(room * static_cast<std::size_t>(reader.workers()));
    if (rooms == nullptr) return false;
  }
  RowProgress rows(progress, 1.0);
  const int delivered =
      forEachRowBlock(reader, plan, source.height, rows, [&](const RowBlock& block, int worker) {
        if (rowMajor) {
          convertRowMajor(c, block, rooms.get() + room * static_cast<std::size_t>(worker));
        } else {
          convertColumnMajor(c, block);
        }
      });
  return delivered == source.height;
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
    const std::span<const std::int16_t> run(posts + std::int64_t{first} * frame.postsPerRecord,
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
  if (std::find(posts.begin(), posts.end(), bigEndianPost(replacement)) == posts.end()) return;
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
  adviseHugePages(posts.get(), count * sizeof(std::int16_t));
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
