#include "raster/binary_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include <unistd.h>

#include <cerrno>

#include "raster/file.h"
#include "raster/host_memory.h"
#include "raster/value_run.h"

namespace relievo {

namespace {

constexpr std::size_t kStrideBufferBytes = 64 * 1024;
constexpr int kMachineOrder =
    static_cast<int>(std::endian::native == std::endian::big ? Endian::Big : Endian::Little);

// One pass over a binary file, in a block from sxMalloc. With a stride the elements are
// picked out of blocks read into `buffer` (kStrideBufferBytes); without one every row is a
// single fread and there is no buffer.
struct BinaryStream {
  // Spelled out: clang 14 does not yet make an aggregate from parentheses (hostNew).
  BinaryStream(FilePtr opened, HostBlock<unsigned char> block)
      : file(std::move(opened)), buffer(std::move(block)) {}

  FilePtr file;
  HostBlock<unsigned char> buffer;
  std::size_t pos = 0;  // next unread byte of buffer
  std::size_t end = 0;  // bytes of buffer filled
};

// Tops the buffer up until it holds `need` unread bytes; false when the file ends first.
bool refill(BinaryStream& s, std::size_t need) {
  unsigned char* buffer = s.buffer.get();
  std::memmove(buffer, buffer + s.pos, s.end - s.pos);
  s.end -= s.pos;
  s.pos = 0;
  while (s.end < need) {
    const std::size_t got = std::fread(buffer + s.end, 1, kStrideBufferBytes - s.end, s.file.get());
    if (got == 0) return false;
    s.end += got;
  }
  return true;
}

// Moves the read position `stride` bytes on: inside the buffer when it can, else by a seek
// from the file position, which stands at the end of the buffered bytes. A seek past the
// end of the file is no error; the next read finds the end.
bool skip(BinaryStream& s, std::size_t stride) {
  const std::size_t buffered = s.end - s.pos;
  if (stride <= buffered) {
    s.pos += stride;
    return true;
  }
  s.pos = s.end = 0;
  return std::fseek(s.file.get(), static_cast<long>(stride - buffered), SEEK_CUR) == 0;
}

// Copies `count` elements of `size` bytes, `stride` bytes apart, into `raw`. An element
// cut short by the end of the file ends the data: the row fails rather than deliver a
// value made partly of bytes that are not there.
bool gatherStrided(BinaryStream& s, unsigned char* raw, int count, std::size_t size,
                   std::size_t stride) {
  for (int i = 0; i < count; ++i) {
    if (s.end - s.pos < size && !refill(s, size)) return false;
    std::memcpy(raw + i * size, s.buffer.get() + s.pos, size);
    s.pos += size;
    if (!skip(s, stride)) return false;
  }
  return true;
}

// Widens `count` values to doubles. `values` may lie inside `out` as long as it ends where
// `out` ends: each chunk is copied aside before its doubles are stored, and the doubles of a
// chunk never reach the next chunk's values. The copy leaves the compiler two arrays that
// cannot overlap, and so a loop it turns into vector code.
template <typename T>
void widen(const unsigned char* values, double* out, std::size_t count) {
  constexpr std::size_t kChunk = 512;
  T chunk[kChunk];
  for (std::size_t start = 0; start < count; start += kChunk) {
    const std::size_t n = std::min(kChunk, count - start);
    std::memcpy(chunk, values + start * sizeof(T), n * sizeof(T));
    for (std::size_t i = 0; i < n; ++i)
      out[start + i] = static_cast<double>(chunk[i]);
  }
}

// Elements in the machine's order and, for doubles, the reader's rule: one that is not finite
// reads as 0.0.
void settle(const RasterRec& raster, unsigned char* raw, std::size_t count) {
  const int size = rasterElementSize(raster.byteType);
  if (static_cast<int>(raster.endianType) != kMachineOrder) swapElements(raw, count, size);
  if (raster.byteType != ByteType::Float64) return;
  for (std::size_t i = 0; i < count; ++i) {
    double value;
    std::memcpy(&value, raw + i * sizeof(double), sizeof(double));
    if (!std::isfinite(value)) value = 0.0;
    std::memcpy(raw + i * sizeof(double), &value, sizeof(double));
  }
}

void convertRow(const RasterRec& raster, unsigned char* raw, double* out, std::size_t count) {
  settle(raster, raw, count);
  const ValueRun run{binaryValueType(raster.byteType, raster.isSigned != 0), raw, count};
  visitValues(run, [&]<typename T>(std::span<const T>) { widen<T>(raw, out, count); });
}

int binaryOpen(RasterRec* raster, void** stream) {
  FilePtr file = fileOpenAt(raster->path, raster->headerOffset);
  if (file == nullptr) return 0;
  HostBlock<unsigned char> buffer;
  if (raster->dataStride > 0) {
    buffer = hostBlock<unsigned char>(kStrideBufferBytes);
    if (buffer == nullptr) return 0;
  }
  BinaryStream* s = hostNew<BinaryStream>(std::move(file), std::move(buffer));
  if (s == nullptr) return 0;
  *stream = s;
  return 1;
}

int binaryReadRow(RasterRec* raster, void* stream, int, double* out, int, int count) {
  auto* s = static_cast<BinaryStream*>(stream);
  const int size = rasterElementSize(raster->byteType);
  if (s == nullptr || size == 0 || count < 0) return 0;
  // The raw bytes go to the tail of the output row, which is at least as long, and are
  // converted in place from the front.
  const auto bytes = static_cast<std::size_t>(size);
  const auto n = static_cast<std::size_t>(count);
  unsigned char* raw = reinterpret_cast<unsigned char*>(out) + (sizeof(double) - bytes) * n;
  if (raster->dataStride > 0) {
    const auto stride = static_cast<std::size_t>(raster->dataStride);
    if (!gatherStrided(*s, raw, count, bytes, stride)) return 0;
  } else if (std::fread(raw, bytes, n, s->file.get()) != n) {
    return 0;  // fread counts whole elements: a final fragment fails the row as well
  }
  convertRow(*raster, raw, out, n);
  return 1;
}

// Random access reads with pread, which leaves the stream's position alone and may run on
// several threads at once. Strided elements are picked out of windows of this many bytes.
constexpr std::size_t kWindowBytes = 256 * 1024;

// Reads up to `bytes` bytes at `offset`; the bytes read, fewer at the end of the file or on an
// error.
std::size_t readAt(int fd, unsigned char* into, std::size_t bytes, std::int64_t offset) {
  std::size_t done = 0;
  while (done < bytes) {
    const ssize_t got =
        ::pread(fd, into + done, bytes - done, static_cast<off_t>(offset + std::int64_t(done)));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

// Elements of Size bytes, `pitch` bytes apart from `start`, read window by window into `out`;
// the elements read whole before the file ends.
template <std::size_t Size>
std::int64_t gatherAt(int fd, unsigned char* out, unsigned char* window, std::int64_t count,
                      std::int64_t pitch, std::int64_t start) {
  const std::int64_t perWindow =
      std::max<std::int64_t>(1, (static_cast<std::int64_t>(kWindowBytes) - Size) / pitch + 1);
  for (std::int64_t e = 0; e < count; e += perWindow) {
    const std::int64_t k = std::min(perWindow, count - e);
    const auto bytes = static_cast<std::size_t>((k - 1) * pitch + std::int64_t{Size});
    const std::size_t got = readAt(fd, window, bytes, start + e * pitch);
    const std::int64_t whole =
        got < Size ? 0
                   : std::min<std::int64_t>(k, static_cast<std::int64_t>(got - Size) / pitch + 1);
    for (std::int64_t j = 0; j < whole; ++j)
      std::memcpy(out + (e + j) * std::int64_t{Size}, window + j * pitch, Size);
    if (whole < k) return e + whole;
  }
  return count;
}

std::size_t binaryRunRoom(const RasterRec* raster, std::int64_t count) {
  const auto values = static_cast<std::size_t>(count * rasterElementSize(raster->byteType));
  return raster->dataStride > 0 ? values + kWindowBytes : values;
}

std::int64_t binaryReadRun(const RasterRec* raster, void* stream, std::int64_t first,
                           std::int64_t count, void* room, ValueRun* run) {
  const auto* s = static_cast<const BinaryStream*>(stream);
  const int size = rasterElementSize(raster->byteType);
  if (s == nullptr || size == 0 || first < 0 || count <= 0) return 0;
  const int fd = fileno(s->file.get());
  auto* out = static_cast<unsigned char*>(room);
  const std::int64_t pitch = std::int64_t{size} + std::max(raster->dataStride, 0);
  const std::int64_t start = raster->headerOffset + first * pitch;
  std::int64_t got = 0;
  if (pitch == size) {
    got =
        static_cast<std::int64_t>(readAt(fd, out, static_cast<std::size_t>(count * size), start)) /
        size;
  } else {
    unsigned char* window = out + count * size;
    switch (size) {
      case 1:
        got = gatherAt<1>(fd, out, window, count, pitch, start);
        break;
      case 2:
        got = gatherAt<2>(fd, out, window, count, pitch, start);
        break;
      case 4:
        got = gatherAt<4>(fd, out, window, count, pitch, start);
        break;
      default:
        got = gatherAt<8>(fd, out, window, count, pitch, start);
        break;
    }
  }
  settle(*raster, out, static_cast<std::size_t>(got));
  *run = ValueRun{binaryValueType(raster->byteType, raster->isSigned != 0), out,
                  static_cast<std::size_t>(got)};
  return got;
}

int binaryClose(RasterRec*, void* stream) {
  hostDelete(static_cast<BinaryStream*>(stream));
  return 1;
}

}  // namespace

int rasterCheckBinarySize(std::string_view path, int headerOffset, int dataStride, int width,
                          int height, ByteType byteType, int* available) {
  if (available != nullptr) *available = 0;
  const int size = rasterElementSize(byteType);
  if (size == 0 || headerOffset < 0 || width < 0 || height < 0) return 0;
  // Computed in 64 bits: header offsets or strides that pass the end of the file leave
  // nothing available instead of wrapping around to a huge count, and layouts beyond
  // 4 GiB are compared with the real file size. A negative stride counts as none, as the
  // reader ignores it.
  const auto fileSize = static_cast<std::int64_t>(fileSizeBytes(path));
  const std::int64_t strides =
      height >= 2 && dataStride > 0 ? std::int64_t{dataStride} * (height - 1) : 0;
  const std::int64_t skipped = std::int64_t{headerOffset} + strides;
  if (available != nullptr && skipped <= fileSize) {
    const std::int64_t count = (fileSize - skipped) / size;
    *available = static_cast<int>(std::min<std::int64_t>(count, INT32_MAX));
  }
  // width x height x size can pass 64 bits; comparing the cell count with the room for
  // whole elements is exact and cannot overflow.
  const std::int64_t room = fileSize - headerOffset;
  const std::int64_t cells = std::int64_t{width} * height;
  return room >= 0 && cells <= room / size ? 1 : 0;
}

void rasterUseBinaryStreamVariant(RasterRec* raster) {
  if (!rasterIsValid(raster)) return;
  raster->openFn = binaryOpen;
  raster->readRowFn = binaryReadRow;
  raster->closeFn = binaryClose;
  raster->readRunFn = binaryReadRun;
  raster->runRoomFn = binaryRunRoom;
}

}  // namespace relievo
