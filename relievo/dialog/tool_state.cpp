#include "dialog/tool_state.h"

#include <type_traits>

#include "ded/units.h"
#include "raster/delimiters.h"

namespace relievo {

// The record lives in host memory and relies on zero-filled blocks, so it must stay an
// implicit-lifetime plain record.
static_assert(std::is_trivially_copyable_v<ToolState> && std::is_standard_layout_v<ToolState>);

ToolState* toolStateAllocate(SxTool tool, SxResource resource) {
  auto* state = static_cast<ToolState*>(sxMalloc(sizeof(ToolState)));
  if (state == nullptr) return nullptr;
  state->pluginTool = tool;
  state->resource = resource;
  state->preview.topColor = kDefaultTopColor;
  state->preview.bottomColor = kDefaultBottomColor;
  state->source.imageComponent = ImageComponent::Intensity;
  state->source.componentMask = componentBit(ImageComponent::Intensity);
  state->source.otherDelimiter = kDefaultOtherDelimiter;
  state->source.band = 1;
  state->ranges.otherUnitsScale = kDefaultOtherUnitsScale;
  return state;
}

void toolStateFree(ToolState* state) {
  if (state == nullptr) return;
  discardRaster(state);
  previewBuffersFree(state->preview);
  releaseCaches(state);
  sxFree(state);
}

void discardRaster(ToolState* state) {
  if (state->raster == nullptr) return;
  rasterFree(state->raster);
  previewBuffersFree(state->preview);
  state->raster = nullptr;
}

void releaseCaches(ToolState* state) {
  fractalFreeCache(&state->fractal.cache);
  rasterFreeImageCache(&state->imageCache);
}

void setDimensions(ToolState* state, int w, int h) {
  const ImageBuf& samples = state->preview.previewSamples;
  SourceLayout& source = state->source;
  const bool changed = w > samples.sourceWidth || h > samples.sourceHeight || w != source.width ||
                       h != source.height;
  source.width = w;
  source.height = h;
  if (changed) discardRaster(state);
}

}  // namespace relievo
