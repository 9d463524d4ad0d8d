// DialogWindow: one dialog of the host as a window of its own, built at the template's
// geometry with a widget for each control, following the dialog as the plug-in changes it.
//
// Closing the window (its close box or Escape) closes the dialog in the host, as a person
// closing it would: the plug-in hears the close event and the host hides the window. Enter
// presses the default button: the push button with id 1, the OK of dialog resources.
#ifndef RELIEVO_GUI_DIALOG_WINDOW_H
#define RELIEVO_GUI_DIALOG_WINDOW_H

#include <FL/Fl_Double_Window.H>

#include <map>
#include <memory>

#include "control_view.h"
#include "sxhost/gui.h"
#include "sxhost/host.h"

namespace relievo::gui {

class DialogWindow : public Fl_Double_Window {
 public:
  DialogWindow(sxhost::Dialog& dialog, ActionRunner& runner);

  sxhost::Dialog& dialog() const { return dialog_; }
  // The view of one of the dialog's controls, or null.
  ControlView* view(const sxhost::Control& control) const;
  // Follows a change of the dialog as a whole (creation and dropping are the owner's).
  void follow(sxhost::DialogChange change);

 private:
  static void closeCallback(Fl_Widget*, void* data);

  sxhost::Dialog& dialog_;
  ActionRunner& runner_;
  std::map<const sxhost::Control*, std::unique_ptr<ControlView>> views_;
};

}  // namespace relievo::gui

#endif  // RELIEVO_GUI_DIALOG_WINDOW_H
