#include "dialog/preview_draw.h"

#include "dialog/gl_calls.h"
#include "dialog/progress.h"

namespace relievo {

namespace {

// Every attribute group, so that a draw leaves the host's GL state as it found it.
constexpr GLbitfield kAllAttributes = 0xFFFFF;

const SxGLDrawData& viewOf(void* drawData) {
  return *static_cast<SxGLDrawData*>(drawData);
}

bool isPressEvent(int event, const void* mouseData) {
  return event == SX_MOUSE_EVENT && mouseData != nullptr &&
         static_cast<const SxMouseData*>(mouseData)->action == SX_MOUSE_PRESS;
}

bool isDefaultRamp(const PreviewBuffers& preview) {
  const Rgb8& b = preview.bottomColor;
  const Rgb8& t = preview.topColor;
  return b.r == kDefaultBottomColor.r && b.g == kDefaultBottomColor.g &&
         b.b == kDefaultBottomColor.b && t.r == kDefaultTopColor.r && t.g == kDefaultTopColor.g &&
         t.b == kDefaultTopColor.b;
}

}  // namespace

int previewDraw(SxGui, int, int, void* data, void* drawData) {
  const auto* state = static_cast<ToolState*>(data);
  const PreviewBuffers& preview = state->preview;
  const SxGLDrawData& view = viewOf(drawData);
  const GlCalls* gl = glCalls();
  if (gl == nullptr) return 0;
  gl->glPushAttrib(kAllAttributes);
  // The components are 16-bit values read as signed ones, as the colour prompt stores them.
  const auto component = [](std::uint16_t c) { return static_cast<std::int16_t>(c) / 255.0f; };
  gl->glClearColor(component(preview.backgroundColor[0]), component(preview.backgroundColor[1]),
                   component(preview.backgroundColor[2]), 0.0f);
  gl->glClear(GL_COLOR_BUFFER_BIT);
  const ImageBuf& image = preview.previewImage;
  if (image.pixels != nullptr && state->raster != nullptr) {
    GLint alignment = 0;
    gl->glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows of 3 x width bytes, unpadded
    gl->glRasterPos2i((view.viewWidth - image.width) / 2, (view.viewHeight - image.height) / 2);
    gl->glDrawPixels(image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, image.pixels);
    gl->glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  }
  gl->glPopAttrib();
  return 0;
}

int rampDraw(SxGui, int, int, void* data, void* drawData) {
  const PreviewBuffers& preview = static_cast<ToolState*>(data)->preview;
  const SxGLDrawData& view = viewOf(drawData);
  const int w = view.viewWidth;
  const int h = view.viewHeight;
  const GlCalls* gl = glCalls();
  if (gl == nullptr) return 0;
  gl->glPushAttrib(kAllAttributes);
  gl->glShadeModel(GL_SMOOTH);
  gl->glBegin(GL_QUADS);
  gl->glColor3ub(preview.bottomColor.r, preview.bottomColor.g, preview.bottomColor.b);
  gl->glVertex3i(0, h, 0);
  gl->glVertex3i(0, 0, 0);
  gl->glColor3ub(preview.topColor.r, preview.topColor.g, preview.topColor.b);
  gl->glVertex3i(w, 0, 0);
  gl->glVertex3i(w, h, 0);
  gl->glEnd();
  gl->glPopAttrib();
  return 0;
}

int rampMouse(SxGui control, int, int event, void* data, void* mouseData) {
  auto* state = static_cast<ToolState*>(data);
  if (!isPressEvent(event, mouseData)) return 0;
  const int x = static_cast<const SxMouseData*>(mouseData)->x;
  int w = 0;
  int h = 0;
  sxGuiGetViewSize(control, &w, &h);
  Rgb8& color = x <= w / 2 ? state->preview.bottomColor : state->preview.topColor;
  unsigned short r = 0;
  unsigned short g = 0;
  unsigned short b = 0;
  if (sxPromptDialogColor(nullptr, color.r, color.g, color.b, &r, &g, &b) != 0) return 0;
  if (r == color.r && g == color.g && b == color.b) return 0;
  color = {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
           static_cast<std::uint8_t>(b)};
  rampRedraw(state);
  buildPicture(state);
  redrawPreview(state);
  sxRefreshDialog(state->ui.dialog);
  return 0;
}

int previewMouse(SxGui, int, int event, void* data, void* mouseData) {
  auto* state = static_cast<ToolState*>(data);
  if (!isPressEvent(event, mouseData)) return 0;
  std::uint16_t* c = state->preview.backgroundColor;
  if (sxPromptDialogColor(nullptr, c[0], c[1], c[2], &c[0], &c[1], &c[2]) == 0) {
    redrawPreview(state);
  }
  return 0;
}

int previewToggle(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  std::int32_t& field = id == kInvertToggle ? state->ranges.invert : state->preview.shaded;
  if (reason == SX_REASON_ACTIVATE) {
    field = sxToggleButtonGetState(control) != 0 ? 1 : 0;
    selectMapping(state->ranges);
    buildPicture(state);
    redrawPreview(state);
  } else {
    sxToggleButtonSetState(control, field);
    sxSetVisible(control, state->preview.previewSamples.pixels != nullptr ? 1 : 0);
  }
  return 0;
}

int rampDefault(SxGui control, int, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_ACTIVATE) {
    state->preview.bottomColor = kDefaultBottomColor;
    state->preview.topColor = kDefaultTopColor;
    buildPicture(state);
    redrawPreview(state);
    rampRedraw(state);
    sxRefreshDialog(state->ui.dialog);
  } else {
    sxSetVisible(control, state->preview.previewImage.pixels != nullptr ? 1 : 0);
    sxSetEnabled(control, isDefaultRamp(state->preview) ? 0 : 1);
  }
  return 0;
}

void rampRedraw(ToolState* state) {
  sxDrawControl(state->ui.colorRampGl);
}

void redrawPreview(ToolState* state) {
  sxDrawControl(state->ui.previewGl);
}

void buildSamples(ToolState* state) {
  PreviewSize view{0, 0};
  sxGuiGetViewSize(state->ui.previewGl, &view.width, &view.height);
  previewBuildSamples(state->preview, state->raster, state->source, state->ranges.data, view,
                      progressSteps(state));
}

void buildPicture(ToolState* state) {
  previewBuildImage(state->preview, state->source, state->ranges);
}

}  // namespace relievo
