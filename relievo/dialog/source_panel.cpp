#include "dialog/source_panel.h"

#include <cstdio>
#include <string>

#include "dialog/preview_draw.h"
#include "dialog/source_loader.h"
#include "raster/detect.h"
#include "raster/source_kinds.h"

namespace relievo {

namespace {

constexpr char kNotApplicable[] = "N/A";
// Names are taken up to this length, so that they fit the record's path buffers.
constexpr std::size_t kNameMax = kPathSize - 2;

bool isFractal(const ToolState* state) {
  return state->source.sourceKind == SourceKind::Fractal;
}

void showInteger(SxGui control, int value) {
  sxTextSetInteger(control, value, "%d");
}

void refreshAll(ToolState* state) {
  sxRefreshDialog(state->ui.dialog);
}

// A whole number of at least 0 that differs from present, or nothing.
bool readLayoutNumber(SxGui control, int present, int* value) {
  return sxTextGetInteger(control, value) == 0 && *value >= 0 && *value != present;
}

void chooseFile(ToolState* state) {
  int count = 0;
  char** names = nullptr;
  const int result = sxPromptDialogFile(
      state->ui.dialog, SX_PROMPT_OPEN, &count, &names, "PromptFileFlags", 1, "PromptFilePattern",
      "Raster Files|*.*||Text Files|*.txt", "PromptFileTitle", "Open Raster Files or Text Files",
      "PromptFileDirectory", state->source.sourceDir, nullptr);
  if (result == 0 && count > 0 && names != nullptr && names[0] != nullptr) {
    const std::string name = std::string(names[0]).substr(0, kNameMax);
    sxFreeStringList(names);
    takeSourceFile(state, name);
  } else if (names != nullptr) {
    sxFreeStringList(names);
  }
}

void setSizeFor(ToolState* state, int id, int value) {
  if (isFractal(state)) {
    const int size = roundFractalSize(value);
    state->fractal.fractalSize = size;
    setDimensions(state, size, size);
    autoLoad(state);
  } else if (id == kWidthField) {
    setDimensions(state, value, state->source.height);
  } else {
    setDimensions(state, state->source.width, value);
  }
}

int offsetVisible(const ToolState* state) {
  const SourceKind kind = state->source.sourceKind;
  return kind == SourceKind::Ascii || kind == SourceKind::Binary ? 1 : 0;
}

void afterUndefinedChange(ToolState* state, bool changed) {
  if (changed && state->raster != nullptr) rescanDataRange(state);
  refreshAll(state);
}

}  // namespace

int readImageDimensions(std::string_view path, int* width, int* height) {
  if (rasterFileSize(path) < 1 || width == nullptr || height == nullptr) return 0;
  const std::string name(path);
  SxImageInfo info = nullptr;
  if (sxReadImageInfo(name.c_str(), &info) != 0) return 0;
  int w = 0;
  int h = 0;
  const bool read = sxGetTextureWidth(info, &w) == 1 && sxGetTextureHeight(info, &h) == 1;
  sxFreeImageInfo(info);
  if (!read) return 0;
  *width = w;
  *height = h;
  return 1;
}

void takeSourceFile(ToolState* state, std::string_view name) {
  SourceLayout& source = state->source;
  if (fileNameRule(state, name)) {
    // A kind that reads the file's own description keeps it: a geo raster reads images too.
    if (sourceKindRow(source.sourceKind).inspect != nullptr) {
      autoLoad(state);
    } else if (rasterDetectFileKind(name) == FileKind::Image) {
      source.sourceKind = SourceKind::Image;
      readImageDimensions(name, &source.width, &source.height);
      componentsOnOffer(source);
      autoLoad(state);
    }
  }
  refreshAll(state);
  redrawPreview(state);
}

bool fileNameRule(ToolState* state, std::string_view name) {
  if (!name.empty() && !sourceTakeFileName(state->source, name)) return false;
  discardRaster(state);
  return true;
}

int fileControlsCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_REFRESH) {
    if (id == kFileField)
      sxTextSetString(control, isFractal(state) ? kNotApplicable : state->source.fileName);
    sxSetEnabled(control, isFractal(state) ? 0 : 1);
  } else if (reason == SX_REASON_ACTIVATE) {
    if (id == kBrowseButton) {
      chooseFile(state);
      return 0;
    }
    char name[kPathSize] = {};
    if (sxTextGetString(control, name, kPathSize - 1) == 0) {
      takeSourceFile(state, std::string_view(name).substr(0, kNameMax));
    }
  }
  return 0;
}

int layoutFieldCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  SourceLayout& source = state->source;
  const bool fromFile = sourceKindRow(source.sourceKind).sizeFromFile;
  int* field = id == kWidthField    ? &source.width
               : id == kHeightField ? &source.height
               : id == kOffsetField ? &source.headerOffset
                                    : &source.dataStride;
  if (reason == SX_REASON_REFRESH) {
    showInteger(control, *field);
    sxSetEnabled(control, fromFile ? 0 : 1);
    if (id == kOffsetField) {
      sxSetVisible(control, offsetVisible(state));
    } else if (id == kStrideField) {
      sxSetVisible(control, source.sourceKind == SourceKind::Binary ? 1 : 0);
    }
    return 0;
  }
  if (reason != SX_REASON_ACTIVATE) return 0;
  int value = 0;
  if (!readLayoutNumber(control, *field, &value)) return 0;
  if (id == kWidthField || id == kHeightField) {
    setSizeFor(state, id, value);
  } else {
    *field = value;
    discardRaster(state);
  }
  redrawPreview(state);
  refreshAll(state);
  return 0;
}

int offsetLabelCallback(SxGui control, int, int reason, void* data, void*) {
  if (reason == SX_REASON_REFRESH)
    sxSetVisible(control, offsetVisible(static_cast<ToolState*>(data)));
  return 0;
}

namespace {

void showUndefined(const ToolState* state, SxGui control, int id) {
  const UndefinedData& undefined = state->source.undefined;
  const ElevationRanges& ranges = state->ranges;
  const bool editable = undefined.hasNullData == 1 && !isFractal(state);
  switch (id) {
    case kHasNullToggle:
      sxToggleButtonSetState(control, undefined.hasNullData);
      sxSetEnabled(control, isFractal(state) ? 0 : 1);
      break;
    case kNullValueField:
    case kReplaceValueField: {
      const int value = id == kNullValueField ? undefined.nullValue : ranges.replaceNullValue;
      if (undefined.hasNullData == 0) {
        sxTextSetString(control, kNotApplicable);
      } else {
        showInteger(control, value);
      }
      const bool custom = ranges.replaceNullKind == ReplaceNullKind::Custom;
      sxSetEnabled(control, editable && (id == kNullValueField || custom) ? 1 : 0);
      break;
    }
    case kReplaceKindMenu:
      sxOptionMenuSelectItemAtPos(control, static_cast<int>(ranges.replaceNullKind));
      sxSetEnabled(control, editable ? 1 : 0);
      break;
    default:
      break;
  }
}

void takeUndefined(ToolState* state, SxGui control, int id) {
  UndefinedData& undefined = state->source.undefined;
  ElevationRanges& ranges = state->ranges;
  int value = 0;
  switch (id) {
    case kHasNullToggle:
      undefined.hasNullData = sxToggleButtonGetState(control) != 0 ? 1 : 0;
      afterUndefinedChange(state, true);
      break;
    case kNullValueField:
      if (sxTextGetInteger(control, &value) == 0 && value != undefined.nullValue) {
        undefined.nullValue = value;
        afterUndefinedChange(state, true);
      }
      break;
    case kReplaceKindMenu:
      if (sxOptionMenuGetSelectedItemPos(control, &value) == 0 &&
          value != static_cast<int>(ranges.replaceNullKind)) {
        ranges.replaceNullKind = static_cast<ReplaceNullKind>(value);
        afterUndefinedChange(state, replaceValueRule(ranges, ranges.replaceNullValue));
      }
      break;
    case kReplaceValueField:
      if (sxTextGetInteger(control, &value) == 0) {
        afterUndefinedChange(state, replaceValueRule(ranges, value));
      }
      break;
    default:
      break;
  }
}

}  // namespace

int undefinedDataCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_REFRESH) {
    showUndefined(state, control, id);
  } else if (reason == SX_REASON_ACTIVATE) {
    takeUndefined(state, control, id);
  }
  return 0;
}

namespace {

void showSizeHint(const ToolState* state, SxGui control, int id, const LargestFit& fit) {
  const SourceLayout& source = state->source;
  sxSetVisible(control,
               state->raster == nullptr && source.sourceKind == SourceKind::Binary ? 1 : 0);
  char text[256];
  switch (id) {
    case kDataSizeHint: {
      const PluralEnding ending = pluralEnding(fit.dataSize);
      std::snprintf(text, sizeof text,
                    "The largest data size for these\ndimensions (%d x %d) is %d byte%c%c",
                    source.width, source.height, fit.dataSize, ending.first, ending.second);
      sxTextSetString(control, text);
      break;
    }
    case kDimensionHint:
      std::snprintf(text, sizeof text,
                    "The largest dimensions for this data\nsize (%d-byte elements) is %d x %d.",
                    rasterElementSize(source.byteType), fit.dimension, fit.dimension);
      sxTextSetString(control, text);
      break;
    case kSetDataSizeButton:
      sxSetEnabled(control, fit.dataSize > 0 && fit.suggestedByteType != source.byteType ? 1 : 0);
      break;
    case kSetDimensionButton:
      sxSetEnabled(control, fit.dimension > 0 && (source.width != fit.dimension ||
                                                  source.height != fit.dimension)
                                ? 1
                                : 0);
      break;
    default:
      break;
  }
}

}  // namespace

int sizeHintCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  const LargestFit fit = largestFitForFile(state->source);
  if (reason == SX_REASON_REFRESH) {
    showSizeHint(state, control, id, fit);
    return 0;
  }
  if (reason != SX_REASON_ACTIVATE) return 0;
  if (id == kSetDataSizeButton) {
    if (fit.suggestedByteType != state->source.byteType) {
      discardRaster(state);
      state->source.byteType = fit.suggestedByteType;
    }
    refreshAll(state);
  } else if (id == kSetDimensionButton) {
    setDimensions(state, fit.dimension, fit.dimension);
    refreshAll(state);
  }
  return 0;
}

}  // namespace relievo
