// The main dialog (template 100): the converter's whole user interface. buildMainDialog runs
// at the dialog's init event and wires every control; after that each user action arrives as
// the activate reason of a control callback, and each display update as the refresh reason,
// in which a control re-derives its value, visibility and enabled state from ToolState alone.
//
// This file declares the builder and the callbacks it owns: source kind, orientation,
// origin, element type, byte order, "Signed", delimiter, units menu, "Preview Data", image
// components, fractal controls, the "Size:" text and "Close". The other controls' callbacks
// have files of their own beside it (extents_fields, zscale_fields, preview_draw,
// source_panel, geo_panel, scan_dialog, generate).
#ifndef RELIEVO_DIALOG_MAIN_DIALOG_H
#define RELIEVO_DIALOG_MAIN_DIALOG_H

#include <string_view>

#include "dialog/tool_state.h"

namespace relievo {

inline constexpr int kMainDialogTemplate = 100;
inline constexpr char kHelpContext[] = "130022";

enum MainControl : int {
  kCloseButton = 1,
  kStatusLine = 5,
  kPreviewDataButton = 1007,
  kSignedToggle = 1008,
  kRowsRadio = 1018,
  kColsRadio = 1019,
  kOtherDelimiterField = 1020,
  kDelimiterMenu = 1021,
  kUnitsMenu = 1022,
  kInt8Radio = 1026,
  kFloat32Radio = 1027,
  kInt32Radio = 1028,
  kInt16Radio = 1029,
  kFloat64Radio = 1030,
  kLittleEndianRadio = 1031,
  kBigEndianRadio = 1032,
  kSaveAsciiButton = 1037,
  kFileSizeField = 1043,
  kDataSizeGroup = 1058,
  kByteOrderGroup = 1059,
  kDelimiterLabel = 1060,
  kEnterDelimiterLabel = 1061,
  kDelimiterShown = 1062,
  kPreviewFrame = 1063,
  kProgressBar = 1068,
  kStrideLabel = 1070,
  kColorsLabel = 1079,
  kLowerLeftRadio = 1083,
  kUpperLeftRadio = 1084,
  kSourceKindMenu = 1087,
  kRedRadio = 1089,
  kGreenRadio = 1090,
  kBlueRadio = 1091,
  kAlphaRadio = 1092,
  kIntensityRadio = 1093,
  kComponentGroup = 1094,
  kSeedDownButton = 1096,
  kSeedUpButton = 1097,
  kNoiseScale = 1098,
  kWaterLevelScale = 1099,
  kValleysScale = 1100,
  kPlateausScale = 1101,
  kNoiseLabel = 1102,
  kValleysLabel = 1104,
  kPlateausLabel = 1105,
  kSeedLabel = 1110,
  kWaterToggle = 1111,
  kLevelLabel = 1112,
};

// Looks up every control, attaches its callback, fills the option menus, sets the slider
// ranges and stores the handles the converter keeps (status line, progress bar, GL controls).
void buildMainDialog(ToolState* state);

int sourceKindCallback(SxGui control, int id, int reason, void* state, void* callData);
int orientationCallback(SxGui control, int id, int reason, void* state, void* callData);
int byteTypeCallback(SxGui control, int id, int reason, void* state, void* callData);
int byteOrderCallback(SxGui control, int id, int reason, void* state, void* callData);
// "Signed" also sets the visibility of the controls that have no callback of their own.
int signedCallback(SxGui control, int id, int reason, void* state, void* callData);
// Delimiter menu 1021, the shown delimiter 1062 and the "Other" character 1020.
int delimiterCallback(SxGui control, int id, int reason, void* state, void* callData);
int unitsMenuCallback(SxGui control, int id, int reason, void* state, void* callData);
int previewDataCallback(SxGui control, int id, int reason, void* state, void* callData);
// The five component radios and the "Component" group.
int componentCallback(SxGui control, int id, int reason, void* state, void* callData);
// Seed buttons and label, the four scales, "Water".
int fractalControlCallback(SxGui control, int id, int reason, void* state, void* callData);
int fileSizeCallback(SxGui control, int id, int reason, void* state, void* callData);
int closeButtonCallback(SxGui control, int id, int reason, void* state, void* callData);

// The delimiter character a typed text gives: a space for an empty text, otherwise its first
// character that is neither a space nor a tab, or its first one when it has no other.
char delimiterOfText(std::string_view text);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_MAIN_DIALOG_H
