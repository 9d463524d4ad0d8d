#include "dialog_window.h"

namespace relievo::gui {

namespace {

// The id of the default push button in dialog resources (the OK button).
constexpr int kDefaultButtonId = 1;

int pixelsAcross(const sxhost::Dialog& dialog) {
  return sxhost::unitsToPixelsX(dialog.size().first);
}
int pixelsDown(const sxhost::Dialog& dialog) {
  return sxhost::unitsToPixelsY(dialog.size().second);
}

}  // namespace

DialogWindow::DialogWindow(sxhost::Dialog& dialog, ActionRunner& runner)
    : Fl_Double_Window(pixelsAcross(dialog), pixelsDown(dialog)), dialog_(dialog), runner_(runner) {
  copy_label(dialog.caption().c_str());
  callback(closeCallback, this);
  for (sxhost::Control* control : dialog.controls()) {
    const bool isDefault =
        control->kind() == sxhost::ControlKind::Push && control->id() == kDefaultButtonId;
    views_[control] = makeControlView(*control, runner, isDefault);
  }
  end();
  if (!dialog.enabled()) deactivate();
}

ControlView* DialogWindow::view(const sxhost::Control& control) const {
  const auto it = views_.find(&control);
  return it == views_.end() ? nullptr : it->second.get();
}

void DialogWindow::follow(sxhost::DialogChange change) {
  switch (change) {
    case sxhost::DialogChange::Shown:
      show();
      break;
    case sxhost::DialogChange::Hidden:
      hide();
      break;
    case sxhost::DialogChange::Caption:
      copy_label(dialog_.caption().c_str());
      break;
    case sxhost::DialogChange::Enabled:
      if (dialog_.enabled()) {
        activate();
      } else {
        deactivate();
      }
      break;
    default:
      break;
  }
}

void DialogWindow::closeCallback(Fl_Widget*, void* data) {
  auto* self = static_cast<DialogWindow*>(data);
  self->runner_.act(nullptr, [self] { self->dialog_.close(); });
}

}  // namespace relievo::gui
