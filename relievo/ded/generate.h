// The "Generate DED" command: asks for the output file, converts every source value into a
// 16-bit post in memory (in DED order: columns west to east, each south to north), writes
// the file, reports the outcome in a message box and the status line, and offers to delete
// stale terrain preference files beside the new file.
#ifndef RELIEVO_DED_GENERATE_H
#define RELIEVO_DED_GENERATE_H

#include <string_view>

#include "plugin/tool_state.h"

namespace relievo {

inline constexpr int kGenerateButton = 1044;

// Callback of control 1044: enabled exactly while a source is loaded; runs generateDed.
int generateButtonCallback(SxGui control, int id, int reason, void* state, void* callData);
// The command. 0 when the user cancels the file prompt, else 1 (whatever the outcome).
int generateDed(ToolState* state);
// The output prompt; refuses the source file itself and asks again. 1 with the chosen path
// in buffer (at most maximum characters and a terminator), 0 when the user cancels.
int chooseOutputFile(ToolState* state, char* buffer, int maximum);
// RowCallback of the conversion: posts of one source row into the post buffer; always 1.
int convertRow(const double* values, int count, int row, void* context);
// After a successful write: for "<path>.prefs" and "<path without extension>.prefs", when
// the file exists, asks whether to remove it and removes it on yes.
void offerPrefsRemoval(SxDialog dialog, std::string_view path);

}  // namespace relievo

#endif  // RELIEVO_DED_GENERATE_H
