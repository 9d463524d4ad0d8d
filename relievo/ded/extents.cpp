#include "ded/extents.h"

#include "plugin/spacing.h"
#include "plugin/tool_state.h"

namespace relievo {

namespace {

constexpr char kLatFormat[] = "STANDARD_LAT";
constexpr char kLonFormat[] = "STANDARD_LON";

bool isLatitude(int id) {
  return id == kSwLatField || id == kNeLatField || id == kLatSpacingField || id == kLatPostsField;
}

bool isSpacing(int id) {
  return id == kLatSpacingField || id == kLonSpacingField;
}

// The field's value: degrees for corners and spacings, a count for the post fields.
float* fieldOf(ToolState* state, int id) {
  switch (id) {
    case kSwLatField:
      return &state->latStart;
    case kSwLonField:
      return &state->longStart;
    case kNeLatField:
      return &state->latEnd;
    case kNeLonField:
      return &state->longEnd;
    case kLatSpacingField:
      return &state->latSpacing;
    case kLonSpacingField:
      return &state->longSpacing;
    case kLatPostsField:
      return &state->latPosts;
    case kLonPostsField:
      return &state->longPosts;
    default:
      return nullptr;
  }
}

void showField(const ToolState* state, SxGui control, int id, float value) {
  if (id == kLatPostsField || id == kLonPostsField) {
    sxTextSetFloat(control, value, "%.0f");
    return;
  }
  const float degrees = isSpacing(id) ? value / static_cast<float>(kTenthsPerDegree) : value;
  if (state->displayDms != 0) {
    sxTextSetDMS(control, degrees, isLatitude(id) ? kLatFormat : kLonFormat);
  } else {
    sxTextSetFloat(control, degrees, "%.9f");
  }
}

// The entry in degrees, in the form the display uses; false when it cannot be read.
bool readDegrees(const ToolState* state, SxGui control, int id, float* degrees) {
  if (state->displayDms != 0) {
    double value = 0.0;
    if (sxTextGetDMS(control, &value, isLatitude(id) ? kLatFormat : kLonFormat) != 0) {
      return false;
    }
    *degrees = static_cast<float>(value);
    return true;
  }
  return sxTextGetFloat(control, degrees) == 0;
}

void takeCorner(ToolState* state, float* field, float value) {
  if (value == *field) return;
  const float old = *field;
  *field = value;
  if (cornersPassSpacingTest(state)) {
    state->latSpacing = spacingFor(state->latStart, state->latEnd, state->latPosts);
    state->longSpacing = spacingFor(state->longStart, state->longEnd, state->longPosts);
  } else {
    *field = old;
  }
}

// The south-west corner never moves; both north-east coordinates follow the spacings.
void takeSpacing(ToolState* state, float* field, float degrees) {
  const auto spacing = static_cast<float>(degrees * kTenthsPerDegree);
  if (spacing == *field || !(spacing > 0.0f)) return;
  *field = spacing;
  state->latEnd = endFor(state->latStart, state->latSpacing, state->latPosts);
  state->longEnd = endFor(state->longStart, state->longSpacing, state->longPosts);
}

}  // namespace

int extentsFieldCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  float* field = fieldOf(state, id);
  if (field == nullptr) return 0;
  if (reason == SX_REASON_REFRESH) {
    showField(state, control, id, *field);
    return 0;
  }
  if (reason != SX_REASON_ACTIVATE || id == kLatPostsField || id == kLonPostsField) return 0;
  float degrees = 0.0f;
  if (readDegrees(state, control, id, &degrees)) {
    if (isSpacing(id)) {
      takeSpacing(state, field, degrees);
    } else {
      takeCorner(state, field, degrees);
    }
  }
  sxRefreshDialog(state->dialog);
  return 0;
}

int angleDisplayCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_ACTIVATE) {
    state->displayDms = id == kDmsToggle ? 1 : 0;
    sxRefreshDialog(state->dialog);
  } else if (reason == SX_REASON_REFRESH) {
    if (id == kDmsToggle) {
      sxSetEnabled(control, 1);
      sxToggleButtonSetState(control, state->displayDms == 1 ? 1 : 0);
    } else {
      sxSetCaption(control, "Decimal Degrees");
      sxToggleButtonSetState(control, state->displayDms == 0 ? 1 : 0);
    }
  }
  return 0;
}

}  // namespace relievo
