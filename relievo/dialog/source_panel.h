// Callbacks of the controls that describe the source: the "File:" text and its "..." button,
// the layout numbers, the "Undefined Data" group, and the two size hints of a binary file
// with their "Set" buttons. Each answers the refresh reason by showing its value, visibility
// and enabled state from ToolState, and the activate reason by taking the user's entry.
#ifndef RELIEVO_DIALOG_SOURCE_PANEL_H
#define RELIEVO_DIALOG_SOURCE_PANEL_H

#include <string_view>

#include "dialog/tool_state.h"

namespace relievo {

enum SourcePanelControl : int {
  kFileField = 1014,
  kBrowseButton = 1015,
  kWidthField = 1033,
  kHeightField = 1034,
  kOffsetField = 1035,
  kStrideField = 1047,
  kOffsetLabel = 1095,
  kHasNullToggle = 1075,
  kNullValueField = 1076,
  kReplaceKindMenu = 1086,
  kReplaceValueField = 1085,
  kDataSizeHint = 1065,
  kDimensionHint = 1064,
  kSetDataSizeButton = 1066,
  kSetDimensionButton = 1067,
};

// 1014 and 1015.
int fileControlsCallback(SxGui control, int id, int reason, void* state, void* callData);
// 1033, 1034, 1035 and 1047.
int layoutFieldCallback(SxGui control, int id, int reason, void* state, void* callData);
// 1095, the "Data Offset:" label: shown with its field.
int offsetLabelCallback(SxGui control, int id, int reason, void* state, void* callData);
// 1075, 1076, 1086 and 1085.
int undefinedDataCallback(SxGui control, int id, int reason, void* state, void* callData);
// 1065, 1064, 1066 and 1067.
int sizeHintCallback(SxGui control, int id, int reason, void* state, void* callData);

// 1 with the image's width and height when the host can read the file's image information.
int readImageDimensions(std::string_view path, int* width, int* height);
// A chosen source file: the file name rule; an image switches the kind to "Image File" and
// takes the image's size; then the dialog is refreshed and the preview redrawn.
void takeSourceFile(ToolState* state, std::string_view name);
// The file name rule: an empty name only discards the raster (and reports a change); the
// present name changes nothing; a new one derives sourceDir, fileSize and dedFileName
// (sourceTakeFileName) and discards the raster. Returns whether anything changed.
bool fileNameRule(ToolState* state, std::string_view name);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_SOURCE_PANEL_H
