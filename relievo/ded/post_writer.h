// The export seam: where a conversion sends the terrain, in DED order. An output format is a
// PostWriter; the DED file (ded_file_writer.h) is the first.
//
// The conversion calls, for one output: open; then, when the source was read, begin once and
// write for every record in increasing order, several records a call; and finish exactly
// once after a successful open, whatever happened, telling whether every record went out.
// Every step returns 0, or the system's error number (errno) of its failure, which ends the
// output: only finish is called after it. A writer that stages its output (a temporary file
// renamed into place) does so between open and a complete finish.
#ifndef RELIEVO_DED_POST_WRITER_H
#define RELIEVO_DED_POST_WRITER_H

#include <cstdint>
#include <span>

namespace relievo {

// Everything an output holds besides its posts: the range record, the extents record and the
// arrangement of the records.
struct DedFrame {
  std::int16_t lowest;  // metres
  std::int16_t highest;
  float latSouthWest;  // degrees
  float lonSouthWest;
  float latNorthEast;
  float lonNorthEast;
  float latSpacing;  // tenths of an arc-second
  float lonSpacing;
  std::int32_t lonPosts;  // the post counts the extents record states
  std::int32_t latPosts;
  std::int32_t records;         // data records, west to east
  std::int32_t postsPerRecord;  // posts of each record, south to north
};

class PostWriter {
 public:
  virtual ~PostWriter() = default;

  // Creates the output named path.
  virtual int open(const char* path) = 0;
  // Writes what comes before the posts.
  virtual int begin(const DedFrame& frame) = 0;
  // Writes posts as the records from firstRecord on: a whole number of records of
  // frame.postsPerRecord posts, one after the other, each post big-endian (the byte order of
  // a DED file, which the conversion gives its post buffer).
  virtual int write(std::int32_t firstRecord, std::span<const std::int16_t> posts) = 0;
  // Ends the output; complete when every record was written.
  virtual int finish(bool complete) = 0;
};

}  // namespace relievo

#endif  // RELIEVO_DED_POST_WRITER_H
