#include "gl_view.h"

#include <GL/gl.h>
#include <GL/osmesa.h>
#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace sxhost::detail {

namespace {

constexpr const char* kGlLibrary = "libOSMesa.so.8";

// The GL library, loaded at the first draw rather than with the host: most runs never draw,
// and the library with its shader compiler costs more time and memory than a whole small
// conversion. It goes into the process's global scope, where plug-in modules look up the gl*
// functions they draw with, and stays loaded for the process's life.
struct GlLibrary {
  decltype(&OSMesaCreateContextExt) createContext;
  decltype(&OSMesaMakeCurrent) makeCurrent;
  decltype(&OSMesaDestroyContext) destroyContext;
  decltype(&glViewport) viewport;
  decltype(&glMatrixMode) matrixMode;
  decltype(&glLoadIdentity) loadIdentity;
  decltype(&glOrtho) ortho;
  decltype(&glFinish) finish;
};

template <typename Function>
bool lookUp(void* library, const char* name, Function& to) {
  to = reinterpret_cast<Function>(dlsym(library, name));
  return to != nullptr;
}

// The library's functions, or null with `error` saying why it cannot be loaded.
const GlLibrary* glLibrary(std::string& error) {
  static std::string failure;
  static const GlLibrary* const loaded = []() -> const GlLibrary* {
    void* library = dlopen(kGlLibrary, RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr) {
      failure = std::string("the GL library cannot be loaded: ") + dlerror();
      return nullptr;
    }
    static GlLibrary gl;
    if (lookUp(library, "OSMesaCreateContextExt", gl.createContext) &&
        lookUp(library, "OSMesaMakeCurrent", gl.makeCurrent) &&
        lookUp(library, "OSMesaDestroyContext", gl.destroyContext) &&
        lookUp(library, "glViewport", gl.viewport) &&
        lookUp(library, "glMatrixMode", gl.matrixMode) &&
        lookUp(library, "glLoadIdentity", gl.loadIdentity) &&
        lookUp(library, "glOrtho", gl.ortho) && lookUp(library, "glFinish", gl.finish)) {
      return &gl;
    }
    failure = std::string(kGlLibrary) + " lacks a function: " + dlerror();
    return nullptr;
  }();
  if (loaded == nullptr) error = failure;
  return loaded;
}

}  // namespace

struct GlView::Context {
  const GlLibrary* gl = nullptr;
  OSMesaContext handle = nullptr;
  ~Context() {
    if (handle != nullptr) gl->destroyContext(handle);
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
    context->gl = glLibrary(error_);
    if (context->gl == nullptr) return std::nullopt;
    context->handle = context->gl->createContext(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context->handle == nullptr) {
      error_ = "no off-screen GL context could be made";
      return std::nullopt;
    }
    context_ = std::move(context);
  }
  const GlLibrary& gl = *context_->gl;
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  std::vector<std::uint8_t> buffer(w * h * 4);
  if (!gl.makeCurrent(context_->handle, buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
    error_ = "the off-screen GL context could not be made current";
    return std::nullopt;
  }
  gl.viewport(0, 0, width, height);
  gl.matrixMode(GL_PROJECTION);
  gl.loadIdentity();
  gl.ortho(0.0, width, 0.0, height, -1.0, 1.0);
  gl.matrixMode(GL_MODELVIEW);
  gl.loadIdentity();
  draw();
  gl.finish();
  gl.makeCurrent(nullptr, nullptr, 0, 0, 0);

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
