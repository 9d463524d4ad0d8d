#include "dialog/extents_fields.h"

#include "dialog/tool_state.h"

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
float* fieldOf(Extents& extents, int id) {
  switch (id) {
    case kSwLatField:
      return &extents.latStart;
    case kSwLonField:
      return &extents.longStart;
    case kNeLatField:
      return &extents.latEnd;
    case kNeLonField:
      return &extents.longEnd;
    case kLatSpacingField:
      return &extents.latSpacing;
    case kLonSpacingField:
      return &extents.longSpacing;
    case kLatPostsField:
      return &extents.latPosts;
    case kLonPostsField:
      return &extents.longPosts;
    default:
      return nullptr;
  }
}

void showField(const DialogHandles& ui, SxGui control, int id, float value) {
  if (id == kLatPostsField || id == kLonPostsField) {
    sxTextSetFloat(control, value, "%.0f");
    return;
  }
  const float degrees = isSpacing(id) ? value / static_cast<float>(kTenthsPerDegree) : value;
  if (ui.displayDms != 0) {
    sxTextSetDMS(control, degrees, isLatitude(id) ? kLatFormat : kLonFormat);
  } else {
    sxTextSetFloat(control, degrees, "%.9f");
  }
}

// The entry in degrees, in the form the display uses; false when it cannot be read.
bool readDegrees(const DialogHandles& ui, SxGui control, int id, float* degrees) {
  if (ui.displayDms != 0) {
    double value = 0.0;
    if (sxTextGetDMS(control, &value, isLatitude(id) ? kLatFormat : kLonFormat) != 0) {
      return false;
    }
    *degrees = static_cast<float>(value);
    return true;
  }
  return sxTextGetFloat(control, degrees) == 0;
}

void takeCorner(Extents& extents, float* field, float value) {
  if (value == *field) return;
  const float old = *field;
  *field = value;
  if (cornersPassSpacingTest(extents)) {
    spacingRule(extents);
  } else {
    *field = old;
  }
}

// The south-west corner never moves; both north-east coordinates follow the spacings.
void takeSpacing(Extents& extents, float* field, float degrees) {
  const auto spacing = static_cast<float>(degrees * kTenthsPerDegree);
  if (spacing == *field || !(spacing > 0.0f)) return;
  *field = spacing;
  extents.latEnd = endFor(extents.latStart, extents.latSpacing, extents.latPosts);
  extents.longEnd = endFor(extents.longStart, extents.longSpacing, extents.longPosts);
}

}  // namespace

int extentsFieldCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  float* field = fieldOf(state->extents, id);
  if (field == nullptr) return 0;
  if (reason == SX_REASON_REFRESH) {
    showField(state->ui, control, id, *field);
    return 0;
  }
  if (reason != SX_REASON_ACTIVATE || id == kLatPostsField || id == kLonPostsField) return 0;
  float degrees = 0.0f;
  if (readDegrees(state->ui, control, id, &degrees)) {
    if (isSpacing(id)) {
      takeSpacing(state->extents, field, degrees);
    } else {
      takeCorner(state->extents, field, degrees);
    }
  }
  sxRefreshDialog(state->ui.dialog);
  return 0;
}

int angleDisplayCallback(SxGui control, int id, int reason, void* data, void*) {
  DialogHandles& ui = static_cast<ToolState*>(data)->ui;
  if (reason == SX_REASON_ACTIVATE) {
    ui.displayDms = id == kDmsToggle ? 1 : 0;
    sxRefreshDialog(ui.dialog);
  } else if (reason == SX_REASON_REFRESH) {
    if (id == kDmsToggle) {
      sxSetEnabled(control, 1);
      sxToggleButtonSetState(control, ui.displayDms == 1 ? 1 : 0);
    } else {
      sxSetCaption(control, "Decimal Degrees");
      sxToggleButtonSetState(control, ui.displayDms == 0 ? 1 : 0);
    }
  }
  return 0;
}

}  // namespace relievo
