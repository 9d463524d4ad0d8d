#include "raster/delimiters.h"

#include <gtest/gtest.h>

namespace relievo {
namespace {

// The rows themselves are the menu's, checked as the dialog shows them; here only what
// lies outside the table: the "Other" row's character and types no row has.
TEST(Delimiters, TheOtherRowTakesItsCharacterFromTheSourceAndUnknownTypesHaveNone) {
  SourceLayout source{};
  source.otherDelimiter = '#';
  EXPECT_EQ(delimiterChar(source, kDelimiterOther), '#');
  EXPECT_EQ(delimiterChar(source, 0), ' ');
  EXPECT_EQ(delimiterChar(source, kDelimiterCount + 1), ' ');
  EXPECT_EQ(delimiterLabel(kDelimiterCount + 1), nullptr);
  EXPECT_EQ(delimiterLabel(0), nullptr);
}

TEST(Delimiters, ACharacterSelectsTheFirstRowHoldingItElseGoesToOther) {
  // {character typed, row selected, the "Other" row's character afterwards}
  const char steps[][3] = {{',', 4, ' '},
                           {' ', kDelimiterSpace, ' '},
                           {'#', kDelimiterOther, '#'},
                           {'#', kDelimiterOther, '#'},  // now found in the Other row itself
                           {';', 2, '#'}};
  SourceLayout source{};
  source.otherDelimiter = kDefaultOtherDelimiter;
  for (const auto& [typed, type, other] : steps) {
    setDelimiterCharacter(source, typed);
    EXPECT_EQ(source.delimiterType, type) << typed;
    EXPECT_EQ(source.otherDelimiter, other) << typed;
  }
}

}  // namespace
}  // namespace relievo
