// The controls of the geo raster source in "Source Data Parameters": the band list (a list,
// refilled whenever the file's bands are read; the host has no call that empties an option
// menu) and the text saying how the raster is placed on the globe.
#ifndef RELIEVO_DIALOG_GEO_PANEL_H
#define RELIEVO_DIALOG_GEO_PANEL_H

#include "sxapilib.h"

namespace relievo {

enum GeoPanelControl : int {
  kBandLabel = 1114,
  kBandList = 1115,
  kPlacementLabel = 1116,
  kPlacementText = 1117,
};

// 1114, 1115, 1116 and 1117: shown for a geo raster only. The list selects the band; a new
// band loads as a new file does.
int geoPanelCallback(SxGui control, int id, int reason, void* state, void* callData);

}  // namespace relievo

#endif  // RELIEVO_DIALOG_GEO_PANEL_H
