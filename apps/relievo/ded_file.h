// Reading a DED file back for `relievo inspect`: the 200-byte preamble (header, range record,
// extents record, all big-endian) and the posts behind it. A DED file's header begins with
// the length 128, the tag "KTLX" and the projection "DMA1", and its length is what its post
// counts call for: 200 + 2 x records x posts per record bytes.
#ifndef RELIEVO_APPS_DED_FILE_H
#define RELIEVO_APPS_DED_FILE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace relievo::cli {

inline constexpr std::size_t kDedPreambleSize = 200;
inline constexpr std::int16_t kDedNullPost = -32768;

struct DedHeader {
  std::int32_t length = 0;  // 128 in a good file
  std::string tag;          // "KTLX"
  std::string projection;   // "DMA1    " for a geographic file
  std::string version;      // "V1.0    "
  std::string created;      // the creation time, without its line feed and NUL
};

struct DedRangeRecord {
  std::int32_t marker = 0;  // 1 in a good file
  std::int16_t lowest = 0, highest = 0;
};

struct DedExtents {
  float swLat = 0, neLat = 0, swLon = 0, neLon = 0;
  float latSpacing = 0, lonSpacing = 0;   // tenths of an arc-second
  float postsPerRecord = 0, records = 0;  // whole numbers held as floats
  float lonFeet = 0, latFeet = 0;
};

struct DedPosts {
  std::uint64_t count = 0;
  std::uint64_t nulls = 0;                      // posts of "DED NULL"
  std::optional<std::int16_t> lowest, highest;  // of the other posts
};

struct DedFile {
  std::string path;
  std::uintmax_t size = 0;
  DedHeader header;
  DedRangeRecord range;
  DedExtents extents;
  DedPosts posts;
};

// Throws RunError with a reason that does not name the file: "cannot be read: <the system's
// reason>", or "not a DED file: <why>" for a file without the header's markers or whose
// length does not match its counts.
DedFile readDedFile(const std::string& path);

// The preamble's fields from its 200 bytes; `posts` stays empty.
DedFile parsePreamble(std::string_view preamble);

// Why the preamble is not a DED file's, or "".
std::string markerProblem(const DedHeader& header);

// What is wrong with a file of `size` bytes under these counts, or "".
std::string lengthProblem(std::uintmax_t size, float postsPerRecord, float records);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_DED_FILE_H
