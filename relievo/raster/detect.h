// Source detection and size validation: tells image, text and binary files apart by their
// content, and works out, for a binary file too small for its layout, which element size or
// which square dimensions would fit.
#ifndef RELIEVO_RASTER_DETECT_H
#define RELIEVO_RASTER_DETECT_H

#include <string>
#include <string_view>

#include "raster/source_layout.h"

namespace relievo {

// Not SourceKind values: text is 2 here and 1 there, binary 1 here and 2 there.
enum class FileKind : int { None = 0, Binary = 1, Text = 2, Image = 3 };

// Bytes examined at the start of a file to tell text from binary.
inline constexpr int kDetectBytes = 2000;

// None for a missing, empty or unreadable file; Image when the host reads it as an image of
// a supported kind; otherwise Binary when one of the first 2000 bytes is 0x80 or above, Text
// when none is (control characters, NUL included, do not make a file binary).
FileKind rasterDetectFileKind(std::string_view path);

struct LargestFit {
  int dataSize;                // largest whole bytes per value for the present width and height
  int dimension;               // side of the largest square grid of the present element size
  ByteType suggestedByteType;  // the element type matching dataSize
};

// From fileSize, headerOffset, width, height and byteType of the layout. Without a finite
// size per value (width or height 0) dataSize is 0; with an unknown byteType dimension is 0.
LargestFit largestFitForFile(const SourceLayout& source);
// 1 or less: Int8; 2 or 3: Int16; 4 to 7: Int32; 8 or more: Float64 (Float32 never).
ByteType byteTypeForSize(int bytesPerValue);
// The text of the "Invalid Settings for this File" message for a binary layout.
std::string binaryLayoutMessage(const SourceLayout& source);
// "byte." + ' ' for a size of 1, "bytes." otherwise: the two characters after "byte".
struct PluralEnding {
  char first;
  char second;
};
PluralEnding pluralEnding(int size);

}  // namespace relievo

#endif  // RELIEVO_RASTER_DETECT_H
