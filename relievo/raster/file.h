// Reading files for the raster readers: an owning FILE handle and the file's real size.
#ifndef RELIEVO_RASTER_FILE_H
#define RELIEVO_RASTER_FILE_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

namespace relievo {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` (NUL-terminated) for reading and positions it `offset` bytes from the start.
// Text and binary sources both open in binary mode: offsets are byte positions in the file
// as stored, line breaks counted with all their bytes. Null when the file does not open or
// the offset is negative. An offset beyond the end is not an error: reading then finds the
// end at once. The file is advised as read in order from the offset on (every pass over a
// source is, each worker's stretch in turn).
FilePtr fileOpenAt(const char* path, std::int64_t offset);

// The size in bytes of the regular file at `path`; 0 when there is none (missing file,
// directory, error).
std::uint64_t fileSizeBytes(std::string_view path);

}  // namespace relievo

#endif  // RELIEVO_RASTER_FILE_H
