// The preview picture and the colour ramp as a user sees them: what the GL controls draw,
// and how "Invert", "Shaded", "Default", the orientation and clicks on the two controls
// change it.
#include <cmath>
#include <cstdlib>

#include "e2e_support.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

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

constexpr Colour kBottomDefault{0, 60, 0};
constexpr Colour kTopDefault{0, 255, 0};
constexpr Pixel kBlack{0, 0, 0};

int valueAt(int x, int y) {
  return 10 + x + 2 * y;
}
constexpr int kLowest = 10;
constexpr int kHighest = 10 + (kW - 1) + 2 * (kH - 1);

// The colour a source value gets with the DED range equal to the data range (no elevation
// is 0 there): its sample of 1 ... 255 picks the place on the ramp.
Pixel colourOf(int value, Colour bottom = kBottomDefault, Colour top = kTopDefault) {
  const double sample = std::trunc(254.0 * ((value - kLowest) / double(kHighest - kLowest)) + 1);
  const auto t = static_cast<float>(sample / 255.0);
  const auto channel = [t](int b, int tp) {
    return static_cast<std::uint8_t>(static_cast<int>(b + t * static_cast<float>(tp - b)));
  };
  return {channel(bottom.r, top.r), channel(bottom.g, top.g), channel(bottom.b, top.b)};
}

bool near(Pixel p, Colour c) {
  return std::abs(p.r - c.r) <= 2 && std::abs(p.g - c.g) <= 2 && std::abs(p.b - c.b) <= 2;
}

class PreviewTest : public RelievoTest {
 protected:
  // Starts with the 100 x 50 grid of 1-byte values loaded.
  void startLoaded() {
    std::vector<int> values;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x)
        values.push_back(valueAt(x, y));
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
  const sxhost::Rgb shown = picture();
  for (const auto& [x, y] : {std::pair{0, 0}, {105, 130}, {209, 259}})
    EXPECT_EQ(shown.at(x, y), kBlack) << x << ", " << y;
}

TEST_F(PreviewTest, PictureIsCentredInTheViewAtTwiceTheSourceSize) {
  startLoaded();
  expectVisible({kPreview, kShaded, kInvert, kDefaultColors, kRamp, kColorsLabel}, true);
  EXPECT_FALSE(c(kPreviewFrame).visible());
  EXPECT_FALSE(c(kDefaultColors).enabled());

  const sxhost::Rgb shown = picture();
  ASSERT_EQ(shown.width, kViewW);
  ASSERT_EQ(shown.height, kViewH);
  // The first source row is the bottom of the picture ("Lower Left").
  struct Corner {
    int x, y, column, row;
  };
  for (const Corner& k : {Corner{kLeft, kBottom, 0, 0}, Corner{kRight, kBottom, kW - 1, 0},
                          Corner{kLeft, kTop, 0, kH - 1}, Corner{kRight, kTop, kW - 1, kH - 1},
                          Corner{kLeft + 1, kBottom + 1, 0, 0}, Corner{kLeft + 2, kBottom, 1, 0}}) {
    EXPECT_EQ(shown.at(k.x, k.y), colourOf(valueAt(k.column, k.row))) << k.x << ", " << k.y;
  }
  EXPECT_EQ(shown.at(kLeft, kBottom), (Pixel{0, 60, 0}));
  EXPECT_EQ(shown.at(kRight, kTop), (Pixel{0, 255, 0}));
  const std::pair<int, int> outside[] = {{kLeft - 1, kBottom},  {kLeft, kBottom - 1},
                                         {kRight + 1, kBottom}, {kRight, kTop + 1},
                                         {kLeft - 1, kTop},     {kRight + 1, kTop + 1}};
  for (const auto& [x, y] : outside)
    EXPECT_EQ(shown.at(x, y), kBlack) << x << ", " << y;

  // Another view size keeps the picture centred.
  const sxhost::Rgb wide = c(kPreview).render(410, 260);
  EXPECT_EQ(wide.at(105, kBottom), colourOf(kLowest));
  EXPECT_EQ(wide.at(104, kBottom), kBlack);
  EXPECT_EQ(wide.at(304, kTop), colourOf(kHighest));
  EXPECT_EQ(wide.at(305, kTop), kBlack);

  // "Upper Left" turns the picture upside down.
  c(kUpperLeft).press();
  const sxhost::Rgb flipped = picture();
  EXPECT_EQ(flipped.at(kLeft, kTop), colourOf(valueAt(0, 0)));
  EXPECT_EQ(flipped.at(kRight, kBottom), colourOf(valueAt(kW - 1, kH - 1)));
}

TEST_F(PreviewTest, OrientationChangesRebuildThePictureAndClearTheStatus) {
  startLoaded();
  c(kRows).press();  // already chosen: only the status is cleared
  EXPECT_EQ(c(kStatus).text(), "");
  const sxhost::Rgb rows = picture();
  c(kCols).press();
  EXPECT_TRUE(c(kCols).checked());
  EXPECT_FALSE(c(kRows).checked());
  // Each source row of column-major data is one terrain column: the 100 x 50 source is a
  // terrain 50 columns wide, drawn 100 x 200 at (55, 30), south-west sample first.
  const sxhost::Rgb cols = picture();
  EXPECT_NE(cols.pixels, rows.pixels);
  EXPECT_EQ(cols.at(55, 30), rows.at(kLeft, kBottom));
  EXPECT_EQ(cols.at(54, 30), kBlack);
  EXPECT_NE(cols.at(55 + 99, 30 + 199), kBlack);
  EXPECT_EQ(cols.at(55 + 100, 30 + 199), kBlack);
  c(kRows).press();
  EXPECT_EQ(picture().pixels, rows.pixels);
}

TEST_F(PreviewTest, WithoutMemoryForThePreviewTheSourceStillLoadsAndConverts) {
  // The 200 x 100 samples are refused; the source, its rows and the posts are smaller.
  const auto refuse = sxhost::AllocationFailure::above(2 * kW * 2 * kH - 1);
  startLoaded();
  EXPECT_TRUE(c(kPreview).visible());
  EXPECT_TRUE(c(kGenerate).enabled());
  expectVisible({kShaded, kInvert, kRamp, kDefaultColors}, false);
  const sxhost::Rgb shown = picture();
  EXPECT_EQ(shown.at(kLeft, kBottom), kBlack);
  EXPECT_EQ(shown.at(105, 130), kBlack);

  const std::string output = dir.path("grid.ded");
  generate(output);
  EXPECT_EQ(c(kStatus).text(), "DED file created");
  const DedFile ded = DedFile::read(output);
  ASSERT_EQ(ded.bytes.size(), 200u + 2 * kW * kH);
  EXPECT_EQ(ded.post(0, 0), kLowest);
  EXPECT_EQ(ded.post(kW - 1, kH - 1), kHighest);
}

TEST_F(PreviewTest, ConstantDataShowsTheMiddleOfTheRampAndMapsToTheMinimum) {
  const std::string source = dir.path("flat.raw");
  writeFile(source, std::string(kW * kH, '\7'));
  startBinary(source, kW, kH);
  expectTexts({{kStatus, "Done"}, {kRawMin, "7"}, {kRawMax, "7"}});
  const auto t = static_cast<float>(128 / 255.0);
  const Pixel middle{0, static_cast<std::uint8_t>(static_cast<int>(60 + t * 195.0f)), 0};
  const sxhost::Rgb shown = picture();
  EXPECT_EQ(shown.at(kLeft, kBottom), middle);
  EXPECT_EQ(shown.at(kRight, kTop), middle);

  c(kDedMax).type("50");
  const std::string output = dir.path("flat.ded");
  generate(output);
  const DedFile ded = DedFile::read(output);
  EXPECT_EQ(ded.range(), (std::pair{7, 50}));
  EXPECT_EQ(ded.posts(), std::vector<std::int16_t>(kW * kH, 7));
}

TEST_F(PreviewTest, InvertTwiceAndShadingTwiceGiveThePictureBack) {
  startLoaded();
  const sxhost::Rgb flat = picture();
  c(kInvert).press();
  EXPECT_TRUE(c(kInvert).checked());
  const sxhost::Rgb inverted = picture();
  EXPECT_EQ(inverted.at(kLeft, kBottom), (Pixel{0, 255, 0}));
  EXPECT_EQ(inverted.at(kRight, kTop), (Pixel{0, 60, 0}));
  c(kInvert).press();
  EXPECT_FALSE(c(kInvert).checked());
  EXPECT_EQ(picture().pixels, flat.pixels);

  // Shading darkens the inside and leaves the border.
  c(kShaded).press();
  const sxhost::Rgb shaded = picture();
  int inner = 0;
  for (int y = kBottom; y <= kTop; ++y) {
    for (int x = kLeft; x <= kRight; ++x) {
      const Pixel before = flat.at(x, y);
      const Pixel after = shaded.at(x, y);
      if (x == kLeft || x == kRight || y == kBottom || y == kTop) {
        ASSERT_EQ(after, before) << x << ", " << y;
      } else {
        // Shading never brightens, and every pixel here has some green to lose.
        ASSERT_LT(after.g, before.g) << x << ", " << y;
        ASSERT_LE(after.r, before.r) << x << ", " << y;
        ++inner;
      }
    }
  }
  EXPECT_EQ(inner, (2 * kW - 2) * (2 * kH - 2));
  EXPECT_EQ(shaded.at(0, 0), kBlack);
  c(kShaded).press();
  EXPECT_EQ(picture().pixels, flat.pixels);
}

TEST_F(PreviewTest, RampClicksEditTheBottomAndTopColours) {
  startLoaded();
  const sxhost::Rgb original = picture();
  const sxhost::Rgb defaultRamp = ramp();
  EXPECT_TRUE(near(defaultRamp.at(0, 11), kBottomDefault));
  EXPECT_TRUE(near(defaultRamp.at(169, 11), kTopDefault));

  // Only a press asks for a colour; a cancelled prompt or the same colour changes nothing.
  c(kRamp).mouse(SX_MOUSE_MOVE, 10, 5);
  c(kRamp).mouse(SX_MOUSE_RELEASE, 10, 5);
  c(kPreview).mouse(SX_MOUSE_RELEASE, 10, 5);
  EXPECT_TRUE(responder().colourPrompts().empty());
  c(kRamp).click(10, 5);
  responder().queueColour(kTopDefault);
  c(kRamp).click(150, 5);
  EXPECT_EQ(responder().colourPrompts().size(), 2u);
  EXPECT_FALSE(c(kDefaultColors).enabled());
  EXPECT_EQ(picture().pixels, original.pixels);
  EXPECT_EQ(ramp().pixels, defaultRamp.pixels);

  // The middle pixel of the ramp still edits the bottom colour.
  const Colour red{200, 0, 0};
  responder().queueColour(red);
  c(kRamp).click(85, 11);
  ASSERT_EQ(responder().colourPrompts().size(), 3u);
  const sxhost::ColourPrompt asked = responder().colourPrompts()[2].prompt;
  EXPECT_EQ((std::vector<int>{asked.r, asked.g, asked.b}), (std::vector<int>{0, 60, 0}));
  EXPECT_TRUE(near(ramp().at(0, 11), red));
  EXPECT_EQ(picture().at(kLeft, kBottom), colourOf(kLowest, red));
  EXPECT_TRUE(c(kDefaultColors).enabled());

  // Beyond the middle, the top colour.
  const Colour blue{0, 0, 255};
  responder().queueColour(blue);
  c(kRamp).click(86, 11);
  ASSERT_EQ(responder().colourPrompts().size(), 4u);
  EXPECT_EQ(responder().colourPrompts()[3].prompt.g, 255);
  const sxhost::Rgb edited = ramp();
  EXPECT_TRUE(near(edited.at(0, 11), red));
  EXPECT_TRUE(near(edited.at(169, 11), blue));
  const sxhost::Rgb recoloured = picture();
  EXPECT_EQ(recoloured.at(kRight, kTop), colourOf(kHighest, red, blue));
  EXPECT_EQ(recoloured.at(kRight, kBottom), colourOf(valueAt(kW - 1, 0), red, blue));

  // "Default" restores both and is disabled afterwards.
  c(kDefaultColors).press();
  EXPECT_FALSE(c(kDefaultColors).enabled());
  EXPECT_EQ(picture().pixels, original.pixels);
  EXPECT_EQ(ramp().pixels, defaultRamp.pixels);

  // The colours are saved with the settings.
  responder().queueColour({1, 2, 3});
  c(kRamp).click(0, 0);
  main().close();
  for (const auto& [key, value] :
       {std::pair{"BottomRed", 1}, {"BottomGreen", 2}, {"BottomBlue", 3}, {"TopGreen", 255}}) {
    EXPECT_EQ(pref(key), sxhost::PrefValue{value}) << key;
  }
}

TEST_F(PreviewTest, ClickOnThePreviewSetsTheBackgroundColour) {
  startLoaded();
  const sxhost::Rgb before = picture();

  c(kPreview).click(2, 2);  // cancelled
  EXPECT_EQ(picture().pixels, before.pixels);

  responder().queueColour({10, 20, 30});
  c(kPreview).click(100, 100);
  ASSERT_EQ(responder().colourPrompts().size(), 2u);
  EXPECT_EQ(responder().colourPrompts()[1].prompt.r, 0);
  const sxhost::Rgb shown = picture();
  EXPECT_EQ(shown.at(0, 0), (Pixel{10, 20, 30}));
  EXPECT_EQ(shown.at(kRight + 1, kTop), (Pixel{10, 20, 30}));
  EXPECT_EQ(shown.at(kLeft, kBottom), before.at(kLeft, kBottom));
  EXPECT_EQ(shown.at(kRight, kTop), before.at(kRight, kTop));

  // The next prompt starts from the colour chosen.
  responder().queueColour({10, 20, 30});
  c(kPreview).click(100, 100);
  EXPECT_EQ(responder().colourPrompts()[2].prompt.b, 30);

  // A display choice only: not saved, black again at the next show.
  main().close();
  for (const auto& [key, value] : host.preferences().tools().at(kTool))
    EXPECT_EQ(key.find("Background"), std::string::npos) << key;
  start();
  EXPECT_EQ(picture().at(0, 0), kBlack);
}

}  // namespace
}  // namespace relievo::e2e
