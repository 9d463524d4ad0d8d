// The row iteration operations of raster.h.
#include "raster/raster.h"
#include "sxapilib.h"

namespace relievo {

int rasterForEachRow(RasterRec* raster, int count, int rows, RowCallback callback, void* context) {
  if (!rasterIsValid(raster) || callback == nullptr) return 0;
  if (rows < 0 || count < 0 || rows > raster->height || count > raster->width) return 0;
  auto* row = static_cast<double*>(sxMalloc(sizeof(double) * static_cast<std::size_t>(count)));
  if (row == nullptr) return 0;
  void* stream = nullptr;
  if (raster->openFn(raster, &stream) == 0) {
    sxFree(row);
    return 0;
  }
  int result = 1;
  for (int r = 0; r < rows && result != 0; ++r) {
    if (raster->readRowFn(raster, stream, r, row, rows, count) != 1) {
      result = 0;
      break;
    }
    result = callback(row, count, r, context);
  }
  sxFree(row);
  raster->closeFn(raster, stream);
  return result;
}

int rasterForEachRowAll(RasterRec* raster, RowCallback callback, void* context) {
  if (!rasterIsValid(raster) || callback == nullptr) return 0;
  return rasterForEachRow(raster, raster->width, raster->height, callback, context);
}

}  // namespace relievo
