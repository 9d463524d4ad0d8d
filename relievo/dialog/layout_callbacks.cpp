// Callbacks of the main dialog's source-kind menu, layout radios, delimiter, units menu,
// "Preview Data", image components, "Size:" text and "Close".
#include <cstdio>
#include <string>

#include "ded/mapping.h"
#include "dialog/main_dialog.h"
#include "fractal/fractal_source.h"
#include "plugin/delimiters.h"
#include "preview/preview_draw.h"
#include "preview/preview_image.h"
#include "raster/image_reader.h"
#include "raster/source_loader.h"

namespace relievo {

namespace {

// The first and last characters a delimiter may not be: "-", ".", "/" and the digits would
// be read as part of the numbers.
constexpr char kFirstNumericChar = 45;
constexpr char kLastNumericChar = 57;
// The "Other" delimiter text is read up to this many characters.
constexpr int kDelimiterTextMax = 40;

ToolState* stateOf(void* data) {
  return static_cast<ToolState*>(data);
}
SxGui find(const ToolState* state, int id) {
  return sxFindGuiById(state->dialog, id);
}
int flag(bool value) {
  return value ? 1 : 0;
}
bool isKind(const ToolState* state, SourceKind kind) {
  return state->sourceKind == kind;
}
void clearStatus(ToolState* state) {
  sxTextSetString(state->statusText, "");
}

void setVisibleById(const ToolState* state, int id, bool visible) {
  if (SxGui control = find(state, id)) sxSetVisible(control, flag(visible));
}

// Discards what the change invalidates and shows the empty preview.
void layoutChanged(ToolState* state) {
  discardRaster(state);
  redrawPreview(state);
  sxRefreshDialog(state->dialog);
}

ByteType byteTypeOf(int id) {
  switch (id) {
    case kInt16Radio:
      return ByteType::Int16;
    case kInt32Radio:
      return ByteType::Int32;
    case kFloat32Radio:
      return ByteType::Float32;
    case kFloat64Radio:
      return ByteType::Float64;
    default:
      return ByteType::Int8;
  }
}

ImageComponent componentOf(int id) {
  switch (id) {
    case kRedRadio:
      return ImageComponent::Red;
    case kGreenRadio:
      return ImageComponent::Green;
    case kBlueRadio:
      return ImageComponent::Blue;
    case kAlphaRadio:
      return ImageComponent::Alpha;
    default:
      return ImageComponent::Intensity;
  }
}

void takeSourceKind(ToolState* state, SourceKind kind) {
  state->sourceKind = kind;
  switch (kind) {
    case SourceKind::Image:
      autoLoad(state);
      break;
    case SourceKind::Fractal: {
      const int size = roundFractalSize(state->fractalSize);
      setDimensions(state, size, size);
      state->dedMin = state->fractalMinimum;
      state->dedMax = state->fractalMaximum;
      autoLoad(state);
      break;
    }
    default:
      discardRaster(state);
      redrawPreview(state);
      break;
  }
  sxRefreshDialog(state->dialog);
}

void takeOtherDelimiter(ToolState* state, SxGui control) {
  char text[kDelimiterTextMax + 1] = {};
  if (sxTextGetString(control, text, sizeof text) != 0) return;
  const char c = delimiterOfText(text);
  if (c >= kFirstNumericChar && c <= kLastNumericChar) {
    sxMessageDialog(state->dialog, "Error", "ACSII data delimiter must be a non-numeric character",
                    SX_MESSAGE_ERROR);
    return;
  }
  setDelimiterCharacter(state, c);
  discardRaster(state);
  clearStatus(state);
  redrawPreview(state);
  sxRefreshDialog(state->dialog);
}

}  // namespace

char delimiterOfText(std::string_view text) {
  if (text.empty()) return ' ';
  const auto other = text.find_first_not_of(" \t");
  return other == std::string_view::npos ? text.front() : text[other];
}

int sourceKindCallback(SxGui control, int, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  if (reason == SX_REASON_REFRESH) {
    sxOptionMenuSelectItemAtPos(control, static_cast<int>(state->sourceKind));
  } else if (reason == SX_REASON_ACTIVATE) {
    int pos = 0;
    if (sxOptionMenuGetSelectedItemPos(control, &pos) != 0) pos = 2;
    const auto kind = static_cast<SourceKind>(pos);
    if (kind != state->sourceKind) takeSourceKind(state, kind);
    clearStatus(state);
  }
  return 0;
}

int orientationCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  const bool origin = id == kLowerLeftRadio || id == kUpperLeftRadio;
  const int value = id == kColsRadio || id == kUpperLeftRadio ? 1 : 0;
  const int present =
      origin ? static_cast<int>(state->dataOrigin) : static_cast<int>(state->dataOrder);
  if (reason == SX_REASON_REFRESH) {
    sxToggleButtonSetState(control, flag(present == value));
  } else if (reason == SX_REASON_ACTIVATE) {
    if (present != value) {
      if (origin) {
        state->dataOrigin = static_cast<DataOrigin>(value);
      } else {
        state->dataOrder = static_cast<DataOrder>(value);
      }
      previewBuildImage(state);
      redrawPreview(state);
      sxRefreshDialog(state->dialog);
    }
    clearStatus(state);
  }
  return 0;
}

int byteTypeCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  const ByteType value = byteTypeOf(id);
  if (reason == SX_REASON_REFRESH) {
    sxToggleButtonSetState(control, flag(state->byteType == value));
    sxSetVisible(control, flag(isKind(state, SourceKind::Binary)));
  } else if (reason == SX_REASON_ACTIVATE) {
    if (state->byteType != value) {
      state->byteType = value;
      layoutChanged(state);
    }
    clearStatus(state);
  }
  return 0;
}

int byteOrderCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  const Endian value = id == kBigEndianRadio ? Endian::Big : Endian::Little;
  if (reason == SX_REASON_REFRESH) {
    sxToggleButtonSetState(control, flag(state->endianType == value));
    sxSetVisible(control, flag(isKind(state, SourceKind::Binary)));
    // One byte has no order.
    sxSetEnabled(control, flag(state->byteType != ByteType::Int8));
  } else if (reason == SX_REASON_ACTIVATE && state->endianType != value) {
    state->endianType = value;
    layoutChanged(state);
  }
  return 0;
}

int signedCallback(SxGui control, int, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  if (reason == SX_REASON_REFRESH) {
    const bool binary = isKind(state, SourceKind::Binary);
    const bool ascii = isKind(state, SourceKind::Ascii);
    const bool loaded = state->raster != nullptr;
    sxToggleButtonSetState(control, state->isSigned);
    sxSetVisible(control, flag(binary));
    setVisibleById(state, kDataSizeGroup, binary);
    setVisibleById(state, kByteOrderGroup, binary);
    setVisibleById(state, kStrideLabel, binary);
    setVisibleById(state, kDelimiterLabel, ascii);
    setVisibleById(state, kEnterDelimiterLabel, ascii && state->delimiterType == kDelimiterOther);
    setVisibleById(state, kPreviewGl, loaded);
    setVisibleById(state, kPreviewFrame, !loaded);
    setVisibleById(state, kColorRampGl, state->previewImage.pixels != nullptr);
    setVisibleById(state, kColorsLabel, state->previewImage.pixels != nullptr);
  } else if (reason == SX_REASON_ACTIVATE) {
    state->isSigned = flag(sxToggleButtonGetState(control) != 0);
    layoutChanged(state);
  }
  return 0;
}

int delimiterCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  const bool ascii = isKind(state, SourceKind::Ascii);
  if (reason == SX_REASON_REFRESH) {
    const char c = delimiterChar(state->delimiterType);
    char text[8];
    switch (id) {
      case kDelimiterMenu:
        sxOptionMenuSelectItemAtPos(control, state->delimiterType);
        break;
      case kDelimiterShown:
        std::snprintf(text, sizeof text, "'%c'", c);
        sxTextSetString(control, text);
        break;
      case kOtherDelimiterField:
        std::snprintf(text, sizeof text, "%c", c);
        sxTextSetString(control, text);
        break;
      default:
        break;
    }
    const bool other = id != kOtherDelimiterField || state->delimiterType == kDelimiterOther;
    sxSetVisible(control, flag(ascii && other));
    return 0;
  }
  if (reason != SX_REASON_ACTIVATE) return 0;
  if (id == kOtherDelimiterField) {
    takeOtherDelimiter(state, control);
  } else if (id == kDelimiterMenu) {
    int pos = 0;
    if (sxOptionMenuGetSelectedItemPos(control, &pos) == 0 && pos != state->delimiterType) {
      state->delimiterType = pos;
      discardRaster(state);
      clearStatus(state);
      redrawPreview(state);
      sxRefreshDialog(state->dialog);
    }
  }
  return 0;
}

int unitsMenuCallback(SxGui control, int, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  if (reason == SX_REASON_REFRESH) {
    sxSetEnabled(control, flag(state->raster != nullptr));
    sxOptionMenuSelectItemAtPos(control, state->units);
  } else if (reason == SX_REASON_ACTIVATE) {
    int pos = 0;
    if (sxOptionMenuGetSelectedItemPos(control, &pos) == 0 && pos != state->units) {
      state->units = pos;
      updateConvertedRange(state);
      sxRefreshDialog(state->dialog);
    }
  }
  return 0;
}

int previewDataCallback(SxGui control, int, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  if (reason == SX_REASON_REFRESH) {
    const bool something =
        isKind(state, SourceKind::Fractal) || (state->fileName[0] != '\0' && state->fileSize >= 1);
    sxSetVisible(control, flag(state->raster == nullptr && something));
  } else if (reason == SX_REASON_ACTIVATE) {
    loadAction(state);
    sxRefreshDialog(state->dialog);
  }
  return 0;
}

int componentCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  const bool image = isKind(state, SourceKind::Image);
  if (reason == SX_REASON_REFRESH) {
    sxSetVisible(control, flag(image));
    if (id == kComponentGroup) return 0;
    componentsOnOffer(state);
    const ImageComponent value = componentOf(id);
    sxSetEnabled(control, flag((state->componentMask & componentBit(value)) != 0));
    sxToggleButtonSetState(control, flag(state->imageComponent == value));
  } else if (reason == SX_REASON_ACTIVATE && id != kComponentGroup) {
    const ImageComponent value = componentOf(id);
    if (value != state->imageComponent) {
      state->imageComponent = value;
      autoLoad(state);
      sxRefreshDialog(state->dialog);
    }
  }
  return 0;
}

int fileSizeCallback(SxGui control, int, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  if (reason != SX_REASON_REFRESH) return 0;
  const bool fractal = isKind(state, SourceKind::Fractal);
  if (fractal) {
    sxTextSetString(control, "N/A");
  } else {
    sxTextSetInteger(control, state->fileSize, "%d");
  }
  sxSetEnabled(control, flag(!fractal));
  return 0;
}

int closeButtonCallback(SxGui, int, int reason, void* data, void*) {
  if (reason == SX_REASON_ACTIVATE) sxHideDialog(stateOf(data)->dialog);
  return 0;
}

}  // namespace relievo
