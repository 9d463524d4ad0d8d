#include "raster/ascii_reader.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

#include "raster/file.h"
#include "raster/host_memory.h"
#include "raster/text_pass.h"
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
  double value = 0.0;
  for (int i = 0; i < count; ++i) {
    if (s->reader.nextValue(value) != TokenStatus::Value) return 0;
    out[i] = static_cast<float>(value);
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
  if (FilePtr file = fileOpenAt(path, headerOffset)) {
    const auto size = static_cast<std::int64_t>(fileSizeBytes(path));
    const TextPass pass{fileno(file.get()), headerOffset, size,     total,  width, values,
                        hasNullData == 1,   nullValue,    progress, context};
    readTextInRounds(pass, result);
  }
  result.ok = result.valuesRead == total;
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
  raster->readRunFn = nullptr;  // tokens are found only in order
  raster->runRoomFn = nullptr;
}

}  // namespace relievo
