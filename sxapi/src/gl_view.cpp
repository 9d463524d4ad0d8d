#include "gl_view.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace sxhost::detail {

struct GlView::Context {
  OSMesaContext handle = nullptr;
  ~Context() {
    if (handle != nullptr) OSMesaDestroyContext(handle);
  }
};

GlView::GlView() = default;
GlView::~GlView() = default;

std::optional<Rgb> GlView::render(int width, int height, const std::function<void()>& draw) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    error_ = "view size " + std::to_string(width) + " x " + std::to_string(height) +
             " is outside 1 ... " + std::to_string(kMaxSide);
    return std::nullopt;
  }
  if (!context_) {
    // Mesa's rasteriser threads would make pixel results depend on scheduling.
    setenv("LP_NUM_THREADS", "0", 0);
    auto context = std::make_unique<Context>();
    context->handle = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context->handle == nullptr) {
      error_ = "no off-screen GL context could be made";
      return std::nullopt;
    }
    context_ = std::move(context);
  }
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  std::vector<std::uint8_t> buffer(w * h * 4);
  if (!OSMesaMakeCurrent(context_->handle, buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
    error_ = "the off-screen GL context could not be made current";
    return std::nullopt;
  }
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  draw();
  glFinish();
  OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);

  Rgb picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(w * h * 3);
  for (std::size_t i = 0; i < w * h; ++i) {
    picture.pixels[i * 3] = buffer[i * 4];
    picture.pixels[i * 3 + 1] = buffer[i * 4 + 1];
    picture.pixels[i * 3 + 2] = buffer[i * 4 + 2];
  }
  return picture;
}

}  // namespace sxhost::detail
