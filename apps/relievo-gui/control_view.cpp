#include "control_view.h"

#include <FL/Fl_Widget.H>

namespace relievo::gui {

using sxhost::Change;
using sxhost::ControlKind;

void ControlView::syncAll() {
  sync(Change::Visible);
  sync(Change::Enabled);
  showContent(Change::Text, true);
}

void ControlView::sync(Change change) {
  if (change == Change::Visible) {
    if (control_.visible()) {
      widget_.show();
    } else {
      widget_.hide();
    }
  } else if (change == Change::Enabled) {
    if (control_.enabled()) {
      widget_.activate();
    } else {
      widget_.deactivate();
    }
  } else {
    showContent(change, false);
  }
}

void ControlView::widgetCallback(Fl_Widget*, void* data) {
  static_cast<ControlView*>(data)->onWidget();
}

PixelRect pixelRect(const sxhost::Control& control) {
  const sxhost::Rect r = control.rect();
  return {sxhost::unitsToPixelsX(r.x), sxhost::unitsToPixelsY(r.y), sxhost::unitsToPixelsX(r.width),
          sxhost::unitsToPixelsY(r.height)};
}

std::unique_ptr<ControlView> makeControlView(sxhost::Control& control, ActionRunner& runner,
                                             bool isDefault) {
  std::unique_ptr<ControlView> view;
  switch (control.kind()) {
    case ControlKind::Push:
    case ControlKind::Check:
    case ControlKind::Radio:
      view = makeButtonView(control, runner, isDefault);
      break;
    case ControlKind::Label:
    case ControlKind::Group:
    case ControlKind::Text:
      view = makeTextView(control, runner);
      break;
    case ControlKind::Option:
    case ControlKind::List:
      view = makeChoiceView(control, runner);
      break;
    case ControlKind::Scale:
    case ControlKind::Progress:
      view = makeValueView(control, runner);
      break;
    case ControlKind::Gl:
      view = makeGlView(control, runner);
      break;
  }
  view->syncAll();
  return view;
}

}  // namespace relievo::gui
