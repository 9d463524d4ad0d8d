// Text grids: the reading pass that loads one into memory, and the ASCII stream variant.
//
// A text grid is width x height numbers after `headerOffset` bytes of anything. Numbers are
// the tokens of AsciiTokenReader read by asciiParseNumber; everything else separates them,
// whatever delimiter the user chose.
#ifndef RELIEVO_RASTER_ASCII_READER_H
#define RELIEVO_RASTER_ASCII_READER_H

#include "raster/raster.h"

namespace relievo {

struct AsciiTextResult {
  bool ok;          // all width x height values were read
  int valuesRead;   // values read before the text ended or the reading was abandoned
  double minValue;  // range of the values read, kRangeStartMin / kRangeStartMax when none
  double maxValue;
  float* values;  // on success the values from sxMalloc, now the caller's; null when that
                  // memory was refused (the pass still ran) and after a failure
};

// Reads the whole grid once. The range is taken from the doubles before they are narrowed
// to floats, skipping values equal to nullValue exactly when hasNullData is 1. After every
// `width` values `progress` (if not null) is called with (0, values read, context); a 0 from
// it abandons the reading, which then fails unless it was the last value. The pass fails
// when the file does not open, ends early, holds a token that is too long, or when the
// dimensions are not positive or their product passes INT32_MAX.
AsciiTextResult asciiReadText(const char* path, int headerOffset, int width, int height,
                              ProgressCallback progress, void* context, int hasNullData,
                              double nullValue);

// Installs the ASCII stream functions: every pass parses the file again from `headerOffset`.
// Values are narrowed to floats as in memory, so a grid reads the same whether or not its
// values fitted in memory.
void rasterUseAsciiStreamVariant(RasterRec* raster);

}  // namespace relievo

#endif  // RELIEVO_RASTER_ASCII_READER_H
