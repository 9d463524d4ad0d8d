#include "plugin/tool_state.h"

#include <type_traits>

namespace relievo {

// The record lives in host memory and relies on zero-filled blocks, so it must stay an
// implicit-lifetime plain record.
static_assert(std::is_trivially_copyable_v<ToolState> && std::is_standard_layout_v<ToolState>);

namespace {
ToolState* current = nullptr;
}

int imageBufGrow(ImageBuf* buffer, int w, int h, int bytesPerPixel) {
  const std::int64_t need = std::int64_t{w} * h * bytesPerPixel;
  buffer->width = w;
  buffer->height = h;
  if (w < 0 || h < 0 || bytesPerPixel <= 0 || need > INT32_MAX) {
    sxFree(buffer->pixels);
    buffer->pixels = nullptr;
    buffer->capacity = 0;
    return 0;
  }
  if (need > buffer->capacity || buffer->pixels == nullptr) {
    sxFree(buffer->pixels);
    buffer->pixels = static_cast<unsigned char*>(sxMalloc(static_cast<size_t>(need)));
    buffer->capacity = buffer->pixels != nullptr ? static_cast<std::int32_t>(need) : 0;
  }
  return buffer->pixels != nullptr ? 1 : 0;
}

void imageBufFree(ImageBuf* buffer) {
  sxFree(buffer->pixels);
  buffer->pixels = nullptr;
  buffer->width = 0;
  buffer->height = 0;
  buffer->capacity = 0;
}

void previewBuffersFree(ToolState* state) {
  imageBufFree(&state->previewSamples);
  imageBufFree(&state->previewShade);
  imageBufFree(&state->previewImage);
}

void discardRaster(ToolState* state) {
  if (state->raster == nullptr) return;
  rasterFree(state->raster);
  previewBuffersFree(state);
  state->raster = nullptr;
}

ToolState* toolStateCreate(SxTool tool, SxResource resource) {
  if (current != nullptr) return current;
  auto* state = static_cast<ToolState*>(sxMalloc(sizeof(ToolState)));
  if (state == nullptr) return nullptr;
  state->pluginTool = tool;
  state->resource = resource;
  state->topColor = kDefaultTopColor;
  state->bottomColor = kDefaultBottomColor;
  state->imageComponent = ImageComponent::Intensity;
  state->componentMask = componentBit(ImageComponent::Intensity);
  current = state;
  return state;
}

ToolState* toolStateCurrent() {
  return current;
}

void toolStateRelease() {
  if (current == nullptr) return;
  discardRaster(current);
  previewBuffersFree(current);
  sxFree(current);
  current = nullptr;
}

}  // namespace relievo
