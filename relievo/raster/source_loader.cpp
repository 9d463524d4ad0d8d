#include "raster/source_loader.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "ded/mapping.h"
#include "dialog/progress.h"
#include "fractal/fractal_source.h"
#include "plugin/delimiters.h"
#include "plugin/spacing.h"
#include "preview/preview_image.h"
#include "raster/binary_reader.h"
#include "raster/data_scan.h"
#include "raster/detect.h"
#include "raster/image_reader.h"

namespace relievo {

namespace {

std::int64_t valueCount(const ToolState* state) {
  return std::int64_t{state->width} * state->height;
}

bool mayLoadByItself(const ToolState* state) {
  const std::int64_t n = valueCount(state);
  switch (state->sourceKind) {
    case SourceKind::Fractal:
      return n <= kAutoLoadFractal;
    case SourceKind::Image:
      return rasterIsCachedImage(state->fileName) != 0 || n <= kAutoLoadImage;
    default:
      return n <= kAutoLoadFile;
  }
}

// The checks that come before any reading; false when the load must not go on.
bool fileFitsKind(ToolState* state, FileKind detected, int* valuesRead) {
  switch (state->sourceKind) {
    case SourceKind::Ascii:
      return detected == FileKind::Text ||
             sxMessageDialog(state->dialog, "Incorrect Format",
                             "This file does not appear to be an ASCII text file.\n\nDo you want "
                             "to try to read it anyway?",
                             SX_MESSAGE_YES_NO) == SX_ANSWER_YES;
    case SourceKind::Binary:
      if (rasterCheckBinarySize(state->fileName, state->headerOffset, state->dataStride,
                                state->width, state->height, state->byteType, valuesRead)) {
        return true;
      }
      sxMessageDialog(state->dialog, "Invalid Settings for this File",
                      binaryLayoutMessage(state).c_str(), SX_MESSAGE_ERROR);
      return false;
    case SourceKind::Image:
      if (detected == FileKind::Image) return true;
      sxMessageDialog(state->dialog, "Incorrect Format", "This file is not a valid Image file.",
                      SX_MESSAGE_ERROR);
      return false;
    default:
      return true;
  }
}

void beginProgress(ToolState* state) {
  switch (state->sourceKind) {
    case SourceKind::Fractal:
      progressBegin(state, "Generating Fractal Map...", state->height * 2.0);
      break;
    case SourceKind::Image:
      progressBegin(state, "Reading Image...", state->height);
      break;
    default:
      progressBegin(state, "Reading File...", state->height * 2.0);
      break;
  }
}

RasterRec* openSource(ToolState* state, int* valuesRead) {
  switch (state->sourceKind) {
    case SourceKind::Ascii:
    case SourceKind::Binary:
      return rasterOpenFile(state->fileName, state->headerOffset, state->dataStride, state->width,
                            state->height, state->isSigned, state->sourceKind, state->byteType,
                            state->endianType, delimiterChar(state->delimiterType), loaderProgress,
                            state, valuesRead, state->hasNullData,
                            static_cast<double>(state->nullValue));
    case SourceKind::Fractal: {
      int size = std::min(state->width, state->height);
      if (state->sliderDragging != 0) size = std::min(size, kDragFractalSize);
      // A negative stored size becomes one far beyond any map, which the source refuses
      // after counting its values like any other size it cannot generate.
      return rasterOpenFractal(
          static_cast<std::uint32_t>(size), state->fractalSeed,
          static_cast<float>(state->fractalValleys), static_cast<float>(state->fractalPlateaus),
          static_cast<float>(state->fractalWaterLevel), static_cast<float>(state->fractalNoise),
          state->fractalWater, loaderProgress, state, valuesRead);
    }
    case SourceKind::Image: {
      int width = 0;
      int height = 0;
      RasterRec* raster = rasterOpenImage(state->fileName, state->imageComponent, &width, &height,
                                          loaderProgress, state, valuesRead);
      if (raster != nullptr) {
        state->width = width;
        state->height = height;
      }
      return raster;
    }
  }
  return nullptr;
}

}  // namespace

void autoLoad(ToolState* state) {
  discardRaster(state);
  if (mayLoadByItself(state)) {
    loadAction(state);
  } else {
    redrawPreview(state);
  }
}

void loadAction(ToolState* state) {
  // Through the progress display, so that a slider drag leaves the status line still.
  progressUpdate(state, -1, "");
  if (loadSource(state)) {
    spacingRule(state);
    redrawPreview(state);
  }
}

int loadSource(ToolState* state) {
  if (state->fileName[0] == '\0' && state->sourceKind != SourceKind::Fractal) return 0;
  const FileKind detected = rasterDetectFileKind(state->fileName);
  int valuesRead = 0;
  if (!fileFitsKind(state, detected, &valuesRead)) return 0;

  beginProgress(state);
  state->raster = openSource(state, &valuesRead);
  if (state->raster != nullptr) {
    scanDataRange(state);
    updateConvertedRange(state);
    previewBuildSamples(state);
    previewBuildImage(state);
    state->latPosts = static_cast<float>(state->height);
    state->longPosts = static_cast<float>(state->width);
    progressEnd(state, "Done");
    return 1;
  }

  // The total is counted in 64 bits: stored dimensions may be anything. Counts of values
  // read stop at the largest 32-bit number, so a larger total is compared as that number.
  const std::int64_t total = valueCount(state);
  const bool knownKind =
      state->sourceKind == SourceKind::Ascii || state->sourceKind == SourceKind::Binary ||
      state->sourceKind == SourceKind::Image || state->sourceKind == SourceKind::Fractal;
  char status[160];
  if (knownKind &&
      valuesRead < std::min<std::int64_t>(total, std::numeric_limits<std::int32_t>::max())) {
    std::snprintf(status, sizeof status, "Unexpected end of file, %d of %lld values read",
                  valuesRead, static_cast<long long>(total));
  } else {
    std::snprintf(status, sizeof status, "%s",
                  state->sourceKind == SourceKind::Fractal ? "Error creating fractal map"
                                                           : "Error reading file");
  }
  progressEnd(state, status);
  return 0;
}

int loaderProgress(int, int, void* state) {
  progressAdvance(static_cast<ToolState*>(state), 1.0);
  return 1;
}

}  // namespace relievo
