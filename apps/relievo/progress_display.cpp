#include "progress_display.h"

#include <algorithm>
#include <cmath>

namespace relievo::cli {

namespace {

constexpr int kMainDialog = 100;
constexpr int kStatusLine = 5;
constexpr int kProgressBar = 1068;
constexpr int kBarWidth = 24;
// Status texts longer than this are cut so that the line fits an 80-column terminal.
constexpr std::size_t kStatusWidth = 44;

}  // namespace

std::string progressLine(double value, double maximum, std::string_view status) {
  double fraction = maximum > 0.0 ? value / maximum : 0.0;
  if (!std::isfinite(fraction)) fraction = 0.0;
  fraction = std::clamp(fraction, 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kBarWidth);
  char bar[kBarWidth + 16];
  std::snprintf(bar, sizeof bar, "[%s%s] %3d%%", std::string(filled, '#').c_str(),
                std::string(kBarWidth - filled, '.').c_str(), static_cast<int>(fraction * 100.0));
  std::string line = bar;
  std::string_view shown = status.substr(0, status.find('\n'));
  if (!shown.empty()) line += "  " + std::string(shown.substr(0, kStatusWidth));
  return line;
}

void ProgressDisplay::observe(const sxhost::Control& control, sxhost::Change change) {
  if (!enabled_ || control.dialog().templateId() != kMainDialog) return;
  if (control.id() == kProgressBar && change == sxhost::Change::Range) {
    running_ = true;
    update(control.value(), control.range().second, status_);
  } else if (control.id() == kProgressBar && change == sxhost::Change::Value) {
    if (control.value() == 0.0 && value_ > 0.0) running_ = false;
    update(control.value(), control.range().second, status_);
  } else if (control.id() == kStatusLine && change == sxhost::Change::Text) {
    update(value_, maximum_, control.text());
  }
}

void ProgressDisplay::update(double value, double maximum, std::string_view status) {
  value_ = value;
  maximum_ = maximum;
  status_ = status;
  if (!enabled_) return;
  std::string line = running_ ? progressLine(value, maximum, status)
                              : std::string(status.substr(0, status.find('\n')));
  if (line == lastLine_) return;
  std::fprintf(out_, "\r\033[K%s", line.c_str());
  std::fflush(out_);
  shown_ = !line.empty();
  lastLine_ = std::move(line);
}

void ProgressDisplay::clear() {
  if (!shown_) return;
  std::fprintf(out_, "\r\033[K");
  std::fflush(out_);
  shown_ = false;
  lastLine_.clear();
}

}  // namespace relievo::cli
