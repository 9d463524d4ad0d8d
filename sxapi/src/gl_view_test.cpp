// GL controls: draws in the off-screen context, read back pixel-exact, and mouse clicks.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <tuple>
#include <vector>

#include "relievo_testing/error_of.h"
#include "relievo_testing/scratch_dir.h"
#include "sxapilib.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace {

using relievo::testing::errorOf;
using sxhost::Pixel;

constexpr Pixel kGreen{0, 255, 0};
constexpr Pixel kClear{64, 128, 192};

constexpr const char* kResource = R"({"dialogs": [{"id": 9, "size": [100, 100], "controls": [
  {"id": 1, "kind": "gl", "view": [40, 30], "rect": [0, 0, 10, 10]},
  {"id": 3, "kind": "push", "rect": [0, 0, 10, 10]}]}]})";

struct Seen {
  std::vector<SxGLDrawData> draws;
  std::vector<std::pair<int, SxMouseData>> mice;
};

// Clear to (64, 128, 192), then a green quad over the bottom-left quarter.
int drawQuad(SxGui, int, int, void* data, void* callData) {
  const auto view = *static_cast<SxGLDrawData*>(callData);
  static_cast<Seen*>(data)->draws.push_back(view);
  glClearColor(64 / 255.0f, 128 / 255.0f, 192 / 255.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3ub(0, 255, 0);
  glBegin(GL_QUADS);
  glVertex2i(0, 0);
  glVertex2i(view.viewWidth / 2, 0);
  glVertex2i(view.viewWidth / 2, view.viewHeight / 2);
  glVertex2i(0, view.viewHeight / 2);
  glEnd();
  return 0;
}

int recordMouse(SxGui, int, int event, void* data, void* callData) {
  static_cast<Seen*>(data)->mice.emplace_back(event, *static_cast<SxMouseData*>(callData));
  return 0;
}

class GlViewTest : public testing::Test {
 protected:
  void SetUp() override {
    d = sxResourceGetDialog(nullptr, host.loadResourceJson(kResource), 9, 0, nullptr, nullptr);
    ASSERT_NE(d, nullptr);
    sxShowDialog(d);
  }
  sxhost::Control& control(int id) { return host.dialog(9).control(id); }
  sxhost::Host host;
  SxDialog d = nullptr;
  Seen seen;
};

TEST_F(GlViewTest, ClearColourAndQuadReadBackPixelExactAtEveryDraw) {
  SxGui view = sxFindGuiById(d, 1);
  ASSERT_EQ(sxSetGuiCallback(view, SX_MASK_GL_DRAW, drawQuad, &seen), 0);
  EXPECT_TRUE(control(1).lastPicture().empty());
  ASSERT_EQ(sxDrawControl(view), 0);
  ASSERT_EQ(seen.draws.size(), 1u);
  EXPECT_EQ(std::tuple(seen.draws[0].viewWidth, seen.draws[0].viewHeight), std::tuple(40, 30));
  const sxhost::Rgb picture = control(1).lastPicture();
  ASSERT_EQ(std::tuple(picture.width, picture.height), std::tuple(40, 30));
  // One unit per pixel, origin bottom-left: the quad covers x < 20, y < 15 exactly.
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(picture.at(x, y), (x < 20 && y < 15) ? kGreen : kClear) << x << "," << y;
  }
  EXPECT_EQ(control(1).render(40, 30).pixels, picture.pixels);
  // Rendering at another size draws into a view of that size: the quad is its lower-left quarter.
  const sxhost::Rgb small = control(1).render(9, 7);
  EXPECT_EQ(std::tuple(small.at(3, 2), small.at(4, 3)), std::tuple(kGreen, kClear));
}

TEST_F(GlViewTest, SetViewSizeChangesTheViewWithoutDrawing) {
  sxSetGuiCallback(sxFindGuiById(d, 1), SX_MASK_GL_DRAW, drawQuad, &seen);
  const struct {
    int id, width, height;
    const char* message;
  } refused[] = {
      {3, 10, 10, "control 3 of dialog 9 is no GL control: it has no view"},
      {1, 0, 10, "control 1 of dialog 9: view size 0 x 10 is outside 1 ... 8192"},
      {1, 10, -1, "control 1 of dialog 9: view size 10 x -1 is outside 1 ... 8192"},
      {1, 8193, 10, "control 1 of dialog 9: view size 8193 x 10 is outside 1 ... 8192"},
  };
  for (const auto& c : refused)
    EXPECT_EQ(errorOf<sxhost::Error>([&] { control(c.id).setViewSize(c.width, c.height); }),
              c.message);
  EXPECT_EQ(errorOf<sxhost::Error>([&] { control(1).render(0, 10); }), refused[1].message);
  EXPECT_EQ(control(1).viewSize(), std::make_pair(40, 30));
  control(1).setViewSize(8192, 1);
  EXPECT_EQ(control(1).viewSize(), std::make_pair(8192, 1));
  control(1).setViewSize(12, 5);
  EXPECT_TRUE(seen.draws.empty());
  EXPECT_TRUE(control(1).lastPicture().empty());
  int w = 0, h = 0;
  sxGuiGetViewSize(sxFindGuiById(d, 1), &w, &h);
  EXPECT_EQ(std::tuple(w, h), std::tuple(12, 5));
  const sxhost::Rgb picture = control(1).draw();
  ASSERT_EQ(seen.draws.size(), 1u);
  EXPECT_EQ(std::tuple(seen.draws[0].viewWidth, seen.draws[0].viewHeight), std::tuple(12, 5));
  EXPECT_EQ(std::tuple(picture.width, picture.height), std::tuple(12, 5));
}

TEST_F(GlViewTest, WithoutDrawOnRequestOnlyAnExplicitDrawDraws) {
  SxGui view = sxFindGuiById(d, 1);
  sxSetGuiCallback(view, SX_MASK_GL_DRAW, drawQuad, &seen);
  host.setDrawOnRequest(false);
  EXPECT_EQ(sxDrawControl(view), 0);
  EXPECT_TRUE(seen.draws.empty());
  EXPECT_TRUE(control(1).lastPicture().empty());
  EXPECT_EQ(control(1).draw().at(0, 0), kGreen);
  EXPECT_EQ(seen.draws.size(), 1u);
}

TEST_F(GlViewTest, OnlyGlControlsDrawAndWithoutACallbackTheViewIsBlack) {
  ASSERT_EQ(sxDrawControl(sxFindGuiById(d, 1)), 0);
  EXPECT_EQ(control(1).lastPicture().pixels, std::vector<std::uint8_t>(40 * 30 * 3, 0));
  EXPECT_NE(sxDrawControl(sxFindGuiById(d, 3)), 0);
  EXPECT_EQ(host.lastError(), "sxDrawControl: control 3 of dialog 9 is a push");
  EXPECT_THROW(control(3).render(10, 10), sxhost::Error);
}

TEST_F(GlViewTest, ClicksReachTheMouseFunction) {
  SxGui view = sxFindGuiById(d, 1);
  EXPECT_NE(sxGLSetMouseFunc(view, 2, recordMouse, &seen), 0);
  EXPECT_NE(sxGLSetMouseFunc(sxFindGuiById(d, 3), SX_MOUSE_EVENT, recordMouse, &seen), 0);
  ASSERT_EQ(sxGLSetMouseFunc(view, SX_MOUSE_EVENT, recordMouse, &seen), 0);
  control(1).click(20, 3);
  control(1).mouse(SX_MOUSE_RELEASE, 0, 29);
  ASSERT_EQ(seen.mice.size(), 2u);
  const auto& [event, press] = seen.mice[0];
  EXPECT_EQ(std::tuple(event, press.action, press.x, press.y),
            std::tuple(SX_MOUSE_EVENT, SX_MOUSE_PRESS, 20, 3));
  EXPECT_EQ(seen.mice[1].second.action, SX_MOUSE_RELEASE);
  EXPECT_EQ(errorOf<sxhost::Error>([&] { control(1).click(40, 0); }),
            "control 1 of dialog 9: (40, 0) is outside its view of 40 x 30");
  EXPECT_EQ(seen.mice.size(), 2u);
}

TEST_F(GlViewTest, PicturesWriteUprightPngFiles) {
  sxSetGuiCallback(sxFindGuiById(d, 1), SX_MASK_GL_DRAW, drawQuad, &seen);
  const sxhost::Rgb picture = control(1).render(6, 4);
  const relievo::testing::ScratchDir dir;
  const std::string path = dir.path("view.png");
  picture.writePng(path);
  int w = 0, h = 0, n = 0;
  unsigned char* png = stbi_load(path.c_str(), &w, &h, &n, 3);
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(std::tuple(w, h), std::tuple(6, 4));
  // The file's first row is the picture's top row (clear colour); its last row the bottom
  // row, where the quad is.
  const unsigned char* bottomLeft = png + (3 * 6) * 3;
  EXPECT_EQ(std::tuple(png[0], bottomLeft[0], bottomLeft[1]), std::tuple(64, 0, 255));
  stbi_image_free(png);

  EXPECT_EQ(errorOf<sxhost::Error>([&] { picture.writePng("/nonexistent/dir/x.png"); }),
            "/nonexistent/dir/x.png: cannot be written: No such file or directory");
  EXPECT_THROW(sxhost::Rgb{}.writePng(path), sxhost::Error);
  EXPECT_THROW(picture.at(6, 0), sxhost::Error);
  EXPECT_THROW(picture.at(0, -1), sxhost::Error);
}

}  // namespace
