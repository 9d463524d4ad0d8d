// The progress bar that `relievo` draws on standard error while it is a terminal: the host's
// progress bar (control 1068) and status line (control 5) of the main dialog, as one line
//
//   [##########..........]  50%  Reading File...
//
// redrawn in place when the percentage or the text changes. Messages printed while a bar
// shows clear the line first (clear()), so the two never mix.
#ifndef RELIEVO_APPS_PROGRESS_DISPLAY_H
#define RELIEVO_APPS_PROGRESS_DISPLAY_H

#include <cstdio>
#include <string>
#include <string_view>

#include "sxhost/host.h"

namespace relievo::cli {

// One line of the bar for value in [0, maximum] (an empty maximum shows 0 %), with the first
// line of the status text.
std::string progressLine(double value, double maximum, std::string_view status);

class ProgressDisplay {
 public:
  // Draws into out only when enabled.
  ProgressDisplay(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // Takes a change of a control of the host; only the main dialog's progress bar and
  // status line matter.
  void observe(const sxhost::Control& control, sxhost::Change change);
  // Shows the bar at value of maximum with the status text.
  void update(double value, double maximum, std::string_view status);
  // Wipes a shown bar off its line.
  void clear();

 private:
  std::FILE* out_;
  bool enabled_;
  bool shown_ = false;
  std::string lastLine_;
  double value_ = 0.0, maximum_ = 0.0;
  std::string status_;
  // An operation runs from the bar's new range until the bar returns to 0; after it the
  // line shows the status text alone.
  bool running_ = false;
};

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_PROGRESS_DISPLAY_H
