#include "x_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "process.h"

namespace relievo::gui_test {

namespace {

constexpr int kStartTimeoutMs = 20000;

// A channel of a pixel of the 24-bit true-colour screen.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
  return static_cast<std::uint8_t>((pixel & mask) >> std::countr_zero(mask));
}

// Windows come and go while the tests look at them (menus, prompts): a request about one that
// has just gone fails, and the failure must not end the test.
int ignoreErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

XSession::XSession() {
  XSetErrorHandler(ignoreErrors);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    problem_ = std::string("no pipe for Xvfb: ") + std::strerror(errno);
    return;
  }
  // Xvfb picks a free display and writes its number to descriptor 3 once it accepts clients.
  SpawnOptions options;
  options.quiet = true;
  options.passFd = fds[1];
  server_ = spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                  options);
  ::close(fds[1]);
  std::string number;
  pollfd wait{fds[0], POLLIN, 0};
  char ch = 0;
  while (poll(&wait, 1, kStartTimeoutMs) == 1 && read(fds[0], &ch, 1) == 1 && ch != '\n')
    number.push_back(ch);
  ::close(fds[0]);
  if (number.empty()) {
    kill(server_, SIGTERM);
    const bool missing = waitExit(server_, std::chrono::seconds(5)) == kNotStarted;
    server_ = -1;
    problem_ = missing ? "Xvfb is not installed (scripts/install-deps.sh installs it)"
                       : "Xvfb did not start";
    return;
  }
  display_ = ":" + number;
  x_ = XOpenDisplay(display_.c_str());
  if (x_ == nullptr) problem_ = "the X server " + display_ + " cannot be opened";
}

XSession::~XSession() {
  if (x_ != nullptr) XCloseDisplay(x_);
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitExit(server_, std::chrono::seconds(5));
  }
}

unsigned long XSession::window(std::string_view title) const {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(x_, DefaultRootWindow(x_), &root, &parent, &children, &count) == 0) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    XWindowAttributes attributes;
    char* name = nullptr;
    if (XGetWindowAttributes(x_, children[i], &attributes) != 0 &&
        attributes.map_state == IsViewable && XFetchName(x_, children[i], &name) != 0) {
      if (title == name) found = children[i];
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

Box XSession::geometry(unsigned long window) const {
  XWindowAttributes attributes;
  if (XGetWindowAttributes(x_, window, &attributes) == 0) return {};
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(x_, window, DefaultRootWindow(x_), 0, 0, &x, &y, &child);
  return {x, y, attributes.width, attributes.height};
}

sxhost::Rgb XSession::grab(const Box& box) const {
  sxhost::Rgb picture;
  // XDestroyImage is a macro, so it goes through a function of ours.
  const auto destroy = [](XImage* image) { XDestroyImage(image); };
  std::unique_ptr<XImage, decltype(destroy)> image(
      XGetImage(x_, DefaultRootWindow(x_), box.x, box.y, static_cast<unsigned>(box.w),
                static_cast<unsigned>(box.h), AllPlanes, ZPixmap),
      destroy);
  if (!image) return picture;
  picture.width = box.w;
  picture.height = box.h;
  for (int y = box.h - 1; y >= 0; --y) {
    for (int x = 0; x < box.w; ++x) {
      for (const unsigned long mask : {image->red_mask, image->green_mask, image->blue_mask})
        picture.pixels.push_back(channel(XGetPixel(image.get(), x, y), mask));
    }
  }
  return picture;
}

void XSession::close(unsigned long window) const {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(x_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(x_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(x_, window, False, NoEventMask, &event);
  XFlush(x_);
}

}  // namespace relievo::gui_test
