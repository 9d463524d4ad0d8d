// The geographic extents: the corners, post spacings and post counts of the DED file, and the
// spacing rule that derives the spacings, in tenths of an arc-second, from the corners and
// the post counts. The rule runs only when the north-east corner lies north or east of the
// south-west one (either suffices); otherwise the spacings keep their values.
#ifndef RELIEVO_DED_EXTENTS_H
#define RELIEVO_DED_EXTENTS_H

namespace relievo {

// One degree in tenths of an arc-second.
inline constexpr double kTenthsPerDegree = 36000.0;

// The part of ToolState that places the grid on the globe. Corners in degrees.
struct Extents {
  float latStart;  // south-west corner
  float latEnd;    // north-east corner
  float longStart;
  float longEnd;
  float latSpacing;   // tenths of an arc-second
  float longSpacing;  // tenths of an arc-second
  float latPosts;     // posts along latitude: the loaded source's height
  float longPosts;    // posts along longitude: its width
};

// The corners' default place: the degree square north-east of (0, 0).
inline constexpr float kDefaultLatEnd = 1.0f;
inline constexpr float kDefaultLongEnd = 1.0f;

// True when latEnd > latStart or longEnd > longStart.
bool cornersPassSpacingTest(const Extents& extents);
// The spacing of span degrees over posts posts. With fewer than two posts there is no
// step between posts; the whole span is taken as the spacing instead of dividing by zero.
float spacingFor(float start, float end, float posts);
// The north-east coordinate that spacing (tenths of an arc-second) gives over posts posts;
// the inverse of spacingFor.
float endFor(float start, float spacing, float posts);
// latSpacing and longSpacing from the corners and post counts, when the corners pass.
void spacingRule(Extents& extents);

}  // namespace relievo

#endif  // RELIEVO_DED_EXTENTS_H
