#include "fl_support.h"

#include <FL/Fl_Image.H>
#include <gtest/gtest.h>

namespace relievo::gui {
namespace {

TEST(FlSupport, LabelsAreDrawnLiterally) {
  EXPECT_EQ(literalLabel("me@host & co", false), "me@@host & co");
  EXPECT_EQ(literalLabel("me@host & co", true), "me@@host && co");
  EXPECT_EQ(literalLabel("<<-", true), "<<-");
}

TEST(FlSupport, PixmapImagesOwnTheirPixels) {
  sxhost::Pixmap pixmap{7, 2, 1, {1, 2, 3, 255, 4, 5, 6, 0}};
  const auto image = pixmapImage(pixmap);
  pixmap.rgba.assign(8, 0);
  ASSERT_EQ(image->count(), 1);
  EXPECT_EQ(std::make_tuple(image->w(), image->h(), image->d()), std::make_tuple(2, 1, 4));
  const auto* pixels = reinterpret_cast<const unsigned char*>(image->data()[0]);
  EXPECT_EQ(pixels[4], 4);
  EXPECT_EQ(pixels[7], 0);
}

}  // namespace
}  // namespace relievo::gui
