// Dialogs and controls of the stand-in host, as a front end or a test sees them.
//
// The host keeps each control's value, visibility and enabled state, so readers give what a
// user would see. User actions do what the user's action would: change the value, then run
// the control's activate callback with the call data of that kind of control. A user cannot
// act on a control that is disabled or hidden, or on a dialog that is not shown: such an
// action throws sxhost::Error saying why, and changes nothing.
//
// Dialog and Control objects belong to the host; references stay valid while the dialog
// exists (until its plug-in is unloaded or the host goes).
#ifndef SXHOST_GUI_H
#define SXHOST_GUI_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sxapilib.h"
#include "sxhost/picture.h"
#include "sxhost/resource.h"

namespace sxhost {

// The largest width or height of a GL control's view.
inline constexpr int kMaxViewSide = 8192;

namespace detail {
struct ControlRec;
struct DialogRec;
}  // namespace detail

class Dialog;

class [[gnu::visibility("default")]] Control {
 public:
  explicit Control(detail::ControlRec & rec) : rec_(rec) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  int id() const;
  ControlKind kind() const;
  SxGui handle() const;
  Dialog& dialog() const;

  // User actions.
  // Text control (editable): replaces the text, then activates.
  void type(std::string_view text);
  // Option menu or list: selects position pos (from 1), then activates.
  void select(int pos);
  // Push button: activates. Check box: toggles. Radio button: checks it (see setChecked).
  void press();
  // Check box: sets the state, then activates. Radio button: only true is possible; it
  // clears the other radio buttons of its group, then activates.
  void setChecked(bool checked);
  void toggle();
  // Scale: moves to value (clamped to the range), then activates with SxScaleCallData.
  void slide(double value, int dragState = SX_SCALE_FINAL);
  // GL control: the mouse function gets SX_MOUSE_EVENT with {action, x, y} (y from the
  // bottom). click is a press (action SX_MOUSE_PRESS).
  void click(int x, int y);
  void mouse(int action, int x, int y);

  // Readers.
  std::string text() const;  // caption or content
  bool checked() const;
  int selectedPos() const;  // 0 when nothing is selected
  int topPos() const;       // lists: the first item shown
  std::vector<std::string> items() const;
  bool enabled() const;
  bool visible() const;
  bool editable() const;
  bool fixedFont() const;
  bool opaque() const;   // SX_ATTRIBUTE_OPAQUE
  Rect rect() const;     // where the template puts it, in dialog units
  double value() const;  // scale or progress
  std::pair<double, double> range() const;
  double spinIncrement() const;
  const Pixmap* pixmap() const;  // null when none is set
  std::pair<int, int> viewSize() const;
  // The picture of the last draw (sxDrawControl or render); empty before the first.
  const Rgb& lastPicture() const;
  // GL control: sets the view size (1 ... kMaxViewSide each) without drawing, as a user
  // resizing the window would; what the plug-in draws next fits the new size. Throws for
  // other kinds and for sizes outside that range.
  void setViewSize(int width, int height);
  // GL control: sets the view size, draws, returns the picture. Throws for other kinds.
  Rgb render(int width, int height);
  // GL control: draws at the current view size (like sxDrawControl).
  Rgb draw();

 private:
  detail::ControlRec& rec_;
};

class [[gnu::visibility("default")]] Dialog {
 public:
  explicit Dialog(detail::DialogRec & rec) : rec_(rec) {}
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  int templateId() const;
  SxDialog handle() const;
  // The control with that id; throws sxhost::Error when the dialog has none.
  Control& control(int id);
  bool hasControl(int id) const;
  // Every control, static ones included, in template order.
  std::vector<Control*> controls();
  bool visible() const;
  bool enabled() const;
  std::string caption() const;
  std::string helpContext() const;
  // The template's size in dialog units.
  std::pair<int, int> size() const;
  // As a user closing the window: the close event, then hidden. Nothing when hidden.
  void close();
  // As sxShowDialog.
  void show();

 private:
  detail::DialogRec& rec_;
};

}  // namespace sxhost

#endif  // SXHOST_GUI_H
