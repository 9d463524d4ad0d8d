// The binary grid reader over any layout and any file. The input's first kLayoutBytes choose
// the layout (little-endian int32 width, height, header offset and stride, then the element
// type, byte order, signedness and a resampled size); the rest is the file. A layout that
// the size check accepts without a stride must deliver every row, in order, of width values,
// and its resampled pass exactly the output rows 0 ... outHeight - 1.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "raster/raster.h"
#include "scratch_file.h"

namespace {

using namespace relievo;

constexpr std::size_t kLayoutBytes = 20;

struct Pass {
  int width;
  int nextRow = 0;
};

int checkRow(const double*, int count, int row, void* context) {
  auto& pass = *static_cast<Pass*>(context);
  if (count != pass.width || row != pass.nextRow) std::abort();
  ++pass.nextRow;
  return 1;
}

std::int32_t int32At(const std::uint8_t* bytes) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | bytes[i];
  return static_cast<std::int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kLayoutBytes) return 0;
  static const fuzz::ScratchFile file(".bin");
  file.write({data + kLayoutBytes, size - kLayoutBytes});
  const int width = int32At(data);
  const int height = int32At(data + 4);
  const int offset = int32At(data + 8);
  const int stride = int32At(data + 12);
  // Types 5 to 7 are unknown ones, as stored settings can hold.
  const auto type = static_cast<ByteType>(data[16] % 8);
  const auto order = static_cast<Endian>(data[17] % 2);
  const int isSigned = data[18] % 2;
  const int outWidth = 1 + data[19] % 16;
  const int outHeight = 1 + data[19] / 16;

  RasterRec* raster =
      rasterOpenFile(file.path(), offset, stride, width, height, isSigned, SourceKind::Binary, type,
                     order, ' ', nullptr, nullptr, nullptr, 0, 0.0);
  if (raster == nullptr) return 0;
  Pass all{width};
  const int complete = rasterForEachRowAll(raster, checkRow, &all);
  Pass resampled{outWidth};
  rasterForEachRowResampled(raster, outWidth, outHeight, checkRow, &resampled);
  if (stride <= 0 && (complete != 1 || all.nextRow != height || resampled.nextRow != outHeight)) {
    std::abort();
  }
  rasterFree(raster);
  return 0;
}
