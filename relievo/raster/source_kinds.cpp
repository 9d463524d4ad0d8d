#include "raster/source_kinds.h"

#include <array>
#include <cstdio>
#include <limits>

#include "raster/binary_reader.h"
#include "raster/delimiters.h"
#include "raster/geo_reader.h"

namespace relievo {

namespace {

constexpr char kReadingFile[] = "Reading File...";
constexpr char kErrorReadingFile[] = "Error reading file";
constexpr char kIncorrectFormat[] = "Incorrect Format";
constexpr char kInvalidSettings[] = "Invalid Settings for this File";

SourceCheck fits() {
  return {SourceFit::Fits, nullptr, {}};
}

// A grid of more values than an int counts cannot be read, however large the file.
bool tooManyValues(const SourceLayout& s) {
  return std::int64_t{s.width} * s.height > std::numeric_limits<std::int32_t>::max();
}

SourceCheck refuseTooLarge(const SourceLayout& s) {
  char text[160];
  std::snprintf(text, sizeof text,
                "A grid of %d x %d values is too large: at most %d values can be read.", s.width,
                s.height, std::numeric_limits<std::int32_t>::max());
  return {SourceFit::Refuse, kInvalidSettings, text};
}

SourceCheck checkText(const SourceLayout& s, FileKind detected, int*) {
  if (tooManyValues(s)) return refuseTooLarge(s);
  if (detected == FileKind::Text) return fits();
  return {SourceFit::Ask, kIncorrectFormat,
          "This file does not appear to be an ASCII text file.\n\nDo you want to try to read it "
          "anyway?"};
}

SourceCheck checkBinary(const SourceLayout& s, FileKind, int* valuesRead) {
  if (tooManyValues(s)) return refuseTooLarge(s);
  if (rasterCheckBinarySize(s.fileName, s.headerOffset, s.dataStride, s.width, s.height, s.byteType,
                            valuesRead)) {
    return fits();
  }
  return {SourceFit::Refuse, kInvalidSettings, binaryLayoutMessage(s)};
}

SourceCheck checkImage(const SourceLayout&, FileKind detected, int*) {
  if (detected == FileKind::Image) return fits();
  return {SourceFit::Refuse, kIncorrectFormat, "This file is not a valid Image file."};
}

RasterRec* openFile(const SourceRequest& request, int* valuesRead) {
  const SourceLayout& s = *request.source;
  return rasterOpenFile(s.fileName, s.headerOffset, s.dataStride, s.width, s.height, s.isSigned,
                        s.sourceKind, s.byteType, s.endianType, delimiterChar(s, s.delimiterType),
                        request.progress, request.progressContext, valuesRead,
                        s.undefined.hasNullData, static_cast<double>(s.undefined.nullValue));
}

RasterRec* openImage(const SourceRequest& request, int* valuesRead) {
  SourceLayout& s = *request.source;
  int width = 0;
  int height = 0;
  RasterRec* raster =
      rasterOpenImage(request.imageCache, s.fileName, s.imageComponent, &width, &height,
                      request.progress, request.progressContext, valuesRead);
  if (raster != nullptr) {
    s.width = width;
    s.height = height;
  }
  return raster;
}

// A geo raster's rows come north row first, row by row.
void takeGeoGrid(SourceLayout& s, int width, int height) {
  s.width = width;
  s.height = height;
  s.dataOrder = DataOrder::Rows;
  s.dataOrigin = DataOrigin::UpperLeft;
}

bool inspectGeo(SourceLayout& s, SourceFacts& facts, std::vector<std::string>& bandLabels) {
  int width = 0;
  int height = 0;
  std::string error;
  if (!geoReadFacts(s.fileName, s.band, facts, bandLabels, width, height, error)) return false;
  takeGeoGrid(s, width, height);
  return true;
}

RasterRec* openGeo(const SourceRequest& request, int*) {
  SourceLayout& s = *request.source;
  std::string error;
  RasterRec* raster = rasterOpenGeo(s.fileName, s.band, error);
  if (raster != nullptr) {
    takeGeoGrid(s, raster->width, raster->height);
  } else if (request.error != nullptr) {
    *request.error = error;
  }
  return raster;
}

RasterRec* openGenerated(const SourceRequest& request, int* valuesRead) {
  return request.generate != nullptr ? request.generate(request, valuesRead) : nullptr;
}

constexpr std::array kRows{
    SourceKindRow{.kind = SourceKind::Ascii,
                  .label = "ASCII File",
                  .needsFile = true,
                  .autoLoadLimit = kAutoLoadFile,
                  .progressText = kReadingFile,
                  .progressSteps = 2.0,
                  .check = checkText,
                  .open = openFile,
                  .failureText = kErrorReadingFile},
    SourceKindRow{.kind = SourceKind::Binary,
                  .label = "Binary File",
                  .needsFile = true,
                  .autoLoadLimit = kAutoLoadFile,
                  .progressText = kReadingFile,
                  .progressSteps = 2.0,
                  .check = checkBinary,
                  .open = openFile,
                  .failureText = kErrorReadingFile},
    SourceKindRow{.kind = SourceKind::Image,
                  .label = "Image File",
                  .needsFile = true,
                  .sizeFromFile = true,
                  .autoLoadLimit = kAutoLoadImage,
                  .cachedLoadsByItself = true,
                  .progressText = "Reading Image...",
                  .progressSteps = 1.0,
                  .check = checkImage,
                  .open = openImage,
                  .failureText = kErrorReadingFile},
    SourceKindRow{.kind = SourceKind::Fractal,
                  .label = "Fractal Generator",
                  .autoLoadLimit = kAutoLoadFractal,
                  .progressText = "Generating Fractal Map...",
                  .progressSteps = 2.0,
                  .open = openGenerated,
                  .failureText = "Error creating fractal map"},
    SourceKindRow{.kind = SourceKind::Geo,
                  .label = "Geo Raster",
                  .needsFile = true,
                  .sizeFromFile = true,
                  .orientationFromFile = true,
                  .autoLoadLimit = kAutoLoadImage,
                  .progressText = kReadingFile,
                  .progressSteps = 2.0,
                  .open = openGeo,
                  .failureText = kErrorReadingFile,
                  .inspect = inspectGeo},
};

// What a kind that no row has gets: it loads nothing.
constexpr SourceKindRow kUnknownKind{.needsFile = true,
                                     .autoLoadLimit = kAutoLoadFile,
                                     .progressText = kReadingFile,
                                     .progressSteps = 2.0,
                                     .failureText = kErrorReadingFile};

}  // namespace

std::span<const SourceKindRow> sourceKindTable() {
  return kRows;
}

const SourceKindRow& sourceKindRow(SourceKind kind) {
  for (const SourceKindRow& row : kRows) {
    if (row.kind == kind) return row;
  }
  return kUnknownKind;
}

bool sourceLoadsByItself(const SourceKindRow& row, const SourceLayout& source,
                         const ImageCache* cache) {
  if (row.cachedLoadsByItself && rasterIsCachedImage(cache, source.fileName) != 0) return true;
  return std::int64_t{source.width} * source.height <= row.autoLoadLimit;
}

}  // namespace relievo
