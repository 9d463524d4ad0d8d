#include "plugin/delimiters.h"

#include <gtest/gtest.h>

namespace relievo {
namespace {

class Delimiters : public testing::Test {
 protected:
  void TearDown() override { delimitersReset(); }
  ToolState state{};
};

TEST_F(Delimiters, TableInMenuOrder) {
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

TEST_F(Delimiters, AKnownCharacterSelectsItsRow) {
  setDelimiterCharacter(&state, ',');
  EXPECT_EQ(state.delimiterType, 4);
  EXPECT_EQ(delimiterChar(kDelimiterOther), ' ');
  setDelimiterCharacter(&state, ' ');
  EXPECT_EQ(state.delimiterType, kDelimiterSpace);
}

TEST_F(Delimiters, AnyOtherCharacterGoesToTheOtherRow) {
  setDelimiterCharacter(&state, '#');
  EXPECT_EQ(state.delimiterType, kDelimiterOther);
  EXPECT_EQ(delimiterChar(kDelimiterOther), '#');
  setDelimiterCharacter(&state, '#');  // now found in the Other row itself
  EXPECT_EQ(state.delimiterType, kDelimiterOther);
  setDelimiterCharacter(&state, ';');
  EXPECT_EQ(state.delimiterType, 2);
  EXPECT_EQ(delimiterChar(kDelimiterOther), '#');
}

}  // namespace
}  // namespace relievo
