#include "dialog/main_dialog.h"

#include <array>
#include <utility>

#include "ded/units.h"
#include "dialog/extents_fields.h"
#include "dialog/generate.h"
#include "dialog/geo_panel.h"
#include "dialog/preview_draw.h"
#include "dialog/scan_dialog.h"
#include "dialog/source_panel.h"
#include "dialog/zscale_fields.h"
#include "raster/delimiters.h"
#include "raster/source_kinds.h"

namespace relievo {

namespace {

struct Wiring {
  int id;
  int mask;
  SxGuiFn callback;
};

constexpr int kBoth = SX_MASK_ACTIVATE_REFRESH;
constexpr int kRefresh = SX_MASK_REFRESH;

// Every control that has a callback, with its mask. Labels and groups without an entry are
// always visible, or their visibility is set by another control's refresh.
constexpr std::array kWiring{
    Wiring{kSourceKindMenu, kBoth, sourceKindCallback},
    Wiring{kFileField, kBoth, fileControlsCallback},
    Wiring{kBrowseButton, kBoth, fileControlsCallback},
    Wiring{kFileSizeField, kBoth, fileSizeCallback},
    Wiring{kWidthField, kBoth, layoutFieldCallback},
    Wiring{kHeightField, kBoth, layoutFieldCallback},
    Wiring{kRowsRadio, kBoth, orientationCallback},
    Wiring{kColsRadio, kBoth, orientationCallback},
    Wiring{kLowerLeftRadio, kBoth, orientationCallback},
    Wiring{kUpperLeftRadio, kBoth, orientationCallback},
    Wiring{kUnitsMenu, kBoth, unitsMenuCallback},
    Wiring{kUnitsScaleField, kBoth, unitsScaleCallback},
    Wiring{kOffsetLabel, kRefresh, offsetLabelCallback},
    Wiring{kOffsetField, kBoth, layoutFieldCallback},
    Wiring{kStrideField, kBoth, layoutFieldCallback},
    Wiring{kInt8Radio, kBoth, byteTypeCallback},
    Wiring{kInt16Radio, kBoth, byteTypeCallback},
    Wiring{kInt32Radio, kBoth, byteTypeCallback},
    Wiring{kFloat32Radio, kBoth, byteTypeCallback},
    Wiring{kFloat64Radio, kBoth, byteTypeCallback},
    Wiring{kLittleEndianRadio, kBoth, byteOrderCallback},
    Wiring{kBigEndianRadio, kBoth, byteOrderCallback},
    Wiring{kSignedToggle, kBoth, signedCallback},
    Wiring{kScanFileButton, kBoth, scanFileButtonCallback},
    Wiring{kDelimiterShown, kRefresh, delimiterCallback},
    Wiring{kDelimiterMenu, kBoth, delimiterCallback},
    Wiring{kOtherDelimiterField, kBoth, delimiterCallback},
    Wiring{kComponentGroup, kRefresh, componentCallback},
    Wiring{kIntensityRadio, kBoth, componentCallback},
    Wiring{kRedRadio, kBoth, componentCallback},
    Wiring{kGreenRadio, kBoth, componentCallback},
    Wiring{kBlueRadio, kBoth, componentCallback},
    Wiring{kAlphaRadio, kBoth, componentCallback},
    Wiring{kBandLabel, kRefresh, geoPanelCallback},
    Wiring{kBandList, kBoth, geoPanelCallback},
    Wiring{kPlacementLabel, kRefresh, geoPanelCallback},
    Wiring{kPlacementText, kRefresh, geoPanelCallback},
    Wiring{kSeedLabel, kRefresh, fractalControlCallback},
    Wiring{kSeedDownButton, kBoth, fractalControlCallback},
    Wiring{kSeedUpButton, kBoth, fractalControlCallback},
    Wiring{kNoiseScale, kBoth, fractalControlCallback},
    Wiring{kValleysScale, kBoth, fractalControlCallback},
    Wiring{kPlateausScale, kBoth, fractalControlCallback},
    Wiring{kWaterToggle, kBoth, fractalControlCallback},
    Wiring{kWaterLevelScale, kBoth, fractalControlCallback},
    Wiring{kDataSizeHint, kRefresh, sizeHintCallback},
    Wiring{kDimensionHint, kRefresh, sizeHintCallback},
    Wiring{kSetDataSizeButton, kBoth, sizeHintCallback},
    Wiring{kSetDimensionButton, kBoth, sizeHintCallback},
    Wiring{kPreviewDataButton, kBoth, previewDataCallback},
    Wiring{kHasNullToggle, kBoth, undefinedDataCallback},
    Wiring{kNullValueField, kBoth, undefinedDataCallback},
    Wiring{kReplaceKindMenu, kBoth, undefinedDataCallback},
    Wiring{kReplaceValueField, kBoth, undefinedDataCallback},
    Wiring{kShadedToggle, kBoth, previewToggle},
    Wiring{kInvertToggle, kBoth, previewToggle},
    Wiring{kDefaultColorsButton, kBoth, rampDefault},
    Wiring{kRawDataLabel, kRefresh, rawDataLabelCallback},
    Wiring{kRawMinField, kRefresh, zScaleFieldCallback},
    Wiring{kRawMaxField, kRefresh, zScaleFieldCallback},
    Wiring{kMetersMinField, kRefresh, zScaleFieldCallback},
    Wiring{kMetersMaxField, kRefresh, zScaleFieldCallback},
    Wiring{kDedMinField, kBoth, zScaleFieldCallback},
    Wiring{kDedMaxField, kBoth, zScaleFieldCallback},
    Wiring{kRoundToggle, kBoth, roundToggleCallback},
    Wiring{kSwLatField, kBoth, extentsFieldCallback},
    Wiring{kSwLonField, kBoth, extentsFieldCallback},
    Wiring{kNeLatField, kBoth, extentsFieldCallback},
    Wiring{kNeLonField, kBoth, extentsFieldCallback},
    Wiring{kLatSpacingField, kBoth, extentsFieldCallback},
    Wiring{kLonSpacingField, kBoth, extentsFieldCallback},
    Wiring{kLatPostsField, kBoth, extentsFieldCallback},
    Wiring{kLonPostsField, kBoth, extentsFieldCallback},
    Wiring{kDmsToggle, kBoth, angleDisplayCallback},
    Wiring{kDecimalToggle, kBoth, angleDisplayCallback},
    Wiring{kGenerateButton, kBoth, generateButtonCallback},
    Wiring{kCloseButton, SX_MASK_ACTIVATE, closeButtonCallback},
};

constexpr const char* kReplaceKinds[] = {"DED NULL", "Custom"};

struct ScaleSetup {
  int id;
  double minimum;
  double maximum;
  double increment;
};

constexpr ScaleSetup kScales[] = {
    {kNoiseScale, 0.0, 1.0, 0.1},
    {kWaterLevelScale, 0.0, 1.0, 0.1},
    {kValleysScale, 0.0001, 0.5, 0.01},
    {kPlateausScale, 0.0001, 0.5, 0.01},
};

SxGui find(const ToolState* state, int id) {
  return sxFindGuiById(state->ui.dialog, id);
}

SxGui wireGl(ToolState* state, int id, SxGuiFn draw, SxGuiFn mouse) {
  SxGui control = find(state, id);
  if (control == nullptr) return nullptr;
  sxSetGuiCallback(control, SX_MASK_GL_DRAW, draw, state);
  sxGLSetMouseFunc(control, SX_MOUSE_EVENT, mouse, state);
  sxControlSetAttribute(control, SX_ATTRIBUTE_OPAQUE, 1);
  return control;
}

}  // namespace

void buildMainDialog(ToolState* state) {
  for (const Wiring& w : kWiring) {
    if (SxGui control = find(state, w.id)) sxSetGuiCallback(control, w.mask, w.callback, state);
  }
  if (SxGui menu = find(state, kSourceKindMenu)) {
    for (const SourceKindRow& row : sourceKindTable())
      sxOptionMenuAddItem(menu, row.label);
  }
  if (SxGui menu = find(state, kUnitsMenu)) {
    for (const UnitsRow& row : unitsTable())
      sxOptionMenuAddItem(menu, row.name);
    sxOptionMenuSelectItemAtPos(menu, 1);
  }
  if (SxGui menu = find(state, kDelimiterMenu)) {
    for (int type = 1; type <= kDelimiterCount; ++type) {
      sxOptionMenuAddItem(menu, delimiterLabel(type));
    }
    sxOptionMenuSelectItemAtPos(menu, 1);
  }
  if (SxGui menu = find(state, kReplaceKindMenu)) {
    for (const char* kind : kReplaceKinds)
      sxOptionMenuAddItem(menu, kind);
  }
  const std::pair<int, int> seedPixmaps[] = {{kSeedDownButton, 109}, {kSeedUpButton, 110}};
  for (const auto& [id, pixmapId] : seedPixmaps) {
    SxGui button = find(state, id);
    SxPixmap pixmap = sxResourceGetPixmap(state->resource, pixmapId);
    if (button != nullptr && pixmap != nullptr) sxSetPixmap(button, pixmap);
  }
  for (const ScaleSetup& scale : kScales) {
    if (SxGui control = find(state, scale.id)) {
      sxScaleSetMinMax(control, scale.minimum, scale.maximum);
      sxScaleSetSpinIncrement(control, scale.increment);
    }
  }
  state->ui.previewGl = wireGl(state, kPreviewGl, previewDraw, previewMouse);
  state->ui.colorRampGl = wireGl(state, kColorRampGl, rampDraw, rampMouse);
  // The dialog offers no ASCII export.
  if (SxGui button = find(state, kSaveAsciiButton)) sxSetVisible(button, 0);
  state->ui.statusText = find(state, kStatusLine);
  state->ui.progressBar = find(state, kProgressBar);
}

}  // namespace relievo
