#include "dialog/progress.h"

namespace relievo {

namespace {

bool updatesShown(const ToolState* state) {
  return !(state->sourceKind == SourceKind::Fractal && state->sliderDragging != 0);
}

}  // namespace

void progressBegin(ToolState* state, const char* text, double maximum) {
  if (state->sliderDragging == 0) {
    sxSetCursor(sxResourceGetCursor(nullptr, SX_CURSOR_WAIT));
    state->busyCursor = 1;
  }
  state->progressAccum = 0.0;
  sxProgressSetMinMax(state->progressBar, 0.0, maximum);
  progressUpdate(state, 0, text);
}

void progressUpdate(ToolState* state, int value, const char* text) {
  if (!updatesShown(state)) return;
  if (value != -1) sxProgressSetValue(state->progressBar, static_cast<double>(value));
  if (text != nullptr) sxTextSetString(state->statusText, text);
}

void progressAdvance(ToolState* state, double amount) {
  state->progressAccum += amount;
  progressUpdate(state, static_cast<int>(state->progressAccum), nullptr);
}

void progressEnd(ToolState* state, const char* text) {
  progressUpdate(state, 0, text);
  if (state->busyCursor != 0) {
    sxSetCursor(nullptr);
    state->busyCursor = 0;
  }
}

}  // namespace relievo
