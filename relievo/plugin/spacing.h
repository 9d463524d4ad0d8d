// The spacing rule: post spacings, in tenths of an arc-second, from the corners and the post
// counts. It runs only when the north-east corner lies north or east of the south-west one
// (either suffices); otherwise the spacings keep their values.
#ifndef RELIEVO_PLUGIN_SPACING_H
#define RELIEVO_PLUGIN_SPACING_H

#include "plugin/tool_state.h"

namespace relievo {

// One degree in tenths of an arc-second.
inline constexpr double kTenthsPerDegree = 36000.0;

// True when latEnd > latStart or longEnd > longStart.
bool cornersPassSpacingTest(const ToolState* state);
// The spacing of span degrees over posts posts. With fewer than two posts there is no
// step between posts; the whole span is taken as the spacing instead of dividing by zero.
float spacingFor(float start, float end, float posts);
// The north-east coordinate that spacing (tenths of an arc-second) gives over posts posts;
// the inverse of spacingFor.
float endFor(float start, float spacing, float posts);
// latSpacing and longSpacing from the corners and post counts, when the corners pass.
void spacingRule(ToolState* state);

}  // namespace relievo

#endif  // RELIEVO_PLUGIN_SPACING_H
