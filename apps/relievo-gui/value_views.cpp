// Scales and progress bars.
#include <FL/Fl.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Slider.H>

#include <algorithm>
#include <functional>

#include "control_view.h"

namespace relievo::gui {

namespace {

using sxhost::Change;

// A horizontal slider that reports each move with its drag state: the press starts a drag,
// moves continue it, the release ends it. A step with an arrow key, by the scale's spin
// increment (a tenth of its range when it has none), is a move and its end at once.
class Scale : public Fl_Slider {
 public:
  using Moved = std::function<void(double value, int dragState)>;
  Scale(const PixelRect& r, Moved moved) : Fl_Slider(r.x, r.y, r.w, r.h), moved_(std::move(moved)) {
    type(FL_HOR_NICE_SLIDER);
    when(FL_WHEN_NEVER);
  }
  double increment = 0.0;

 private:
  int handle(int event) override {
    if (event == FL_KEYBOARD) {
      const int key = Fl::event_key();
      const int direction = key == FL_Left || key == FL_Down  ? -1
                            : key == FL_Right || key == FL_Up ? 1
                                                              : 0;
      if (direction == 0) return Fl_Slider::handle(event);
      const double step = increment > 0.0 ? increment : (maximum() - minimum()) / 10.0;
      moved_(std::clamp(value() + direction * step, minimum(), maximum()), SX_SCALE_FINAL);
      return 1;
    }
    const double before = value();
    // FLTK folds the moves still queued when the button comes up into the release, so the
    // knob is first taken to where the button was released.
    if (event == FL_RELEASE) Fl_Slider::handle(FL_DRAG);
    const int handled = Fl_Slider::handle(event);
    if (event == FL_PUSH) {
      moved_(value(), SX_SCALE_DRAG_START);
    } else if (event == FL_DRAG && value() != before) {
      moved_(value(), SX_SCALE_DRAGGING);
    } else if (event == FL_RELEASE) {
      moved_(value(), SX_SCALE_FINAL);
    }
    return handled;
  }

  Moved moved_;
};

class ScaleView : public ControlView {
 public:
  ScaleView(sxhost::Control& control, ActionRunner& runner)
      : ControlView(control,
                    *new Scale(pixelRect(control), [this](double v, int s) { slide(v, s); }),
                    runner) {}

 private:
  Scale& scale() { return static_cast<Scale&>(widget_); }

  void slide(double value, int dragState) {
    act([this, value, dragState] { control_.slide(value, dragState); });
  }

  void showContent(Change change, bool all) override {
    if (all || change == Change::Range) {
      scale().bounds(control_.range().first, control_.range().second);
    }
    if (all || change == Change::SpinIncrement) scale().increment = control_.spinIncrement();
    if (all || change == Change::Range || change == Change::Value) {
      scale().value(control_.value());
    }
    scale().redraw();
  }
};

class ProgressView : public ControlView {
 public:
  ProgressView(sxhost::Control& control, ActionRunner& runner)
      : ControlView(control, makeBar(control), runner) {}

 private:
  static Fl_Progress& makeBar(const sxhost::Control& control) {
    const PixelRect r = pixelRect(control);
    auto* bar = new Fl_Progress(r.x, r.y, r.w, r.h);
    bar->selection_color(FL_SELECTION_COLOR);
    return *bar;
  }

  void showContent(Change, bool) override {
    auto& bar = static_cast<Fl_Progress&>(widget_);
    bar.minimum(static_cast<float>(control_.range().first));
    bar.maximum(static_cast<float>(control_.range().second));
    bar.value(static_cast<float>(control_.value()));
  }
};

}  // namespace

std::unique_ptr<ControlView> makeValueView(sxhost::Control& control, ActionRunner& runner) {
  if (control.kind() == sxhost::ControlKind::Scale) {
    return std::make_unique<ScaleView>(control, runner);
  }
  return std::make_unique<ProgressView>(control, runner);
}

}  // namespace relievo::gui
