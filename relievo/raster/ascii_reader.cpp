#include "raster/ascii_reader.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

#include "raster/file.h"
#include "raster/host_memory.h"
#include "raster/number_parser.h"
#include "raster/token_reader.h"
#include "sxapilib.h"

namespace relievo {

namespace {

// One pass over a text file, in a block from sxMalloc.
struct AsciiStream {
  explicit AsciiStream(FilePtr opened) noexcept : file(std::move(opened)), reader(file.get()) {}
  FilePtr file;
  AsciiTokenReader reader;
};

int asciiOpen(RasterRec* raster, void** stream) {
  FilePtr file = fileOpenAt(raster->path, raster->headerOffset);
  if (file == nullptr) return 0;
  auto* s = hostNew<AsciiStream>(std::move(file));
  if (s == nullptr) return 0;
  if (!s->reader.ready()) {
    hostDelete(s);
    return 0;
  }
  *stream = s;
  return 1;
}

int asciiReadRow(RasterRec*, void* stream, int, double* out, int, int count) {
  auto* s = static_cast<AsciiStream*>(stream);
  if (s == nullptr) return 0;
  std::string_view token;
  for (int i = 0; i < count; ++i) {
    if (!s->reader.next(token)) return 0;
    out[i] = static_cast<float>(asciiParseNumber(token));
  }
  return 1;
}

int asciiClose(RasterRec*, void* stream) {
  hostDelete(static_cast<AsciiStream*>(stream));
  return 1;
}

}  // namespace

AsciiTextResult asciiReadText(const char* path, int headerOffset, int width, int height,
                              ProgressCallback progress, void* context, int hasNullData,
                              double nullValue) {
  AsciiTextResult result{false, 0, kRangeStartMin, kRangeStartMax, nullptr};
  if (width <= 0 || height <= 0 ||
      std::int64_t{width} * height > std::numeric_limits<std::int32_t>::max()) {
    return result;
  }
  const int total = width * height;
  auto* values = static_cast<float*>(sxMalloc(sizeof(float) * static_cast<std::size_t>(total)));
  const bool skipNull = hasNullData == 1;
  int read = 0;
  if (FilePtr file = fileOpenAt(path, headerOffset)) {
    AsciiTokenReader reader(file.get());
    std::string_view token;
    int untilRowEnd = width;
    while (read < total && reader.next(token)) {
      const double value = asciiParseNumber(token);
      if (!(skipNull && value == nullValue)) {
        if (value < result.minValue) result.minValue = value;
        if (value > result.maxValue) result.maxValue = value;
      }
      if (values != nullptr) values[read] = static_cast<float>(value);
      ++read;
      if (--untilRowEnd == 0) {
        untilRowEnd = width;
        if (progress != nullptr && progress(0, read, context) == 0) break;
      }
    }
  }
  result.valuesRead = read;
  result.ok = read == total;
  if (result.ok) {
    result.values = values;
  } else {
    sxFree(values);
  }
  return result;
}

void rasterUseAsciiStreamVariant(RasterRec* raster) {
  if (!rasterIsValid(raster)) return;
  raster->openFn = asciiOpen;
  raster->readRowFn = asciiReadRow;
  raster->closeFn = asciiClose;
}

}  // namespace relievo
