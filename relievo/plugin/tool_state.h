// ToolState: everything the converter knows between two host callbacks.
//
// Exactly one record exists per run of the host. It is allocated with sxMalloc (zero-filled:
// every field not set by toolStateCreate starts at 0, null or an empty string), created at
// the first tool start, handed to every dialog and control callback as user data, and
// released when the plug-in exits. All code runs on the host's user-interface thread, so
// the record has no lock. It is a plain record on purpose: the host's C callbacks carry it
// as a void pointer and its lifetime is the host's, not a C++ scope's.
#ifndef RELIEVO_PLUGIN_TOOL_STATE_H
#define RELIEVO_PLUGIN_TOOL_STATE_H

#include <cstdint>
#include <cstdio>

#include "raster/raster.h"
#include "sxapilib.h"

namespace relievo {

// Maps a value of [inMin, inMax] onto [outMin, outMax].
using MapFn = double (*)(double value, double inMin, double inMax, double outMin, double outMax);

enum class DataOrder : std::int32_t { Rows = 0, Cols = 1 };
enum class DataOrigin : std::int32_t { LowerLeft = 0, UpperLeft = 1 };
enum class ReplaceNullKind : std::int32_t { DedNull = 1, Custom = 2 };
enum class ImageComponent : std::int32_t { Intensity = 1, Red = 2, Green = 3, Blue = 4, Alpha = 5 };

// Bits of ToolState::componentMask, one per ImageComponent.
inline constexpr std::int32_t componentBit(ImageComponent c) {
  return 1 << (static_cast<std::int32_t>(c) - 1);
}

// The post written for undefined data under "DED NULL".
inline constexpr std::int32_t kDedNull = -32768;

// A growable preview buffer. It never shrinks; width and height follow every grow.
struct ImageBuf {
  std::int32_t width;
  std::int32_t height;
  std::int32_t sourceWidth;   // previewSamples only: ToolState width when the samples were made
  std::int32_t sourceHeight;  // likewise for height
  std::int32_t capacity;      // bytes held
  unsigned char* pixels;      // owned block from sxMalloc, or null
};

struct Rgb8 {
  std::uint8_t r, g, b;
};

struct ToolState {
  SxTool pluginTool;
  SxResource resource;
  SxDialog dialog;
  SxDialog scanDialog;
  SxGui statusText;
  SxGui progressBar;
  SxGui previewGl;
  SxGui colorRampGl;
  std::int32_t scanLineOffsets[41];
  std::int32_t scanHeaderOffset;
  std::int32_t scanWidth;
  std::int32_t scanHeight;
  double progressAccum;
  std::int32_t displayDms;
  char sourceDir[kPathSize];
  std::int32_t isSigned;
  std::int32_t invert;
  ImageBuf previewSamples;
  ImageBuf previewShade;
  ImageBuf previewImage;
  std::int32_t shaded;
  double dedMin;
  double dedMax;
  double dataMin;
  double dataMax;
  std::int32_t hasNullsFound;
  double dataMinMeters;
  double dataMaxMeters;
  RasterRec* raster;  // owned; replaced only after discardRaster
  float latStart;
  float latEnd;
  float longStart;
  float longEnd;
  float latSpacing;   // tenths of an arc-second
  float longSpacing;  // tenths of an arc-second
  float latPosts;
  float longPosts;
  std::FILE* outFile;
  std::uint16_t backgroundColor[3];  // 0 ... 255 each
  std::int32_t hasNullData;
  std::int32_t nullValue;
  std::int32_t replaceNullValue;
  ReplaceNullKind replaceNullKind;
  char fileName[kPathSize];
  char dedFileName[kPathSize];
  std::int32_t fileSize;
  std::int32_t dataStride;
  std::int32_t headerOffset;
  std::int32_t width;
  std::int32_t height;
  Endian endianType;
  ByteType byteType;
  SourceKind sourceKind;
  DataOrder dataOrder;
  DataOrigin dataOrigin;
  std::int32_t units;          // row 1 ... 8 of the units table
  std::int32_t delimiterType;  // row 1 ... 7 of the delimiter table
  MapFn dedMapFn;
  MapFn previewMapFn;
  Rgb8 topColor;
  Rgb8 bottomColor;
  ImageComponent imageComponent;
  std::int32_t componentMask;
  std::int32_t sliderDragging;
  std::uint32_t fractalSeed;
  double fractalNoise;
  double fractalWaterLevel;
  double fractalValleys;
  double fractalPlateaus;
  std::int32_t busyCursor;
  std::int32_t fractalWater;
  double fractalMinimum;
  double fractalMaximum;
  std::int32_t fractalSize;
};

inline constexpr Rgb8 kDefaultTopColor{0, 255, 0};
inline constexpr Rgb8 kDefaultBottomColor{0, 60, 0};

// Makes pixels hold w x h pixels of bytesPerPixel bytes: a larger need frees the old block
// and allocates a new one. width and height become w and h in every case. Returns 1 when
// the buffer has a block large enough, 0 when the size overflows or memory is refused (the
// buffer then holds no block).
int imageBufGrow(ImageBuf* buffer, int w, int h, int bytesPerPixel);
// Releases the block; zeroes pixels, width, height and capacity, keeps sourceWidth/Height.
void imageBufFree(ImageBuf* buffer);
// Frees previewSamples, previewShade and previewImage.
void previewBuffersFree(ToolState* state);

// The discard step: when a raster is loaded, free it and the three preview buffers and set
// raster to null; otherwise nothing happens. The only way raster becomes null again.
void discardRaster(ToolState* state);

// The module's one record. toolStateCreate allocates it on first use with the creation
// values (tool, resource, ramp colours, image component and mask) and returns the existing
// one afterwards; null when memory is refused.
ToolState* toolStateCreate(SxTool tool, SxResource resource);
// The record, or null before the first start and after release.
ToolState* toolStateCurrent();
// Discards the raster, frees the preview buffers and the record, clears the module pointer.
// Does nothing when no record exists.
void toolStateRelease();

}  // namespace relievo

#endif  // RELIEVO_PLUGIN_TOOL_STATE_H
