// XSession: the X server of the tests of the windowed host, and what they read from it.
//
// A private Xvfb (1280 x 1024, 24-bit colour, no window manager), whatever DISPLAY says, so
// that the tests see windows where the programs put them and the exact pixels they drew.
// problem() says why there is none.
#ifndef RELIEVO_TESTS_GUI_X_SESSION_H
#define RELIEVO_TESTS_GUI_X_SESSION_H

#include <sys/types.h>

#include <string>
#include <string_view>

#include "sxhost/picture.h"

struct _XDisplay;

namespace relievo::gui_test {

// A rectangle of the screen, in pixels from its top-left corner.
struct Box {
  int x = 0, y = 0, w = 0, h = 0;
};

class XSession {
 public:
  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  // Why there is no server ("" when there is one).
  const std::string& problem() const { return problem_; }
  // The server's name for DISPLAY (":5").
  const std::string& display() const { return display_; }

  // The shown top-level window with that title, or 0.
  unsigned long window(std::string_view title) const;
  Box geometry(unsigned long window) const;
  // The screen's pixels in box, bottom row first like the host's pictures.
  sxhost::Rgb grab(const Box& box) const;
  // Asks the window to close, as a window manager's close box does (WM_DELETE_WINDOW).
  void close(unsigned long window) const;

 private:
  pid_t server_ = -1;
  std::string display_, problem_;
  _XDisplay* x_ = nullptr;
};

}  // namespace relievo::gui_test

#endif  // RELIEVO_TESTS_GUI_X_SESSION_H
