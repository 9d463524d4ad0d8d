#include "fl_support.h"

#include <gtest/gtest.h>

namespace relievo::gui {
namespace {

TEST(FlSupport, LabelsAreDrawnLiterally) {
  EXPECT_EQ(literalLabel("me@host & co", false), "me@@host & co");
  EXPECT_EQ(literalLabel("me@host & co", true), "me@@host && co");
  EXPECT_EQ(literalLabel("<<-", true), "<<-");
}

}  // namespace
}  // namespace relievo::gui
