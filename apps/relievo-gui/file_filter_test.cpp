#include "file_filter.h"

#include <gtest/gtest.h>

namespace relievo::gui {
namespace {

TEST(FileFilter, PromptPatternsBecomeFltkFilters) {
  const struct {
    const char* pattern;
    const char* filter;
  } cases[] = {
      {"Raster Files|*.*||Text Files|*.txt", "Raster Files\t*\nText Files\t*.txt"},
      {"DED Files|*.ded", "DED Files\t*.ded"},
      {"Images|*.rgb;*.png|All|*.*||", "Images\t*.{rgb,png}\nAll\t*"},
      {"Odd|data?.b*;x", "Odd\tdata?.b*;x"},
      {"Lonely description", ""},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(fltkFilter(c.pattern), c.filter) << c.pattern;
}

}  // namespace
}  // namespace relievo::gui
