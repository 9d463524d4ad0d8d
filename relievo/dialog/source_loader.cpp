#include "dialog/source_loader.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

#include "ded/export.h"
#include "dialog/preview_draw.h"
#include "dialog/progress.h"
#include "dialog/source_inspect.h"
#include "raster/source_kinds.h"

namespace relievo {

namespace {

// The generator of the fractal row: the map is as large as the smaller side, and small while
// a slider is dragged.
RasterRec* openFractal(const SourceRequest& request, int* valuesRead) {
  auto* state = static_cast<ToolState*>(request.generatorContext);
  FractalParams& fractal = state->fractal;
  int size = std::min(request.source->width, request.source->height);
  if (state->ui.sliderDragging != 0) size = std::min(size, kDragFractalSize);
  // A negative stored size becomes one far beyond any map, which the source refuses after
  // counting its values like any other size it cannot generate.
  return rasterOpenFractal(
      &fractal.cache, static_cast<std::uint32_t>(size), fractal.fractalSeed,
      static_cast<float>(fractal.fractalValleys), static_cast<float>(fractal.fractalPlateaus),
      static_cast<float>(fractal.fractalWaterLevel), static_cast<float>(fractal.fractalNoise),
      fractal.fractalWater, request.progress, request.progressContext, valuesRead);
}

// The row's check of the file; false when the load must not go on.
bool fileFitsKind(ToolState* state, const SourceKindRow& row, int* valuesRead) {
  if (row.check == nullptr) return true;
  const FileKind detected = rasterDetectFileKind(state->source.fileName);
  const SourceCheck check = row.check(state->source, detected, valuesRead);
  switch (check.fit) {
    case SourceFit::Fits:
      return true;
    case SourceFit::Ask:
      return sxMessageDialog(state->ui.dialog, check.title, check.text.c_str(),
                             SX_MESSAGE_YES_NO) == SX_ANSWER_YES;
    case SourceFit::Refuse:
      sxMessageDialog(state->ui.dialog, check.title, check.text.c_str(), SX_MESSAGE_ERROR);
      return false;
  }
  return false;
}

// The status of a failed load: the reader's own reason when it gave one, else how many values
// were read when the row's reader ran short, else the row's own text.
void reportFailure(ToolState* state, const SourceKindRow& row, int valuesRead,
                   const std::string& reason) {
  if (!reason.empty()) {
    progressEnd(state, reason.c_str());
    return;
  }
  // The total is counted in 64 bits: stored dimensions may be anything. Counts of values
  // read stop at the largest 32-bit number, so a larger total is compared as that number.
  const std::int64_t total = std::int64_t{state->source.width} * state->source.height;
  char status[160];
  if (row.open != nullptr &&
      valuesRead < std::min<std::int64_t>(total, std::numeric_limits<std::int32_t>::max())) {
    std::snprintf(status, sizeof status, "Unexpected end of file, %d of %lld values read",
                  valuesRead, static_cast<long long>(total));
  } else {
    std::snprintf(status, sizeof status, "%s", row.failureText);
  }
  progressEnd(state, status);
}

}  // namespace

void autoLoad(ToolState* state) {
  discardRaster(state);
  const SourceKindRow& row = sourceKindRow(state->source.sourceKind);
  // A file that does not read as its kind loads at once, so that the load says why.
  const bool inspected = row.inspect == nullptr || inspectSource(state, row);
  if (!inspected || sourceLoadsByItself(row, state->source, state->imageCache)) {
    loadAction(state);
  } else {
    redrawPreview(state);
  }
}

void loadAction(ToolState* state) {
  // Through the progress display, so that a slider drag leaves the status line still.
  progressUpdate(state, -1, "");
  if (loadSource(state)) {
    spacingRule(state->extents);
    redrawPreview(state);
  }
}

int loadSource(ToolState* state) {
  SourceLayout& source = state->source;
  const SourceKindRow& row = sourceKindRow(source.sourceKind);
  if (source.fileName[0] == '\0' && row.needsFile) return 0;
  int valuesRead = 0;
  if (!fileFitsKind(state, row, &valuesRead)) return 0;

  progressBegin(state, row.progressText, source.height * row.progressSteps);
  std::string reason;
  const SourceRequest request{
      &source, &state->imageCache, readerProgress, state, openFractal, state, &reason};
  state->raster = row.open != nullptr ? row.open(request, &valuesRead) : nullptr;
  if (state->raster == nullptr) {
    reportFailure(state, row, valuesRead, reason);
    return 0;
  }
  scanDataRange(state->raster, source, state->ranges.data, progressSteps(state));
  // A reader that can say why a row could not be read makes the load fail with that reason.
  if (const std::string why = rasterReadError(state->raster); !why.empty()) {
    discardRaster(state);
    progressEnd(state, why.c_str());
    return 0;
  }
  convertRange(state);
  buildSamples(state);
  buildPicture(state);
  takePostCounts(state);
  progressEnd(state, "Done");
  return 1;
}

void takePostCounts(ToolState* state) {
  const DedArrangement file = dedArrangement(state->source);
  state->extents.latPosts = static_cast<float>(file.postsPerRecord);
  state->extents.longPosts = static_cast<float>(file.records);
}

void rescanDataRange(ToolState* state) {
  rasterClearMinMax(state->raster);
  progressBegin(state, "Scanning data for Min/Max values...", state->source.height * 2.0);
  scanDataRange(state->raster, state->source, state->ranges.data, progressSteps(state));
  buildSamples(state);
  buildPicture(state);
  redrawPreview(state);
  progressEnd(state, "Done");
}

void convertRange(ToolState* state) {
  if (updateConvertedRange(state->ranges, state->source.sourceKind, state->fractal)) {
    buildPicture(state);
    redrawPreview(state);
  }
}

void applyDedRange(ToolState* state, double minimum, double maximum) {
  if (setDedRange(state->ranges, minimum, maximum)) {
    buildPicture(state);
    redrawPreview(state);
  }
}

}  // namespace relievo
