// Callbacks of the main dialog's source-kind menu, layout radios, delimiter, units menu,
// "Preview Data", image components, "Size:" text and "Close".
#include <cstdio>
#include <string>

#include "dialog/main_dialog.h"
#include "dialog/preview_draw.h"
#include "dialog/source_loader.h"
#include "raster/delimiters.h"
#include "raster/source_kinds.h"

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
  return sxFindGuiById(state->ui.dialog, id);
}
int flag(bool value) {
  return value ? 1 : 0;
}
bool isKind(const ToolState* state, SourceKind kind) {
  return state->source.sourceKind == kind;
}
void clearStatus(ToolState* state) {
  sxTextSetString(state->ui.statusText, "");
}

void setVisibleById(const ToolState* state, int id, bool visible) {
  if (SxGui control = find(state, id)) sxSetVisible(control, flag(visible));
}

// Discards what the change invalidates and shows the empty preview.
void layoutChanged(ToolState* state) {
  discardRaster(state);
  redrawPreview(state);
  sxRefreshDialog(state->ui.dialog);
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
  state->source.sourceKind = kind;
  switch (kind) {
    case SourceKind::Fractal: {
      const int size = roundFractalSize(state->fractal.fractalSize);
      setDimensions(state, size, size);
      state->ranges.dedMin = state->fractal.fractalMinimum;
      state->ranges.dedMax = state->fractal.fractalMaximum;
      autoLoad(state);
      break;
    }
    default:
      // A source whose file gives its size can load at once; the others wait for theirs.
      if (sourceKindRow(kind).sizeFromFile) {
        autoLoad(state);
      } else {
        discardRaster(state);
        redrawPreview(state);
      }
      break;
  }
  sxRefreshDialog(state->ui.dialog);
}

void takeOtherDelimiter(ToolState* state, SxGui control) {
  char text[kDelimiterTextMax + 1] = {};
  if (sxTextGetString(control, text, sizeof text) != 0) return;
  const char c = delimiterOfText(text);
  if (c >= kFirstNumericChar && c <= kLastNumericChar) {
    sxMessageDialog(state->ui.dialog, "Error",
                    "ACSII data delimiter must be a non-numeric character", SX_MESSAGE_ERROR);
    return;
  }
  setDelimiterCharacter(state->source, c);
  discardRaster(state);
  clearStatus(state);
  redrawPreview(state);
  sxRefreshDialog(state->ui.dialog);
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
    sxOptionMenuSelectItemAtPos(control, static_cast<int>(state->source.sourceKind));
  } else if (reason == SX_REASON_ACTIVATE) {
    int pos = 0;
    if (sxOptionMenuGetSelectedItemPos(control, &pos) != 0) pos = 2;
    const auto kind = static_cast<SourceKind>(pos);
    if (kind != state->source.sourceKind) takeSourceKind(state, kind);
    clearStatus(state);
  }
  return 0;
}

int orientationCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  const bool origin = id == kLowerLeftRadio || id == kUpperLeftRadio;
  const int value = id == kColsRadio || id == kUpperLeftRadio ? 1 : 0;
  SourceLayout& source = state->source;
  const int present =
      origin ? static_cast<int>(source.dataOrigin) : static_cast<int>(source.dataOrder);
  if (reason == SX_REASON_REFRESH) {
    sxToggleButtonSetState(control, flag(present == value));
    sxSetEnabled(control, flag(!sourceKindRow(source.sourceKind).orientationFromFile));
  } else if (reason == SX_REASON_ACTIVATE) {
    if (present != value) {
      if (origin) {
        source.dataOrigin = static_cast<DataOrigin>(value);
      } else {
        source.dataOrder = static_cast<DataOrder>(value);
        // The loaded source's records change their length unless it is square.
        if (state->raster != nullptr) {
          takePostCounts(state);
          spacingRule(state->extents);
        }
      }
      buildPicture(state);
      redrawPreview(state);
      sxRefreshDialog(state->ui.dialog);
    }
    clearStatus(state);
  }
  return 0;
}

int byteTypeCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  const ByteType value = byteTypeOf(id);
  if (reason == SX_REASON_REFRESH) {
    sxToggleButtonSetState(control, flag(state->source.byteType == value));
    sxSetVisible(control, flag(isKind(state, SourceKind::Binary)));
  } else if (reason == SX_REASON_ACTIVATE) {
    if (state->source.byteType != value) {
      state->source.byteType = value;
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
    sxToggleButtonSetState(control, flag(state->source.endianType == value));
    sxSetVisible(control, flag(isKind(state, SourceKind::Binary)));
    // One byte has no order.
    sxSetEnabled(control, flag(state->source.byteType != ByteType::Int8));
  } else if (reason == SX_REASON_ACTIVATE && state->source.endianType != value) {
    state->source.endianType = value;
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
    const bool picture = state->preview.previewImage.pixels != nullptr;
    sxToggleButtonSetState(control, state->source.isSigned);
    sxSetVisible(control, flag(binary));
    setVisibleById(state, kDataSizeGroup, binary);
    setVisibleById(state, kByteOrderGroup, binary);
    setVisibleById(state, kStrideLabel, binary);
    setVisibleById(state, kDelimiterLabel, ascii);
    setVisibleById(state, kEnterDelimiterLabel,
                   ascii && state->source.delimiterType == kDelimiterOther);
    setVisibleById(state, kPreviewGl, loaded);
    setVisibleById(state, kPreviewFrame, !loaded);
    setVisibleById(state, kColorRampGl, picture);
    setVisibleById(state, kColorsLabel, picture);
  } else if (reason == SX_REASON_ACTIVATE) {
    state->source.isSigned = flag(sxToggleButtonGetState(control) != 0);
    layoutChanged(state);
  }
  return 0;
}

int delimiterCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  SourceLayout& source = state->source;
  const bool ascii = isKind(state, SourceKind::Ascii);
  if (reason == SX_REASON_REFRESH) {
    const char c = delimiterChar(source, source.delimiterType);
    char text[8];
    switch (id) {
      case kDelimiterMenu:
        sxOptionMenuSelectItemAtPos(control, source.delimiterType);
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
    const bool other = id != kOtherDelimiterField || source.delimiterType == kDelimiterOther;
    sxSetVisible(control, flag(ascii && other));
    return 0;
  }
  if (reason != SX_REASON_ACTIVATE) return 0;
  if (id == kOtherDelimiterField) {
    takeOtherDelimiter(state, control);
  } else if (id == kDelimiterMenu) {
    int pos = 0;
    if (sxOptionMenuGetSelectedItemPos(control, &pos) == 0 && pos != source.delimiterType) {
      source.delimiterType = pos;
      discardRaster(state);
      clearStatus(state);
      redrawPreview(state);
      sxRefreshDialog(state->ui.dialog);
    }
  }
  return 0;
}

int unitsMenuCallback(SxGui control, int, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  if (reason == SX_REASON_REFRESH) {
    sxSetEnabled(control, flag(state->raster != nullptr));
    sxOptionMenuSelectItemAtPos(control, state->ranges.units);
  } else if (reason == SX_REASON_ACTIVATE) {
    int pos = 0;
    if (sxOptionMenuGetSelectedItemPos(control, &pos) == 0 && pos != state->ranges.units) {
      state->ranges.units = pos;
      convertRange(state);
      sxRefreshDialog(state->ui.dialog);
    }
  }
  return 0;
}

int previewDataCallback(SxGui control, int, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  if (reason == SX_REASON_REFRESH) {
    const bool something = isKind(state, SourceKind::Fractal) ||
                           (state->source.fileName[0] != '\0' && state->source.fileSize >= 1);
    sxSetVisible(control, flag(state->raster == nullptr && something));
  } else if (reason == SX_REASON_ACTIVATE) {
    loadAction(state);
    sxRefreshDialog(state->ui.dialog);
  }
  return 0;
}

int componentCallback(SxGui control, int id, int reason, void* data, void*) {
  ToolState* state = stateOf(data);
  SourceLayout& source = state->source;
  const bool image = isKind(state, SourceKind::Image);
  if (reason == SX_REASON_REFRESH) {
    sxSetVisible(control, flag(image));
    if (id == kComponentGroup) return 0;
    componentsOnOffer(source);
    const ImageComponent value = componentOf(id);
    sxSetEnabled(control, flag((source.componentMask & componentBit(value)) != 0));
    sxToggleButtonSetState(control, flag(source.imageComponent == value));
  } else if (reason == SX_REASON_ACTIVATE && id != kComponentGroup) {
    const ImageComponent value = componentOf(id);
    if (value != source.imageComponent) {
      source.imageComponent = value;
      autoLoad(state);
      sxRefreshDialog(state->ui.dialog);
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
    sxTextSetInteger(control, state->source.fileSize, "%d");
  }
  sxSetEnabled(control, flag(!fractal));
  return 0;
}

int closeButtonCallback(SxGui, int, int reason, void* data, void*) {
  if (reason == SX_REASON_ACTIVATE) sxHideDialog(stateOf(data)->ui.dialog);
  return 0;
}

}  // namespace relievo
