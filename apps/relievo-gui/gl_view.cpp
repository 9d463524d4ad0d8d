// GL controls: the host's off-screen picture of what the plug-in drew, shown in the window.
//
// The plug-in draws with the host's OpenGL (OSMesa), never in a GL context of the window:
// OSMesa and the window system's GL both define the gl* entry points, and a process that
// loads both cannot tell which one a plug-in's calls reach. The picture is the exact pixels
// of the draw, the same as the headless host hands out.
#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "control_view.h"

namespace relievo::gui {

namespace {

using sxhost::Change;

class GlPicture : public Fl_Widget {
 public:
  GlPicture(const PixelRect& r, const sxhost::Control& control)
      : Fl_Widget(r.x, r.y, r.w, r.h), control_(control) {}
  std::function<void(int action, int x, int y)> mouse;

 private:
  void draw() override {
    // Where the view is smaller than the widget, or before the first draw, the widget shows
    // the black that the host's GL buffer starts with.
    fl_push_clip(x(), y(), w(), h());
    fl_rectf(x(), y(), w(), h(), FL_BLACK);
    const sxhost::Rgb& picture = control_.lastPicture();
    if (!picture.empty()) {
      constexpr int kDepth = 3;
      const int rowBytes = picture.width * kDepth;
      // The picture's rows run from the bottom; the last one is the top row on screen.
      const auto* top =
          picture.pixels.data() + static_cast<std::size_t>(picture.height - 1) * rowBytes;
      fl_draw_image(top, x(), y(), picture.width, picture.height, kDepth, -rowBytes);
    }
    fl_pop_clip();
  }

  int handle(int event) override {
    int action = 0;
    if (event == FL_PUSH) {
      action = SX_MOUSE_PRESS;
    } else if (event == FL_DRAG) {
      action = SX_MOUSE_MOVE;
    } else if (event == FL_RELEASE) {
      action = SX_MOUSE_RELEASE;
    } else {
      return Fl_Widget::handle(event);
    }
    // The view's coordinates: y from the bottom, the pointer held inside the view.
    const auto [viewWidth, viewHeight] = control_.viewSize();
    const int vx = std::clamp(Fl::event_x() - x(), 0, viewWidth - 1);
    const int vy = std::clamp(viewHeight - 1 - (Fl::event_y() - y()), 0, viewHeight - 1);
    if (mouse) mouse(action, vx, vy);
    return 1;
  }

  const sxhost::Control& control_;
};

class GlView : public ControlView {
 public:
  GlView(sxhost::Control& control, ActionRunner& runner)
      : ControlView(control, *new GlPicture(pixelRect(control), control), runner) {
    static_cast<GlPicture&>(widget_).mouse = [this](int action, int x, int y) {
      act([this, action, x, y] { control_.mouse(action, x, y); });
    };
  }

 private:
  void showContent(Change change, bool all) override {
    if (all || change == Change::Picture) widget_.redraw();
  }
};

}  // namespace

std::unique_ptr<ControlView> makeGlView(sxhost::Control& control, ActionRunner& runner) {
  return std::make_unique<GlView>(control, runner);
}

}  // namespace relievo::gui
