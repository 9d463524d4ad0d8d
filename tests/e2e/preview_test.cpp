// The preview picture and the colour ramp as a user sees them: what the GL controls draw,
// and how "Invert", "Shaded", "Default", the orientation and clicks on the two controls
// change it. The picture's colours themselves are the preview builder's unit tests' case,
// saving the colours the settings unit tests'.
#include <cstdlib>
#include <tuple>

#include "e2e_support.h"
#include "sxapilib.h"

namespace relievo::e2e {
namespace {

using sxhost::Colour;
using sxhost::Pixel;

constexpr int kW = 100;
constexpr int kH = 50;
// A 100 x 50 source in the 210 x 260 view is enlarged twice and centred.
constexpr int kViewW = 210;
constexpr int kViewH = 260;
constexpr int kLeft = 5;
constexpr int kBottom = 80;
constexpr int kRight = kLeft + 2 * kW - 1;
constexpr int kTop = kBottom + 2 * kH - 1;

constexpr Pixel kBlack{0, 0, 0};
// The default ramp's ends: the lowest value (10) and the highest (207) of the source.
constexpr Pixel kLowest{0, 60, 0};
constexpr Pixel kHighest{0, 255, 0};

bool near(Pixel p, Colour c) {
  return std::abs(p.r - c.r) <= 2 && std::abs(p.g - c.g) <= 2 && std::abs(p.b - c.b) <= 2;
}

class PreviewTest : public RelievoTest {
 protected:
  // Starts with the 100 x 50 grid of 1-byte values 10 + x + 2y loaded, row 0 the first.
  void startLoaded() {
    std::vector<int> values;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x)
        values.push_back(10 + x + 2 * y);
    }
    writeFile(dir.path("grid.raw"), bytesOf(values));
    startBinary(dir.path("grid.raw"), kW, kH);
    ASSERT_EQ(c(kStatus).text(), "Done");
  }
  sxhost::Rgb picture() { return c(kPreview).render(kViewW, kViewH); }
  sxhost::Rgb ramp() { return c(kRamp).render(170, 22); }
};

TEST_F(PreviewTest, NothingLoadedShowsOnlyTheBackground) {
  setPref("DataType", kBinary);
  start();
  EXPECT_TRUE(c(kPreviewFrame).visible());
  expectVisible({kPreview, kShaded, kInvert, kDefaultColors, kRamp, kColorsLabel}, false);
  EXPECT_EQ(picture().at(105, 130), kBlack);
}

// Where the builder's samples land in the view; the samples of each layout are the preview
// builder's unit tests' case, here each button and click rebuilds the picture.
TEST_F(PreviewTest, PictureCentredAtTwiceTheSourceSizeAndWhatChangesIt) {
  startLoaded();
  expectVisible({kPreview, kShaded, kInvert, kDefaultColors, kRamp, kColorsLabel}, true);
  EXPECT_FALSE(c(kPreviewFrame).visible() || c(kDefaultColors).enabled());
  const sxhost::Rgb shown = picture();
  ASSERT_EQ(std::pair(shown.width, shown.height), std::pair(kViewW, kViewH));
  // The first source row is the bottom of the picture ("Lower Left"); each value is a 2 x 2
  // square. Values 108 and 109 are near the middle of the ramp, 11 near its bottom.
  const std::tuple<int, int, Pixel> expected[] = {
      {kLeft, kBottom, kLowest},        {kLeft + 1, kBottom + 1, kLowest},
      {kLeft + 2, kBottom, {0, 61, 0}}, {kRight, kTop, kHighest},
      {kRight, kBottom, {0, 157, 0}},   {kLeft, kTop, {0, 157, 0}},
      {kLeft - 1, kBottom, kBlack},     {kLeft, kBottom - 1, kBlack},
      {kRight + 1, kBottom, kBlack},    {kRight, kTop + 1, kBlack}};
  for (const auto& [x, y, pixel] : expected)
    EXPECT_EQ(shown.at(x, y), pixel) << x << ", " << y;
  const sxhost::Rgb wide = c(kPreview).render(410, 260);
  EXPECT_EQ(std::tuple(wide.at(104, kBottom), wide.at(105, kBottom), wide.at(304, kTop),
                       wide.at(305, kTop)),
            std::tuple(kBlack, kLowest, kHighest, kBlack));

  // Invert and shading undo themselves.
  c(kInvert).press();
  EXPECT_EQ(std::pair(picture().at(kLeft, kBottom), picture().at(kRight, kTop)),
            std::pair(kHighest, kLowest));
  c(kInvert).press();
  EXPECT_EQ(picture().pixels, shown.pixels);
  c(kShaded).press();
  EXPECT_LT(picture().at(kLeft + 50, kBottom + 50).g, shown.at(kLeft + 50, kBottom + 50).g);
  c(kShaded).press();
  EXPECT_EQ(picture().pixels, shown.pixels);

  // A click on the ramp up to its middle asks for the bottom colour, starting from the one shown.
  const sxhost::Rgb defaultRamp = ramp();
  EXPECT_TRUE(near(defaultRamp.at(0, 11), {0, 60, 0}) &&
              near(defaultRamp.at(169, 11), {0, 255, 0}));
  responder().queueColour({200, 0, 0});
  c(kRamp).click(85, 11);
  ASSERT_EQ(responder().colourPrompts().size(), 1u);
  const sxhost::ColourPrompt bottom = responder().colourPrompts()[0].prompt;
  EXPECT_EQ(std::tuple(bottom.r, bottom.g, bottom.b), std::tuple(0, 60, 0));
  EXPECT_TRUE(near(ramp().at(0, 11), {200, 0, 0}) && near(ramp().at(169, 11), {0, 255, 0}));
  EXPECT_EQ(std::pair(picture().at(kLeft, kBottom), picture().at(kRight, kTop)),
            std::pair(Pixel{199, 1, 0}, kHighest));
  ASSERT_TRUE(c(kDefaultColors).enabled());
  c(kDefaultColors).press();
  EXPECT_FALSE(c(kDefaultColors).enabled());
  EXPECT_EQ(picture().pixels, shown.pixels);
  EXPECT_EQ(ramp().pixels, defaultRamp.pixels);

  // Column-major, the source is a terrain 50 columns wide, drawn 100 x 200 at (55, 30).
  c(kCols).press();
  const sxhost::Rgb cols = picture();
  EXPECT_EQ(std::tuple(cols.at(54, 30), cols.at(55, 30), cols.at(155, 229)),
            std::tuple(kBlack, kLowest, kBlack));
  c(kRows).press();
  EXPECT_EQ(picture().pixels, shown.pixels);
  c(kUpperLeft).press();
  EXPECT_EQ(std::pair(picture().at(kLeft, kTop), picture().at(kRight, kBottom)),
            std::pair(kLowest, kHighest));

  // A click on the picture chooses the background: a display choice only, black again at the
  // next show.
  responder().queueColour({10, 20, 30});
  c(kPreview).click(100, 100);
  EXPECT_EQ(
      std::tuple(picture().at(0, 0), picture().at(kRight + 1, kTop), picture().at(kLeft, kTop)),
      std::tuple(Pixel{10, 20, 30}, Pixel{10, 20, 30}, kLowest));
  main().close();
  start();
  EXPECT_EQ(picture().at(0, 0), kBlack);
}

}  // namespace
}  // namespace relievo::e2e
