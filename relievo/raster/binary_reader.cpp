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

#include "raster/file.h"
#include "raster/host_memory.h"

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

template <typename T>
T loadElement(const unsigned char* bytes, bool swap) {
  std::array<unsigned char, sizeof(T)> b;
  std::memcpy(b.data(), bytes, sizeof(T));
  if (swap) std::reverse(b.begin(), b.end());
  return std::bit_cast<T>(b);
}

// Converts `count` raw elements to doubles. `raw` may lie inside `out` as long as it ends
// where `out` ends: element i is loaded before out[i] is stored, and out[i] never reaches
// element i + 1.
template <typename T>
void convertRow(const unsigned char* raw, double* out, int count, bool swap) {
  for (int i = 0; i < count; ++i) {
    const T value = loadElement<T>(raw + i * sizeof(T), swap);
    if constexpr (std::is_same_v<T, double>) {
      out[i] = std::isfinite(value) ? value : 0.0;
    } else {
      out[i] = static_cast<double>(value);
    }
  }
}

void convertRow(const RasterRec& raster, const unsigned char* raw, double* out, int count) {
  const bool swap = static_cast<int>(raster.endianType) != kMachineOrder;
  const bool isSigned = raster.isSigned != 0;
  switch (raster.byteType) {
    case ByteType::Int8:
      return isSigned ? convertRow<std::int8_t>(raw, out, count, swap)
                      : convertRow<std::uint8_t>(raw, out, count, swap);
    case ByteType::Int16:
      return isSigned ? convertRow<std::int16_t>(raw, out, count, swap)
                      : convertRow<std::uint16_t>(raw, out, count, swap);
    case ByteType::Int32:
      return isSigned ? convertRow<std::int32_t>(raw, out, count, swap)
                      : convertRow<std::uint32_t>(raw, out, count, swap);
    case ByteType::Float32:
      return convertRow<float>(raw, out, count, swap);
    case ByteType::Float64:
      return convertRow<double>(raw, out, count, swap);
  }
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
  convertRow(*raster, raw, out, count);
  return 1;
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
}

}  // namespace relievo
