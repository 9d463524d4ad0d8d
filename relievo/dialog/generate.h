// The "Generate DED" command: asks for the output file, has the core convert the loaded
// source and write it through the DED file writer (ded/export.h), reports the outcome in a
// message box and the status line, and offers to delete stale terrain preference files
// beside the new file.
#ifndef RELIEVO_DIALOG_GENERATE_H
#define RELIEVO_DIALOG_GENERATE_H

#include <string_view>

#include "ded/post_writer.h"
#include "dialog/tool_state.h"

namespace relievo {

inline constexpr int kGenerateButton = 1044;

// Callback of control 1044: enabled exactly while a source is loaded; runs generateDed.
int generateButtonCallback(SxGui control, int id, int reason, void* state, void* callData);
// The command, writing a DED file. 0 when the user cancels the file prompt, else 1
// (whatever the outcome).
int generateDed(ToolState* state);
// The command with another writer.
int generateWith(ToolState* state, PostWriter& writer);
// The output prompt; refuses the source file itself and asks again. 1 with the chosen path
// in buffer (at most maximum characters and a terminator), 0 when the user cancels.
int chooseOutputFile(ToolState* state, char* buffer, int maximum);
// After a successful write: for "<path>.prefs" and "<path without extension>.prefs", when
// the file exists, asks whether to remove it and removes it on yes.
void offerPrefsRemoval(SxDialog dialog, std::string_view path);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_GENERATE_H
