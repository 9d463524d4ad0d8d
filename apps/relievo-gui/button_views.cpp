// Push buttons, check boxes and radio buttons.
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>

#include "control_view.h"
#include "fl_support.h"

namespace relievo::gui {

namespace {

using sxhost::Change;
using sxhost::ControlKind;

Fl_Button& makeButton(const sxhost::Control& control, bool isDefault) {
  const PixelRect r = pixelRect(control);
  Fl_Button* button = nullptr;
  if (control.kind() == ControlKind::Check) {
    button = new Fl_Check_Button(r.x, r.y, r.w, r.h);
  } else if (control.kind() == ControlKind::Radio) {
    // A toggle, not an FLTK radio button: the host's radio groups are named in the template,
    // not made of a parent widget, and the model unchecks the others of the group.
    button = new Fl_Round_Button(r.x, r.y, r.w, r.h);
  } else if (isDefault) {
    button = new Fl_Return_Button(r.x, r.y, r.w, r.h);
  } else {
    button = new Fl_Button(r.x, r.y, r.w, r.h);
  }
  button->labelsize(kDialogFontSize);
  return *button;
}

class ButtonView : public ControlView {
 public:
  ButtonView(sxhost::Control& control, ActionRunner& runner, bool isDefault)
      : ControlView(control, makeButton(control, isDefault), runner) {
    widget_.callback(widgetCallback, this);
  }

 private:
  Fl_Button& button() { return static_cast<Fl_Button&>(widget_); }

  void showContent(Change change, bool all) override {
    if (all || change == Change::Picture) {
      const sxhost::Pixmap* pixmap = control_.pixmap();
      image_ = pixmap != nullptr ? pixmapImage(*pixmap) : nullptr;
      button().image(image_.get());
    }
    // A button with a pixmap shows the picture instead of its caption.
    if (all || change == Change::Text || change == Change::Picture) {
      button().copy_label(image_ ? "" : literalLabel(control_.text(), true).c_str());
    }
    if (all || change == Change::Checked) {
      if (control_.kind() != ControlKind::Push) button().value(control_.checked() ? 1 : 0);
    }
    button().redraw();
  }

  void onWidget() override {
    switch (control_.kind()) {
      case ControlKind::Check: {
        const bool checked = button().value() != 0;
        act([this, checked] { control_.setChecked(checked); });
        break;
      }
      case ControlKind::Radio:
        act([this] { control_.setChecked(true); });
        break;
      default:
        act([this] { control_.press(); });
        break;
    }
  }

  std::unique_ptr<Fl_Image> image_;
};

}  // namespace

std::unique_ptr<ControlView> makeButtonView(sxhost::Control& control, ActionRunner& runner,
                                            bool isDefault) {
  return std::make_unique<ButtonView>(control, runner, isDefault);
}

}  // namespace relievo::gui
