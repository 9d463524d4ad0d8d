// ControlView: the FLTK widget of one control of a host dialog, kept in step with the host's
// object model, and the way a person's use of that widget reaches the host.
//
// A view never changes the model itself. The widget's callbacks hand the person's action to
// the ActionRunner, which calls the matching user action of sxhost::Control (type, select,
// press, setChecked, slide, mouse), so the plug-in's callbacks get the same call data as under
// the headless host; the model's changes come back through sync().
//
// Widgets sit at the control's template rectangle converted to pixels; views are made inside
// the window being built (between its begin() and end()), which then owns the widgets.
#ifndef RELIEVO_GUI_CONTROL_VIEW_H
#define RELIEVO_GUI_CONTROL_VIEW_H

#include <functional>
#include <memory>

#include "sxhost/gui.h"
#include "sxhost/host.h"

class Fl_Widget;

namespace relievo::gui {

// Runs a person's action through the host and brings the windows up to date afterwards.
class ActionRunner {
 public:
  virtual ~ActionRunner() = default;
  // Runs action, which acts on `control` (null when it acts on a dialog as a whole).
  virtual void act(sxhost::Control* control, const std::function<void()>& action) = 0;
};

// The font size of the dialogs' texts, in pixels. Dialog units are a quarter of the average
// character across and an eighth of a line down, so the templates' 3/2 and 13/8 pixels per
// unit are laid out for characters about 6 pixels wide in 13-pixel lines.
inline constexpr int kDialogFontSize = 11;

class ControlView {
 public:
  virtual ~ControlView() = default;
  ControlView(const ControlView&) = delete;
  ControlView& operator=(const ControlView&) = delete;

  sxhost::Control& control() const { return control_; }
  Fl_Widget& widget() const { return widget_; }

  // Shows every aspect of the control as the model holds it.
  void syncAll();
  // Shows the aspect that changed.
  void sync(sxhost::Change change);

 protected:
  ControlView(sxhost::Control& control, Fl_Widget& widget, ActionRunner& runner)
      : control_(control), widget_(widget), runner_(runner) {}
  // The kind's own content (text, value, items, picture): the aspect that changed, or every
  // one when `all` is set.
  virtual void showContent(sxhost::Change change, bool all) = 0;
  void act(const std::function<void()>& action) { runner_.act(&control_, action); }
  // The FLTK callback of every view's widget: calls onWidget() of the view in `data`.
  static void widgetCallback(Fl_Widget*, void* data);
  virtual void onWidget() {}

  sxhost::Control& control_;
  Fl_Widget& widget_;
  ActionRunner& runner_;
};

// The control's rectangle in pixels, within its dialog.
struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
};
PixelRect pixelRect(const sxhost::Control& control);

// The view of any control. isDefault marks the dialog's default push button (Enter presses it).
std::unique_ptr<ControlView> makeControlView(sxhost::Control& control, ActionRunner& runner,
                                             bool isDefault);

// The views of each family of kinds.
std::unique_ptr<ControlView> makeButtonView(sxhost::Control& control, ActionRunner& runner,
                                            bool isDefault);
std::unique_ptr<ControlView> makeTextView(sxhost::Control& control, ActionRunner& runner);
std::unique_ptr<ControlView> makeChoiceView(sxhost::Control& control, ActionRunner& runner);
std::unique_ptr<ControlView> makeValueView(sxhost::Control& control, ActionRunner& runner);
std::unique_ptr<ControlView> makeGlView(sxhost::Control& control, ActionRunner& runner);

}  // namespace relievo::gui

#endif  // RELIEVO_GUI_CONTROL_VIEW_H
