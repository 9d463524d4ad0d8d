#include "dialog/progress.h"

namespace relievo {

namespace {

bool updatesShown(const ToolState* state) {
  return !(state->source.sourceKind == SourceKind::Fractal && state->ui.sliderDragging != 0);
}

void advanceBy(double amount, void* state) {
  progressAdvance(static_cast<ToolState*>(state), amount);
}

}  // namespace

void progressBegin(ToolState* state, const char* text, double maximum) {
  DialogHandles& ui = state->ui;
  if (ui.sliderDragging == 0) {
    sxSetCursor(sxResourceGetCursor(nullptr, SX_CURSOR_WAIT));
    ui.busyCursor = 1;
  }
  ui.progressAccum = 0.0;
  sxProgressSetMinMax(ui.progressBar, 0.0, maximum);
  progressUpdate(state, 0, text);
}

void progressUpdate(ToolState* state, int value, const char* text) {
  if (!updatesShown(state)) return;
  if (value != -1) sxProgressSetValue(state->ui.progressBar, static_cast<double>(value));
  if (text != nullptr) sxTextSetString(state->ui.statusText, text);
}

void progressAdvance(ToolState* state, double amount) {
  state->ui.progressAccum += amount;
  progressUpdate(state, static_cast<int>(state->ui.progressAccum), nullptr);
}

Progress progressSteps(ToolState* state) {
  return {advanceBy, state};
}

int readerProgress(int, int, void* state) {
  progressAdvance(static_cast<ToolState*>(state), 1.0);
  return 1;
}

void progressEnd(ToolState* state, const char* text) {
  progressUpdate(state, 0, text);
  if (state->ui.busyCursor != 0) {
    sxSetCursor(nullptr);
    state->ui.busyCursor = 0;
  }
}

}  // namespace relievo
