#include "dialog/geo_panel.h"

#include "dialog/source_loader.h"

namespace relievo {

int geoPanelCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  SourceLayout& source = state->source;
  if (reason == SX_REASON_REFRESH) {
    sxSetVisible(control, source.sourceKind == SourceKind::Geo ? 1 : 0);
    if (id == kBandList) {
      const bool listed = source.band >= 1 && source.band <= state->facts.bandCount;
      sxSetEnabled(control, state->facts.bandCount > 0 ? 1 : 0);
      if (listed) sxListSelectItemAtPos(control, source.band);
    } else if (id == kPlacementText) {
      sxTextSetString(control, state->facts.placement);
    }
  } else if (reason == SX_REASON_ACTIVATE && id == kBandList) {
    int band = 0;
    if (sxListGetSelectedItemPos(control, &band) == 0 && band >= 1 && band != source.band) {
      source.band = band;
      autoLoad(state);
      sxRefreshDialog(state->ui.dialog);
    }
  }
  return 0;
}

}  // namespace relievo
