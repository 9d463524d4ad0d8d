#include "plugin/delimiters.h"

#include <gtest/gtest.h>

namespace relievo {
namespace {

TEST(Delimiters, TableInMenuOrder) {
  const char* labels[] = {"<colon>", "<semi-colon>", "<vertical-bar>", "<comma>",
                          "<space>", "<tab>",        "Other"};
  const char characters[] = {':', ';', '|', ',', ' ', '\t', ' '};
  for (int type = 1; type <= kDelimiterCount; ++type) {
    EXPECT_STREQ(delimiterLabel(type), labels[type - 1]);
    EXPECT_EQ(delimiterChar(type), characters[type - 1]);
  }
  EXPECT_EQ(delimiterLabel(8), nullptr);
  EXPECT_EQ(delimiterChar(0), ' ');
}

TEST(Delimiters, ACharacterSelectsTheFirstRowHoldingItElseGoesToOther) {
  // {character typed, row selected, the "Other" row's character afterwards}
  const char steps[][3] = {{',', 4, ' '},
                           {' ', kDelimiterSpace, ' '},
                           {'#', kDelimiterOther, '#'},
                           {'#', kDelimiterOther, '#'},  // now found in the Other row itself
                           {';', 2, '#'}};
  ToolState state{};
  for (const auto& [typed, type, other] : steps) {
    setDelimiterCharacter(&state, typed);
    EXPECT_EQ(state.delimiterType, type) << typed;
    EXPECT_EQ(delimiterChar(kDelimiterOther), other) << typed;
  }
  delimitersReset();
}

}  // namespace
}  // namespace relievo
