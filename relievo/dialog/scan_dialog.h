// The Scan File dialog (template 108): shows the first 40 lines of an ASCII source so that
// the user picks the line where the values start (the data offset), and detects or reads
// the column and row counts. OK hands the three values to the main dialog; Cancel drops
// them. The dialog is created at its first use and shown again afterwards.
#ifndef RELIEVO_DIALOG_SCAN_DIALOG_H
#define RELIEVO_DIALOG_SCAN_DIALOG_H

#include <cstdio>
#include <string_view>

#include "dialog/tool_state.h"

namespace relievo {

inline constexpr int kScanDialogTemplate = 108;
inline constexpr int kScanFileButton = 1009;
// Lines listed, and the characters of a line shown before "...".
inline constexpr int kScanLines = 40;
inline constexpr int kScanLineChars = 94;

enum ScanControl : int {
  kScanOk = 1,
  kScanCancel = 2,
  kScanGetColumns = 3,
  kScanGetRows = 4,
  kScanList = 1073,
  kScanOffsetField = 1035,
  kScanRowsField = 1036,
  kScanColumnsField = 1037,
};

// Main dialog control 1009: opens the dialog; shown only for ASCII sources.
int scanFileButtonCallback(SxGui control, int id, int reason, void* state, void* callData);
// The dialog's events: init wires the controls, show starts one use.
int scanDialogCallback(SxDialog dialog, int id, int event, void* state);
int scanListCallback(SxGui control, int id, int reason, void* state, void* callData);
int scanCountFieldCallback(SxGui control, int id, int reason, void* state, void* callData);
int scanGetButtonCallback(SxGui control, int id, int reason, void* state, void* callData);
int scanCloseCallback(SxGui control, int id, int reason, void* state, void* callData);

// Lists the first lines of fileName, notes where each starts, selects the line holding the
// data offset and detects counts from header lines.
void fillScanList(ToolState* state, SxGui list);
// Removes the line end of a listed line; a line without one (too long, or the last line of
// the file) gets "..." and the rest of it is skipped in the stream. line holds at least
// kScanLineChars + 4 bytes.
void trimListedLine(char* line, std::FILE* stream);
// A line naming "row"/"height" sets scanHeight, else one naming "col"/"width" sets
// scanWidth, to the first number in it.
void detectHeaderCounts(ScanFileState& scan, std::string_view line);
// Case-insensitive: does word (in small letters) occur in line?
bool lineContains(std::string_view line, std::string_view word);
// The first run of decimal digits in text, without a sign before it.
bool firstInteger(std::string_view text, int* out);
// firstInteger of the line of the source's file that starts at offset.
bool scanReadNumberAt(const SourceLayout& source, int offset, int* out);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_SCAN_DIALOG_H
