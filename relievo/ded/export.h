// The conversion of Generate DED: every value of the loaded source becomes a 16-bit post in
// memory, in DED order (records west to east, each south to north) and byte order
// (big-endian), and the posts go to a PostWriter with the frame the ranges and extents give.
//
// Row-major sources ("Rows") deliver west-to-east lines, the first the southern edge ("Lower
// Left") or the northern one ("Upper Left"). A column-major source ("Cols") delivers each
// terrain column as one row, south to north or north to south, so a grid that is not square
// has `height` records of `width` posts, with the extents record's counts and spacings
// following that arrangement.
#ifndef RELIEVO_DED_EXPORT_H
#define RELIEVO_DED_EXPORT_H

#include "ded/extents.h"
#include "ded/mapping.h"
#include "ded/post_writer.h"
#include "raster/source_layout.h"

namespace relievo {

enum class ExportStatus {
  Done,
  InvalidSize,   // width x height is 0 or beyond 32 bits
  NoMemory,      // the post buffer was refused; the output was not opened
  CannotCreate,  // the writer could not open the output
  CannotRead,    // a source row could not be read
  CannotWrite,   // the writer failed after opening
};

struct ExportResult {
  ExportStatus status;
  int error;  // the writer's error number for CannotCreate and CannotWrite, else 0
};

// What the conversion reads. The range scan runs first when the source's range is not known
// yet, and the mapping is selected again, so ranges may change.
struct ExportSource {
  RasterRec* raster;
  const SourceLayout& source;
  ElevationRanges& ranges;
  const Extents& extents;
};

// Converts from.raster and hands the posts to writer, which opens path. The post buffer is
// taken before the writer opens its output. Progress: a step of 1 per row read (the scan's
// rows included), then steps totalling `height` while the records are written.
ExportResult exportDed(const ExportSource& from, PostWriter& writer, const char* path,
                       Progress progress);

// How the file holds the terrain: `records` data records of `postsPerRecord` posts each. A
// column-major source that is not square has `height` records of `width` posts.
struct DedArrangement {
  std::int32_t records;
  std::int32_t postsPerRecord;
};
DedArrangement dedArrangement(const SourceLayout& source);

// The frame of the output: the range record from the DED range and the extents record for
// the layout's arrangement, its spacings those of `extents` when they were stated for the
// arrangement's post counts. The conversion then widens the range record to hold a custom
// replacement for undefined data whenever a post holds it.
DedFrame exportFrame(const SourceLayout& source, const ElevationRanges& ranges,
                     const Extents& extents);

}  // namespace relievo

#endif  // RELIEVO_DED_EXPORT_H
