// Host calls that set and read control values: texts, numbers, angles, toggles, option
// menus, lists, scales and progress bars.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "api_support.h"
#include "sxapilib.h"
#include "text_value.h"

using namespace sxhost;
using namespace sxhost::detail;

namespace {

constexpr auto kTextKinds = {ControlKind::Text, ControlKind::Label};

int setText(const char* call, SxGui control, const std::optional<std::string>& text) {
  ControlRec* c = controlFor(call, control, kTextKinds);
  if (c == nullptr) return -1;
  if (!text)
    return state()->fail(std::string(call) + ": " + describe(*c) +
                         ": the value or format is not valid");
  change(*state(), *c, c->text, *text, Change::Text);
  return 0;
}

// Reads a control's text as T; on failure the output stays as it was.
template <class T>
int getValue(const char* call, SxGui control, T* out, std::optional<T> (*parse)(std::string_view)) {
  ControlRec* c = controlFor(call, control, kTextKinds);
  if (c == nullptr) return -1;
  if (out == nullptr) return state()->fail(std::string(call) + ": no output");
  const auto value = parse(c->text);
  if (!value) return -1;
  *out = *value;
  return 0;
}

}  // namespace

extern "C" int sxTextSetString(SxGui control, const char* text) {
  if (text == nullptr) return setText("sxTextSetString", control, std::nullopt);
  return setText("sxTextSetString", control, std::string(text));
}

extern "C" int sxTextGetString(SxGui control, char* buf, int max) {
  ControlRec* c = controlFor("sxTextGetString", control, kTextKinds);
  if (c == nullptr) return -1;
  if (buf == nullptr || max < 1) return state()->fail("sxTextGetString: no room for the text");
  const std::size_t n = std::min(c->text.size(), static_cast<std::size_t>(max - 1));
  std::memcpy(buf, c->text.data(), n);
  buf[n] = '\0';
  return 0;
}

extern "C" int sxTextSetInteger(SxGui control, int value, const char* format) {
  return setText("sxTextSetInteger", control,
                 formatInteger(value, format != nullptr ? format : kIntegerFormat));
}

extern "C" int sxTextGetInteger(SxGui control, int* value) {
  return getValue<int>("sxTextGetInteger", control, value, parseInteger);
}

extern "C" int sxTextSetFloat(SxGui control, float value, const char* format) {
  return setText("sxTextSetFloat", control,
                 formatFloating(value, format != nullptr ? format : kFloatFormat));
}

extern "C" int sxTextGetFloat(SxGui control, float* value) {
  return getValue<float>("sxTextGetFloat", control, value, parseFloat);
}

extern "C" int sxTextSetDouble(SxGui control, double value, const char* format) {
  return setText("sxTextSetDouble", control,
                 formatFloating(value, format != nullptr ? format : kDoubleFormat));
}

extern "C" int sxTextGetDouble(SxGui control, double* value) {
  return getValue<double>("sxTextGetDouble", control, value, parseDouble);
}

extern "C" int sxTextSetDMS(SxGui control, double degrees, const char* format) {
  const auto axis = dmsAxis(format);
  return setText("sxTextSetDMS", control, axis ? formatDms(degrees, *axis) : std::nullopt);
}

extern "C" int sxTextGetDMS(SxGui control, double* degrees, const char* format) {
  ControlRec* c = controlFor("sxTextGetDMS", control, kTextKinds);
  if (c == nullptr) return -1;
  const auto axis = dmsAxis(format);
  if (!axis || degrees == nullptr) {
    return state()->fail("sxTextGetDMS: the format must be STANDARD_LAT or STANDARD_LON");
  }
  const auto value = parseDms(c->text, *axis);
  if (!value) return -1;
  *degrees = *value;
  return 0;
}

extern "C" int sxTextSetEditable(SxGui control, int editable) {
  ControlRec* c = controlFor("sxTextSetEditable", control, {ControlKind::Text});
  if (c == nullptr) return -1;
  change(*state(), *c, c->editable, editable != 0, Change::Editable);
  return 0;
}

extern "C" int sxToggleButtonSetState(SxGui control, int value) {
  ControlRec* c =
      controlFor("sxToggleButtonSetState", control, {ControlKind::Check, ControlKind::Radio});
  if (c == nullptr) return -1;
  change(*state(), *c, c->checked, value != 0, Change::Checked);
  return 0;
}

extern "C" int sxToggleButtonGetState(SxGui control) {
  ControlRec* c =
      controlFor("sxToggleButtonGetState", control, {ControlKind::Check, ControlKind::Radio});
  return c != nullptr && c->checked ? 1 : 0;
}

extern "C" int sxOptionMenuAddItem(SxGui control, const char* label) {
  ControlRec* c = controlFor("sxOptionMenuAddItem", control, {ControlKind::Option});
  if (c == nullptr) return -1;
  if (label == nullptr) return state()->fail("sxOptionMenuAddItem: no label");
  c->items.emplace_back(label);
  state()->notify(*c, Change::Items);
  return 0;
}

namespace {

int selectAt(const char* call, SxGui control, ControlKind kind, int pos) {
  ControlRec* c = controlFor(call, control, {kind});
  if (c == nullptr) return -1;
  if (pos < 1 || static_cast<std::size_t>(pos) > c->items.size()) {
    return state()->fail(std::string(call) + ": " + describe(*c) + " has no position " +
                         std::to_string(pos));
  }
  change(*state(), *c, c->selected, pos, Change::Selection);
  return 0;
}

int selectedPos(const char* call, SxGui control, ControlKind kind, int* pos) {
  ControlRec* c = controlFor(call, control, {kind});
  if (c == nullptr) return -1;
  if (pos == nullptr) return state()->fail(std::string(call) + ": no output");
  if (c->selected == 0) return -1;
  *pos = c->selected;
  return 0;
}

}  // namespace

extern "C" int sxOptionMenuSelectItemAtPos(SxGui control, int pos) {
  return selectAt("sxOptionMenuSelectItemAtPos", control, ControlKind::Option, pos);
}

extern "C" int sxOptionMenuGetSelectedItemPos(SxGui control, int* pos) {
  return selectedPos("sxOptionMenuGetSelectedItemPos", control, ControlKind::Option, pos);
}

extern "C" int sxListAppendItem(SxGui control, const char* item) {
  ControlRec* c = controlFor("sxListAppendItem", control, {ControlKind::List});
  if (c == nullptr) return -1;
  if (item == nullptr) return state()->fail("sxListAppendItem: no item");
  c->items.emplace_back(item);
  state()->notify(*c, Change::Items);
  return 0;
}

extern "C" int sxListDeleteAllItems(SxGui control) {
  ControlRec* c = controlFor("sxListDeleteAllItems", control, {ControlKind::List});
  if (c == nullptr) return -1;
  c->items.clear();
  c->selected = 0;
  c->top = 1;
  state()->notify(*c, Change::Items);
  return 0;
}

extern "C" int sxListSelectItemAtPos(SxGui control, int pos) {
  return selectAt("sxListSelectItemAtPos", control, ControlKind::List, pos);
}

extern "C" int sxListSetTopPos(SxGui control, int pos) {
  ControlRec* c = controlFor("sxListSetTopPos", control, {ControlKind::List});
  if (c == nullptr) return -1;
  // An empty list shows position 1 at the top; anything else must be an item.
  const std::size_t last = std::max<std::size_t>(c->items.size(), 1);
  if (pos < 1 || static_cast<std::size_t>(pos) > last) {
    return state()->fail("sxListSetTopPos: " + describe(*c) + " has no position " +
                         std::to_string(pos));
  }
  change(*state(), *c, c->top, pos, Change::TopPos);
  return 0;
}

extern "C" int sxListGetSelectedItemPos(SxGui control, int* pos) {
  return selectedPos("sxListGetSelectedItemPos", control, ControlKind::List, pos);
}

namespace {

int setRange(const char* call, SxGui control, ControlKind kind, double min, double max) {
  ControlRec* c = controlFor(call, control, {kind});
  if (c == nullptr) return -1;
  if (!std::isfinite(min) || !std::isfinite(max) || min > max) {
    return state()->fail(std::string(call) + ": " + describe(*c) + ": not a range");
  }
  c->min = min;
  c->max = max;
  state()->notify(*c, Change::Range);
  change(*state(), *c, c->value, std::clamp(c->value, min, max), Change::Value);
  return 0;
}

int setValue(const char* call, SxGui control, ControlKind kind, double value) {
  ControlRec* c = controlFor(call, control, {kind});
  if (c == nullptr) return -1;
  if (std::isnan(value))
    return state()->fail(std::string(call) + ": " + describe(*c) + ": not a number");
  change(*state(), *c, c->value, std::clamp(value, c->min, c->max), Change::Value);
  return 0;
}

}  // namespace

extern "C" int sxScaleSetMinMax(SxGui control, double min, double max) {
  return setRange("sxScaleSetMinMax", control, ControlKind::Scale, min, max);
}

extern "C" int sxScaleSetSpinIncrement(SxGui control, double increment) {
  ControlRec* c = controlFor("sxScaleSetSpinIncrement", control, {ControlKind::Scale});
  if (c == nullptr) return -1;
  if (!std::isfinite(increment) || increment <= 0) {
    return state()->fail("sxScaleSetSpinIncrement: " + describe(*c) + ": not a positive increment");
  }
  change(*state(), *c, c->increment, increment, Change::SpinIncrement);
  return 0;
}

extern "C" int sxScaleSetValue(SxGui control, double value) {
  return setValue("sxScaleSetValue", control, ControlKind::Scale, value);
}

extern "C" int sxScaleGetValue(SxGui control, double* value) {
  ControlRec* c = controlFor("sxScaleGetValue", control, {ControlKind::Scale});
  if (c == nullptr) return -1;
  if (value == nullptr) return state()->fail("sxScaleGetValue: no output");
  *value = c->value;
  return 0;
}

extern "C" int sxProgressSetMinMax(SxGui control, double min, double max) {
  return setRange("sxProgressSetMinMax", control, ControlKind::Progress, min, max);
}

extern "C" int sxProgressGetMinMax(SxGui control, double* min, double* max) {
  ControlRec* c = controlFor("sxProgressGetMinMax", control, {ControlKind::Progress});
  if (c == nullptr) return -1;
  if (min == nullptr || max == nullptr) return state()->fail("sxProgressGetMinMax: no output");
  *min = c->min;
  *max = c->max;
  return 0;
}

extern "C" int sxProgressSetValue(SxGui control, double value) {
  return setValue("sxProgressSetValue", control, ControlKind::Progress, value);
}
