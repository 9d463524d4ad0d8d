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

constexpr const char* kResource = R"({"dialogs": [{"id": 9, "size": [100, 100], "controls": [
  {"id": 1, "kind": "gl", "view": [40, 30], "rect": [0, 0, 10, 10]},
  {"id": 3, "kind": "push", "rect": [0, 0, 10, 10]}]}]})";

// Clear to (64, 128, 192), then a green quad over the bottom-left quarter.
int drawQuad(SxGui, int, int, void* data, void* callData) {
  const auto view = *static_cast<SxGLDrawData*>(callData);
  static_cast<std::vector<SxGLDrawData>*>(data)->push_back(view);
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

class GlViewTest : public testing::Test {
 protected:
  void SetUp() override {
    d = sxResourceGetDialog(nullptr, host.loadResourceJson(kResource), 9, 0, nullptr, nullptr);
    sxShowDialog(d);
    view = sxFindGuiById(d, 1);
  }
  sxhost::Control& control(int id) { return host.dialog(9).control(id); }
  sxhost::Host host;
  SxDialog d = nullptr;
  SxGui view = nullptr;
  std::vector<SxGLDrawData> seen;  // what each drawing callback was given
};

TEST_F(GlViewTest, WithoutDrawOnRequestOnlyAnExplicitDrawDraws) {
  sxSetGuiCallback(view, SX_MASK_GL_DRAW, drawQuad, &seen);
  host.setDrawOnRequest(false);
  EXPECT_EQ(sxDrawControl(view), 0);
  EXPECT_TRUE(seen.empty() && control(1).lastPicture().empty());
  control(1).draw();
  EXPECT_EQ(seen.size(), 1u);
}

// What a drawing callback draws, pixel by pixel and at any size, is what relievo's preview
// and ramp show in the end-to-end tests; without one the view is black.
TEST_F(GlViewTest, SetViewSizeChangesTheViewWithoutDrawingAndClicksStayInIt) {
  ASSERT_EQ(sxDrawControl(view), 0);
  EXPECT_EQ(control(1).lastPicture().pixels, std::vector<std::uint8_t>(40 * 30 * 3, 0));
  sxSetGuiCallback(view, SX_MASK_GL_DRAW, drawQuad, &seen);
  EXPECT_EQ(errorOf<sxhost::Error>([&] { control(3).setViewSize(10, 10); }),
            "control 3 of dialog 9 is no GL control: it has no view");
  EXPECT_EQ(errorOf<sxhost::Error>([&] { control(1).setViewSize(8193, 10); }),
            "control 1 of dialog 9: view size 8193 x 10 is outside 1 ... 8192");
  EXPECT_EQ(errorOf<sxhost::Error>([&] { control(1).render(0, 10); }),
            "control 1 of dialog 9: view size 0 x 10 is outside 1 ... 8192");
  EXPECT_EQ(errorOf<sxhost::Error>([&] { control(3).render(10, 10); }),
            "control 3 of dialog 9 is no GL control: it cannot draw");
  control(1).setViewSize(8192, 1);
  control(1).setViewSize(12, 5);
  EXPECT_TRUE(seen.empty());
  int w = 0, h = 0;
  sxGuiGetViewSize(view, &w, &h);
  EXPECT_EQ(std::tuple(w, h), std::tuple(12, 5));
  const sxhost::Rgb picture = control(1).draw();
  EXPECT_EQ(std::tuple(picture.width, picture.height), std::tuple(12, 5));

  // Mouse functions: what relievo's views do with clicks runs in the end-to-end tests.
  EXPECT_EQ(errorOf<sxhost::Error>([&] { control(1).click(12, 0); }),
            "control 1 of dialog 9: (12, 0) is outside its view of 12 x 5");
}

TEST_F(GlViewTest, PicturesWriteUprightPngFiles) {
  sxSetGuiCallback(view, SX_MASK_GL_DRAW, drawQuad, &seen);
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
  EXPECT_EQ(errorOf<sxhost::Error>([&] { picture.at(6, 0); }),
            "pixel (6, 0) is outside the picture of 6 x 4");
}

}  // namespace
