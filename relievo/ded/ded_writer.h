// The DED writer: the 200-byte preamble and the column records of a DED file.
//
// A DED file is a 128-byte header, a 32-byte range record, a 40-byte extents record and then
// one record per grid column (west to east) of 16-bit signed posts (south to north). Every
// number is big-endian whatever the machine. The caller opens and closes the stream; each
// record writer seeks to its record's fixed offset first, so records can be written in any
// order, except that the header must be in place before the extents record (the extents writer
// reads the projection marker back).
//
// Results: 0 for success and -1 for failure, byte counts for the column writers, and the
// stream (or null) for the operations that produce one. A write the stream does not take
// whole is a failure; as streams buffer, a failure of the device may show only at a later
// record's seek or at the caller's flush. None of them closes the stream.
#ifndef RELIEVO_DED_DED_WRITER_H
#define RELIEVO_DED_DED_WRITER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

namespace relievo {

inline constexpr long kDedMarkerOffset = 8;
inline constexpr long kDedRangeOffset = 128;
inline constexpr long kDedExtentsOffset = 160;
inline constexpr long kDedDataOffset = 200;
inline constexpr std::size_t kDedHeaderSize = 128;
inline constexpr std::size_t kDedRangeSize = 32;
inline constexpr std::size_t kDedExtentsSize = 40;
inline constexpr std::size_t kDedMarkerSize = 8;

// Reverses the order of the bytes in place.
void reverseBytes(std::span<std::byte> bytes);

// Writes the 128-byte header (length, "KTLX", "DMA1    ", "V1.0    ", the 26 bytes of ctime
// of the current time, 78 blanks) at the stream's current position. Returns the stream, or
// null when given none or when the stream did not take the whole header.
std::FILE* dedWriteHeader(std::FILE* stream);

// 1 when the projection marker contains "UTM", 0 when it does not or cannot be read (a
// write-only stream), -1 when the stream is missing or its position cannot be taken. The
// stream's position is restored.
int dedIsUtm(std::FILE* stream);

// Writes the range record: 1, the lowest and the highest elevation, 24 blanks. Returns -1
// when the stream is missing, the seek fails or the stream does not take the whole record.
int dedWriteRange(std::FILE* stream, std::int16_t minimum, std::int16_t maximum);

// Writes the extents record: corners in degrees, spacings in tenths of an arc-second, the
// post counts (latitude count first in the file, though the longitude count comes first
// here), and the spacings in feet: along latitude, and along longitude at the middle
// latitude, or both spacings times 3.28084 when the file is marked UTM. Leaves the stream at
// the first data record. -1 when the stream is missing, the seek fails or the stream does not
// take the whole record.
int dedWriteExtents(std::FILE* stream, float latSouthWest, float lonSouthWest, float latNorthEast,
                    float lonNorthEast, float latSpacing, float lonSpacing, std::int32_t lonPosts,
                    std::int32_t latPosts);

// Writes posts, big-endian already, as the data records from record `column` on, records
// being n posts long (posts.size() a whole number of records), in one write. Returns the
// bytes the stream accepted, or -1 when the stream or buffer (null data) is missing, the posts
// are no whole number of records, or the first record's position cannot be reached.
std::int64_t dedWriteColumn(std::FILE* stream, std::int32_t column,
                            std::span<const std::int16_t> posts, std::int32_t n);

}  // namespace relievo

#endif  // RELIEVO_DED_DED_WRITER_H
