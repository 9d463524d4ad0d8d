#include "plugin/spacing.h"

#include <cmath>

namespace relievo {

bool cornersPassSpacingTest(const ToolState* state) {
  return state->latEnd > state->latStart || state->longEnd > state->longStart;
}

namespace {

double stepsBetween(float posts) {
  return posts >= 2.0f ? static_cast<double>(posts) - 1.0 : 1.0;
}

}  // namespace

float spacingFor(float start, float end, float posts) {
  const double span = std::fabs(static_cast<double>(end) - static_cast<double>(start));
  return static_cast<float>(span * kTenthsPerDegree / stepsBetween(posts));
}

float endFor(float start, float spacing, float posts) {
  return static_cast<float>(start + stepsBetween(posts) * spacing / kTenthsPerDegree);
}

void spacingRule(ToolState* state) {
  if (!cornersPassSpacingTest(state)) return;
  state->latSpacing = spacingFor(state->latStart, state->latEnd, state->latPosts);
  state->longSpacing = spacingFor(state->longStart, state->longEnd, state->longPosts);
}

}  // namespace relievo
