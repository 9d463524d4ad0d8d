// sxhost::Dialog and sxhost::Control: what a user sees and does.
#include "sxhost/gui.h"

#include <algorithm>
#include <cmath>

#include "api_support.h"
#include "host_state.h"
#include "sxhost/error.h"

namespace sxhost {

using detail::ControlRec;
using detail::describe;
using detail::HostState;
using detail::toHandle;

namespace {

HostState& host() {
  HostState* s = detail::state();
  if (s == nullptr) throw Error("no sxhost::Host is alive");
  return *s;
}

// Throws unless a user could act on the control as `action`, being one of `kinds`.
void mayAct(const ControlRec& c, std::string_view action,
            std::initializer_list<ControlKind> kinds) {
  if (std::find(kinds.begin(), kinds.end(), c.kind) == kinds.end()) {
    throw Error(describe(c) + " is a " + std::string(kindName(c.kind)) + ": it cannot be " +
                std::string(action));
  }
  if (!c.dialog->visible) {
    throw Error(describe(c) + " cannot be " + std::string(action) + ": the dialog is hidden");
  }
  if (!c.dialog->enabled) {
    throw Error(describe(c) + " cannot be " + std::string(action) + ": the dialog is disabled");
  }
  if (!c.visible) throw Error(describe(c) + " cannot be " + std::string(action) + ": it is hidden");
  if (!c.enabled)
    throw Error(describe(c) + " cannot be " + std::string(action) + ": it is disabled");
}

void activate(ControlRec& c, void* callData = nullptr) {
  host().runCallback(c, SX_REASON_ACTIVATE, callData);
}

}  // namespace

int Control::id() const {
  return rec_.id;
}
ControlKind Control::kind() const {
  return rec_.kind;
}
SxGui Control::handle() const {
  return toHandle<SxGui>(rec_.handle);
}
Dialog& Control::dialog() const {
  return *rec_.dialog->facade;
}

void Control::type(std::string_view text) {
  mayAct(rec_, "typed into", {ControlKind::Text});
  if (!rec_.editable) throw Error(describe(rec_) + " cannot be typed into: it is read-only");
  detail::change(host(), rec_, rec_.text, std::string(text), Change::Text);
  activate(rec_);
}

void Control::select(int pos) {
  mayAct(rec_, "selected from", {ControlKind::Option, ControlKind::List});
  if (pos < 1 || static_cast<std::size_t>(pos) > rec_.items.size()) {
    throw Error(describe(rec_) + " has no position " + std::to_string(pos) + " (it has " +
                std::to_string(rec_.items.size()) + " items)");
  }
  detail::change(host(), rec_, rec_.selected, pos, Change::Selection);
  activate(rec_);
}

void Control::press() {
  mayAct(rec_, "pressed", {ControlKind::Push, ControlKind::Check, ControlKind::Radio});
  if (rec_.kind == ControlKind::Push) {
    activate(rec_);
  } else if (rec_.kind == ControlKind::Check) {
    setChecked(!rec_.checked);
  } else {
    setChecked(true);
  }
}

void Control::setChecked(bool checked) {
  mayAct(rec_, "checked", {ControlKind::Check, ControlKind::Radio});
  if (rec_.kind == ControlKind::Radio) {
    if (!checked) throw Error(describe(rec_) + " is a radio button: a user cannot uncheck it");
    for (auto& other : rec_.dialog->controls) {
      if (other.get() != &rec_ && other->kind == ControlKind::Radio && other->group == rec_.group) {
        detail::change(host(), *other, other->checked, false, Change::Checked);
      }
    }
  }
  detail::change(host(), rec_, rec_.checked, checked, Change::Checked);
  activate(rec_);
}

void Control::toggle() {
  setChecked(!rec_.checked);
}

void Control::slide(double value, int dragState) {
  mayAct(rec_, "slid", {ControlKind::Scale});
  if (std::isnan(value))
    throw Error(describe(rec_) + " cannot be slid to a value that is not a number");
  if (dragState != SX_SCALE_DRAG_START && dragState != SX_SCALE_DRAGGING &&
      dragState != SX_SCALE_FINAL) {
    throw Error(describe(rec_) + ": drag state " + std::to_string(dragState) + " is not 0, 1 or 2");
  }
  detail::change(host(), rec_, rec_.value, std::clamp(value, rec_.min, rec_.max), Change::Value);
  SxScaleCallData data{dragState};
  activate(rec_, &data);
}

void Control::click(int x, int y) {
  mouse(SX_MOUSE_PRESS, x, y);
}

void Control::mouse(int action, int x, int y) {
  mayAct(rec_, "clicked", {ControlKind::Gl});
  if (x < 0 || y < 0 || x >= rec_.viewWidth || y >= rec_.viewHeight) {
    throw Error(describe(rec_) + ": (" + std::to_string(x) + ", " + std::to_string(y) +
                ") is outside its view of " + std::to_string(rec_.viewWidth) + " x " +
                std::to_string(rec_.viewHeight));
  }
  if (rec_.mouse.fn == nullptr) return;
  SxMouseData data{action, x, y};
  detail::InPlugin call(host());
  rec_.mouse.fn(handle(), rec_.id, SX_MOUSE_EVENT, rec_.mouse.data, &data);
}

std::string Control::text() const {
  return rec_.text;
}
bool Control::checked() const {
  return rec_.checked;
}
int Control::selectedPos() const {
  return rec_.selected;
}
int Control::topPos() const {
  return rec_.top;
}
std::vector<std::string> Control::items() const {
  return rec_.items;
}
bool Control::enabled() const {
  return rec_.enabled;
}
bool Control::visible() const {
  return rec_.visible;
}
bool Control::editable() const {
  return rec_.editable;
}
bool Control::fixedFont() const {
  return rec_.fixedFont;
}
bool Control::opaque() const {
  return rec_.opaque;
}
Rect Control::rect() const {
  return rec_.rect;
}
double Control::value() const {
  return rec_.value;
}
std::pair<double, double> Control::range() const {
  return {rec_.min, rec_.max};
}
double Control::spinIncrement() const {
  return rec_.increment;
}
const Pixmap* Control::pixmap() const {
  return rec_.pixmap.get();
}
std::pair<int, int> Control::viewSize() const {
  return {rec_.viewWidth, rec_.viewHeight};
}
const Rgb& Control::lastPicture() const {
  return rec_.picture;
}

void Control::setViewSize(int width, int height) {
  if (rec_.kind != ControlKind::Gl)
    throw Error(describe(rec_) + " is no GL control: it has no view");
  if (width < 1 || height < 1 || width > kMaxViewSide || height > kMaxViewSide) {
    throw Error(describe(rec_) + ": view size " + std::to_string(width) + " x " +
                std::to_string(height) + " is outside 1 ... " + std::to_string(kMaxViewSide));
  }
  rec_.viewWidth = width;
  rec_.viewHeight = height;
}

Rgb Control::render(int width, int height) {
  if (rec_.kind != ControlKind::Gl)
    throw Error(describe(rec_) + " is no GL control: it cannot draw");
  setViewSize(width, height);
  return draw();
}

Rgb Control::draw() {
  if (rec_.kind != ControlKind::Gl)
    throw Error(describe(rec_) + " is no GL control: it cannot draw");
  HostState& s = host();
  if (!s.drawControl(rec_)) throw Error(s.lastError);
  return rec_.picture;
}

int Dialog::templateId() const {
  return rec_.templateId;
}
SxDialog Dialog::handle() const {
  return toHandle<SxDialog>(rec_.handle);
}

Control& Dialog::control(int id) {
  for (auto& c : rec_.controls) {
    if (c->id == id && id != -1) return *c->facade;
  }
  throw Error("dialog " + std::to_string(rec_.templateId) + " has no control " +
              std::to_string(id));
}

bool Dialog::hasControl(int id) const {
  return id != -1 && std::any_of(rec_.controls.begin(), rec_.controls.end(),
                                 [id](const auto& c) { return c->id == id; });
}

std::vector<Control*> Dialog::controls() {
  std::vector<Control*> out;
  for (auto& c : rec_.controls)
    out.push_back(c->facade.get());
  return out;
}

bool Dialog::visible() const {
  return rec_.visible;
}
bool Dialog::enabled() const {
  return rec_.enabled;
}
std::string Dialog::caption() const {
  return rec_.caption;
}
std::string Dialog::helpContext() const {
  return rec_.helpContext;
}
std::pair<int, int> Dialog::size() const {
  return {rec_.width, rec_.height};
}
void Dialog::close() {
  host().hideDialog(rec_);
}
void Dialog::show() {
  host().showDialog(rec_);
}

}  // namespace sxhost
