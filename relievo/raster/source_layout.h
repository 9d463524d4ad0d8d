// SourceLayout: what the user says about the source, the part of ToolState that the readers,
// the range scan, the conversion and the preview need to know about it: its kind and file,
// the grid's layout and orientation, the image component, the delimiter and which value marks
// undefined data. It is a plain record inside ToolState (host memory, zero-filled).
#ifndef RELIEVO_RASTER_SOURCE_LAYOUT_H
#define RELIEVO_RASTER_SOURCE_LAYOUT_H

#include <cstdint>
#include <string_view>

#include "raster/raster.h"

namespace relievo {

enum class DataOrder : std::int32_t { Rows = 0, Cols = 1 };
enum class DataOrigin : std::int32_t { LowerLeft = 0, UpperLeft = 1 };
enum class ImageComponent : std::int32_t { Intensity = 1, Red = 2, Green = 3, Blue = 4, Alpha = 5 };

// Bits of SourceLayout::componentMask, one per ImageComponent.
inline constexpr std::int32_t componentBit(ImageComponent c) {
  return 1 << (static_cast<std::int32_t>(c) - 1);
}

// The undefined-data marker: "Has Undefined Data" and the value that marks it.
struct UndefinedData {
  std::int32_t hasNullData;
  std::int32_t nullValue;
};

struct SourceLayout {
  SourceKind sourceKind;
  char fileName[kPathSize];     // changed only through sourceTakeFileName
  char sourceDir[kPathSize];    // fileName up to and including its last '/'
  char dedFileName[kPathSize];  // the proposed output: fileName with ".ded"
  std::int32_t fileSize;        // of fileName, 0 when it cannot be examined
  std::int32_t headerOffset;    // bytes before the first value
  std::int32_t dataStride;      // bytes skipped after every binary value
  std::int32_t width;           // values per row
  std::int32_t height;          // rows
  Endian endianType;
  ByteType byteType;
  std::int32_t isSigned;
  DataOrder dataOrder;
  DataOrigin dataOrigin;
  std::int32_t delimiterType;  // row 1 ... 7 of the delimiter table
  char otherDelimiter;         // the character of the delimiter table's "Other" row
  ImageComponent imageComponent;
  std::int32_t componentMask;  // components the image offers, componentBit each
  UndefinedData undefined;
  std::int32_t band;  // of a geo raster, from 1
};

// Takes a new source file name: the present name (or one that does not fit kPathSize)
// changes nothing; a new one derives sourceDir, fileSize and dedFileName, and starts at band
// 1. Returns whether the name changed. An empty name changes nothing here.
bool sourceTakeFileName(SourceLayout& source, std::string_view name);

}  // namespace relievo

#endif  // RELIEVO_RASTER_SOURCE_LAYOUT_H
