// RasterRec: one opened elevation source, read row by row.
//
// A record is a grid of `height` rows of `width` values. Where the values come from is
// hidden behind function pointers kept in the record: open a pass, read the next row as
// doubles, close the pass, and, for variants that have it, random access to runs of values in
// their own type (readRunFn). Four variants fill them:
//   in-memory      `values` holds all width x height floats (text grids, images, fractals);
//   binary stream  raw binary grids, read from the file again on every pass;
//   ASCII stream   text grids re-parsed on every pass, only when memory for `values` failed;
//   geo stream     a band of any raster GDAL reads, through the reader the record keeps
//                  open for its whole life (geo_reader.h).
// Callers never read rows directly: the core's passes read blocks of rows through
// row_reader.h, and rasterForEachRow delivers rows to a RowCallback one by one.
// No orientation is applied here: rows arrive in source order, first row first.
//
// Records come from sxMalloc and go back with rasterFree. Every operation first applies the
// validity test (rasterIsValid) and refuses an invalid record with 0.
#ifndef RELIEVO_RASTER_RASTER_H
#define RELIEVO_RASTER_RASTER_H

#include <cstdint>
#include <string_view>

namespace relievo {

// The five kinds of source; also the positions of the "Source:" menu and the value of the
// "DataType" preference.
enum class SourceKind : std::int32_t { Ascii = 1, Binary = 2, Image = 3, Fractal = 4, Geo = 5 };

// Element type of a binary source ("ByteType" preference). Values outside 0 ... 4 can come
// from stored preferences; they have element size 0 and every reader refuses them.
enum class ByteType : std::int32_t { Int8 = 0, Int16 = 1, Int32 = 2, Float32 = 3, Float64 = 4 };

enum class Endian : std::int32_t { Little = 0, Big = 1 };

inline constexpr std::uint32_t kRasterMagic = 0x52535452;
// Paths and names are NUL-terminated texts in buffers of this size.
inline constexpr int kPathSize = 1024;

// Start values of a range search: any real value replaces them.
inline constexpr double kRangeStartMin = 20000000.0;
inline constexpr double kRangeStartMax = -20000000.0;

struct RasterRec;

// Called for each delivered row; `values` is valid only during the call. Returns nonzero to
// go on, 0 to stop the iteration.
using RowCallback = int (*)(const double* values, int count, int row, void* context);

// Called by readers while they read a source as (0, values read so far, context); returns
// nonzero to go on, 0 to abandon the reading. The first argument is always 0.
using ProgressCallback = int (*)(int unused, int valuesRead, void* context);

// How a pass of the core over a loaded source (range scan, preview samples, conversion)
// reports its progress: `advance` (may be null) receives the work done since its last call,
// in the unit the pass names; whoever shows progress turns that into its display.
struct Progress {
  void (*advance)(double amount, void* context);
  void* context;

  void step(double amount) const {
    if (advance != nullptr) advance(amount, context);
  }
};

// The variant's functions. openFn stores a stream handle (possibly null) and returns 1, or 0
// when the pass cannot start. readRowFn stores the next `count` values of the pass and
// returns 1, or 0 when they cannot be had. closeFn ends the pass and returns 1.
using RasterOpenFn = int (*)(RasterRec* raster, void** stream);
using RasterReadRowFn = int (*)(RasterRec* raster, void* stream, int row, double* out, int rows,
                                int count);
using RasterCloseFn = int (*)(RasterRec* raster, void* stream);

struct ValueRun;
// Random access of a variant, for the core's passes (row_reader.h), which call it from several
// threads at once within one pass (between openFn and closeFn, with the pass's stream). Stores
// in *run where values first ... first + count - 1 of the source are, in file order, as values
// of their own type in the machine's byte order (value_run.h), reading them into `room`
// (runRoomFn(count) bytes) when they are not in memory; returns how many it stored, fewer than
// count when the source ends first, 0 when none can be had.
using RasterReadRunFn = std::int64_t (*)(const RasterRec* raster, void* stream, std::int64_t first,
                                         std::int64_t count, void* room, ValueRun* run);
using RasterRunRoomFn = std::size_t (*)(const RasterRec* raster, std::int64_t count);

struct RasterRec {
  RasterRec* self;            // the record's own address while valid
  std::uint32_t magic;        // kRasterMagic while valid, 0 once freed
  char path[kPathSize];       // source file; empty for the fractal source
  std::int32_t fileSize;      // informational
  std::int32_t headerOffset;  // bytes before the first value (binary and ASCII)
  std::int32_t dataStride;    // bytes skipped after every binary value
  std::int32_t height;        // rows
  std::int32_t width;         // values per row
  Endian endianType;
  std::int32_t isSigned;  // binary integers are two's complement
  ByteType byteType;
  SourceKind sourceKind;
  char delimiter;   // kept for the record; no reader uses it
  double minValue;  // data range, meaningful when minMaxKnown is 1
  double maxValue;
  std::int32_t minMaxKnown;
  float* values;           // width x height floats, row-major; null for streamed sources
  std::int32_t imageType;  // SxImageKind of an image source; informational
  RasterOpenFn openFn;
  RasterCloseFn closeFn;
  RasterReadRowFn readRowFn;
  RasterReadRunFn readRunFn;  // null: the variant reads rows in order only
  RasterRunRoomFn runRoomFn;
  void* reader;                         // what a geo stream reads through; owned
  void (*releaseReader)(void* reader);  // frees reader; null when there is none
  // The reader's last failure, naming the file and the reason; null when there is no reader.
  const char* (*readerError)(const void* reader);
};

// True when raster is not null, self points to it and magic is kRasterMagic.
bool rasterIsValid(const RasterRec* raster);

// Allocates a zero-filled, valid record (self, magic, path set) or returns null when the
// path does not fit kPathSize or memory is refused. The caller fills the rest and chooses
// a variant with rasterUseMemoryVariant or the stream variants of rasterOpenFile.
RasterRec* rasterAllocate(std::string_view path);

// Installs the in-memory function table; `values` must hold width x height floats.
void rasterUseMemoryVariant(RasterRec* raster);

// Opens a text (SourceKind::Ascii) or binary (SourceKind::Binary) file source. A text source
// is parsed once into memory with its data range; a binary one is checked against its layout
// and streamed. `valuesRead` (may be null) receives the binary available count, or the
// number of values the text pass read (all of them on success), or 0 when the arguments are
// refused before any reading (a kind other than text or binary, a path that does not fit
// kPathSize, a negative header offset, width or height not positive, width x height beyond
// INT32_MAX). Returns null on failure.
RasterRec* rasterOpenFile(std::string_view path, int headerOffset, int dataStride, int width,
                          int height, int isSigned, SourceKind sourceKind, ByteType byteType,
                          Endian endianType, char delimiter, ProgressCallback progress,
                          void* progressContext, int* valuesRead, int hasNullData,
                          double nullValue);

// Reads `rows` rows of `count` values from the start of the source. 1 when every row was
// delivered and the last callback returned nonzero (1 for rows == 0); 0 otherwise,
// including rows > height, count > width or either negative (checked before any read).
int rasterForEachRow(RasterRec* raster, int count, int rows, RowCallback callback, void* context);
// rasterForEachRow over the whole record.
int rasterForEachRowAll(RasterRec* raster, RowCallback callback, void* context);
// The range cache: rasterGetMinMax returns 1 with the stored range when it is known.
int rasterGetMinMax(const RasterRec* raster, double* minValue, double* maxValue);
int rasterSetMinMax(RasterRec* raster, double minValue, double maxValue);
int rasterClearMinMax(RasterRec* raster);

// Why the record's reader last failed to read, naming the file; "" when it has not failed, when
// it has no reader, or for an invalid record.
const char* rasterReadError(const RasterRec* raster);

// Invalidates and releases a valid record, its values and its reader; an invalid one is left
// alone.
void rasterFree(RasterRec* raster);

// Size of the file in bytes, 0 when it cannot be examined (missing file, directory, error).
// Sizes beyond what 32 bits hold saturate at INT32_MAX.
std::int32_t rasterFileSize(std::string_view path);

// Bytes of one binary element; 0 for an unknown byteType.
int rasterElementSize(ByteType byteType);

}  // namespace relievo

#endif  // RELIEVO_RASTER_RASTER_H
