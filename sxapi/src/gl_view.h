// GlView: the off-screen OpenGL context in which GL controls draw, headless.
//
// One OSMesa context per host, created at the first draw (the GL library is loaded then, into
// the global scope where plug-ins find their gl* functions) and made current over a buffer of
// the view's size for each draw. Before the draw the viewport covers the view and the
// projection is one unit per pixel with the origin at the bottom-left; the buffer starts
// black. Mesa renders on the calling thread only (LP_NUM_THREADS=0 unless the user set it),
// so pictures are the same from run to run.
#ifndef SXHOST_SRC_GL_VIEW_H
#define SXHOST_SRC_GL_VIEW_H

#include <functional>
#include <memory>
#include <optional>

#include "sxhost/gui.h"
#include "sxhost/picture.h"

namespace sxhost::detail {

class GlView {
 public:
  GlView();
  ~GlView();
  GlView(const GlView&) = delete;
  GlView& operator=(const GlView&) = delete;

  // Runs draw with the context current over a width x height view and returns the RGB
  // pixels; nothing when the context cannot be made (the reason is in error()).
  std::optional<Rgb> render(int width, int height, const std::function<void()>& draw);
  const std::string& error() const { return error_; }

  // The largest view side accepted.
  static constexpr int kMaxSide = kMaxViewSide;

 private:
  struct Context;
  std::unique_ptr<Context> context_;
  std::string error_;
};

}  // namespace sxhost::detail

#endif  // SXHOST_SRC_GL_VIEW_H
