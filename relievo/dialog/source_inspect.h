// What the chosen source file states about itself, taken into the dialog before the source
// loads: its size and orientation into the layout (so that the automatic load decision sees
// them), its bands into the band list, and, once per file and band, its undefined-data value,
// unit and corners into the settings, so that the user's later edits of those settings stay.
#ifndef RELIEVO_DIALOG_SOURCE_INSPECT_H
#define RELIEVO_DIALOG_SOURCE_INSPECT_H

#include "dialog/tool_state.h"
#include "raster/source_kinds.h"

namespace relievo {

// Reads the facts of the layout's file through row.inspect (which must not be null) and takes
// them as above. False, with the facts and the band list emptied, when the file cannot be
// read as this kind; true without reading when no file is named.
bool inspectSource(ToolState* state, const SourceKindRow& row);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_SOURCE_INSPECT_H
