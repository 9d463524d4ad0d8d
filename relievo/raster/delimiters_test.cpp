#include "raster/delimiters.h"

#include <gtest/gtest.h>

namespace relievo {
namespace {

TEST(Delimiters, TableInMenuOrder) {
  const char* labels[] = {"<colon>", "<semi-colon>", "<vertical-bar>", "<comma>",
                          "<space>", "<tab>",        "Other"};
  const char characters[] = {':', ';', '|', ',', ' ', '\t', '#'};
  SourceLayout source{};
  source.otherDelimiter = '#';
  for (int type = 1; type <= kDelimiterCount; ++type) {
    EXPECT_STREQ(delimiterLabel(type), labels[type - 1]);
    EXPECT_EQ(delimiterChar(source, type), characters[type - 1]);
  }
  EXPECT_EQ(delimiterLabel(8), nullptr);
  EXPECT_EQ(delimiterChar(source, 0), ' ');
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
