#include "raster/raster.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#include "raster/ascii_reader.h"
#include "raster/binary_reader.h"
#include "raster/file.h"
#include "raster/value_run.h"
#include "sxapilib.h"

namespace relievo {

// Records live in host memory and rely on zero-filled blocks.
static_assert(std::is_trivially_copyable_v<RasterRec> && std::is_standard_layout_v<RasterRec>);

namespace {

bool pathFits(std::string_view path) {
  return path.size() < static_cast<std::size_t>(kPathSize) &&
         path.find('\0') == std::string_view::npos;
}

int memoryOpen(RasterRec*, void** stream) {
  *stream = nullptr;
  return 1;
}

int memoryReadRow(RasterRec* raster, void*, int row, double* out, int, int count) {
  const std::int64_t first = std::int64_t{row} * count;
  const std::int64_t total = std::int64_t{raster->width} * raster->height;
  if (row < 0 || count < 0 || first + count > total) return 0;
  const float* values = raster->values + first;
  std::copy(values, values + count, out);
  return 1;
}

int memoryClose(RasterRec*, void*) {
  return 1;
}

std::int64_t memoryReadRun(const RasterRec* raster, void*, std::int64_t first, std::int64_t count,
                           void*, ValueRun* run) {
  const std::int64_t total = std::int64_t{raster->width} * raster->height;
  if (first < 0 || count < 0 || first > total) return 0;
  const std::int64_t n = std::min(count, total - first);
  *run = ValueRun{ValueType::Float32, raster->values + first, static_cast<std::size_t>(n)};
  return n;
}

std::size_t noRoom(const RasterRec*, std::int64_t) {
  return 0;
}

}  // namespace

bool rasterIsValid(const RasterRec* raster) {
  return raster != nullptr && raster->self == raster && raster->magic == kRasterMagic;
}

RasterRec* rasterAllocate(std::string_view path) {
  if (!pathFits(path)) return nullptr;
  auto* raster = static_cast<RasterRec*>(sxMalloc(sizeof(RasterRec)));
  if (raster == nullptr) return nullptr;
  raster->self = raster;
  raster->magic = kRasterMagic;
  std::memcpy(raster->path, path.data(), path.size());
  raster->path[path.size()] = '\0';
  return raster;
}

void rasterUseMemoryVariant(RasterRec* raster) {
  if (!rasterIsValid(raster)) return;
  raster->openFn = memoryOpen;
  raster->readRowFn = memoryReadRow;
  raster->closeFn = memoryClose;
  raster->readRunFn = memoryReadRun;
  raster->runRoomFn = noRoom;
}

RasterRec* rasterOpenFile(std::string_view path, int headerOffset, int dataStride, int width,
                          int height, int isSigned, SourceKind sourceKind, ByteType byteType,
                          Endian endianType, char delimiter, ProgressCallback progress,
                          void* progressContext, int* valuesRead, int hasNullData,
                          double nullValue) {
  if (valuesRead != nullptr) *valuesRead = 0;
  const bool ascii = sourceKind == SourceKind::Ascii;
  if (!ascii && sourceKind != SourceKind::Binary) return nullptr;
  // Every count is an int, so a grid must not hold more values than an int counts.
  if (!pathFits(path) || headerOffset < 0 || width <= 0 || height <= 0 ||
      std::int64_t{width} * height > std::numeric_limits<std::int32_t>::max()) {
    return nullptr;
  }
  const std::string name(path);

  AsciiTextResult text{};
  if (ascii) {
    text = asciiReadText(name.c_str(), headerOffset, width, height, progress, progressContext,
                         hasNullData, nullValue);
    if (valuesRead != nullptr) *valuesRead = text.valuesRead;
    if (!text.ok) return nullptr;
  } else {
    int available = 0;
    const int fits =
        rasterCheckBinarySize(path, headerOffset, dataStride, width, height, byteType, &available);
    if (valuesRead != nullptr) *valuesRead = available;
    if (!fits) return nullptr;
  }

  RasterRec* raster = fileOpenAt(name.c_str(), 0) != nullptr ? rasterAllocate(path) : nullptr;
  if (raster == nullptr) {
    sxFree(text.values);
    return nullptr;
  }
  raster->fileSize = rasterFileSize(path);
  raster->headerOffset = headerOffset;
  raster->dataStride = dataStride;
  raster->width = width;
  raster->height = height;
  raster->endianType = endianType;
  raster->isSigned = isSigned;
  raster->byteType = byteType;
  raster->sourceKind = sourceKind;
  raster->delimiter = delimiter;
  if (ascii) {
    raster->minMaxKnown = 1;
    raster->minValue = text.minValue;
    raster->maxValue = text.maxValue;
    raster->values = text.values;
  }
  if (raster->values != nullptr) {
    rasterUseMemoryVariant(raster);
  } else if (ascii) {
    rasterUseAsciiStreamVariant(raster);
  } else {
    rasterUseBinaryStreamVariant(raster);
  }
  return raster;
}

int rasterGetMinMax(const RasterRec* raster, double* minValue, double* maxValue) {
  if (!rasterIsValid(raster) || raster->minMaxKnown != 1) return 0;
  if (minValue != nullptr) *minValue = raster->minValue;
  if (maxValue != nullptr) *maxValue = raster->maxValue;
  return 1;
}

int rasterSetMinMax(RasterRec* raster, double minValue, double maxValue) {
  if (!rasterIsValid(raster)) return 0;
  raster->minValue = minValue;
  raster->maxValue = maxValue;
  raster->minMaxKnown = 1;
  return 1;
}

int rasterClearMinMax(RasterRec* raster) {
  if (!rasterIsValid(raster)) return 0;
  raster->minMaxKnown = 0;
  return 1;
}

const char* rasterReadError(const RasterRec* raster) {
  if (!rasterIsValid(raster) || raster->readerError == nullptr) return "";
  return raster->readerError(raster->reader);
}

void rasterFree(RasterRec* raster) {
  if (!rasterIsValid(raster)) return;
  raster->magic = 0;
  raster->self = nullptr;
  sxFree(raster->values);
  raster->values = nullptr;
  if (raster->releaseReader != nullptr) raster->releaseReader(raster->reader);
  sxFree(raster);
}

std::int32_t rasterFileSize(std::string_view path) {
  const std::uint64_t size = fileSizeBytes(path);
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(std::min(size, kMax));
}

int rasterElementSize(ByteType byteType) {
  switch (byteType) {
    case ByteType::Int8:
      return 1;
    case ByteType::Int16:
      return 2;
    case ByteType::Int32:
    case ByteType::Float32:
      return 4;
    case ByteType::Float64:
      return 8;
  }
  return 0;
}

}  // namespace relievo
