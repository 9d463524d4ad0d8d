#include "ded/extents.h"

#include <cmath>

namespace relievo {

bool cornersPassSpacingTest(const Extents& extents) {
  return extents.latEnd > extents.latStart || extents.longEnd > extents.longStart;
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

void spacingRule(Extents& extents) {
  if (!cornersPassSpacingTest(extents)) return;
  extents.latSpacing = spacingFor(extents.latStart, extents.latEnd, extents.latPosts);
  extents.longSpacing = spacingFor(extents.longStart, extents.longEnd, extents.longPosts);
}

}  // namespace relievo
