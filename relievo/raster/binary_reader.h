// Raw binary grids: the layout size test and the binary stream variant.
//
// A binary grid is `width` x `height` elements of one ByteType in file order, after
// `headerOffset` bytes, with `dataStride` bytes skipped after every element. Elements are
// converted to doubles: integers by their signedness, floats widened as they are, doubles
// that are not finite become 0.0. Bytes are reversed when the record's byte order differs
// from the machine's.
#ifndef RELIEVO_RASTER_BINARY_READER_H
#define RELIEVO_RASTER_BINARY_READER_H

#include <string_view>

#include "raster/raster.h"

namespace relievo {

// Returns 1 when the file at `path` holds at least headerOffset + element size x width x
// height bytes (the stride is not counted), else 0. When `available` is not null it receives
// the number of elements after the header and after one stride per row boundary:
// (size - headerOffset - dataStride x (height - 1)) / element size, 0 when the header and
// strides already pass the end of the file, saturated at INT32_MAX. An unknown byteType,
// a negative header offset or negative dimensions give 0 with 0 available.
int rasterCheckBinarySize(std::string_view path, int headerOffset, int dataStride, int width,
                          int height, ByteType byteType, int* available);

// Installs the binary stream functions: every pass opens `path`, starts at `headerOffset`
// and reads elements in file order. A row fails when the file ends before its last element,
// and a final fragment shorter than one element counts as the end.
void rasterUseBinaryStreamVariant(RasterRec* raster);

}  // namespace relievo

#endif  // RELIEVO_RASTER_BINARY_READER_H
