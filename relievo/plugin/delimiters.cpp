#include "plugin/delimiters.h"

#include <array>

namespace relievo {

namespace {

struct DelimiterRow {
  std::int32_t type;
  const char* label;
  char character;
};

constexpr std::array<DelimiterRow, kDelimiterCount> kInitialDelimiters{{
    {1, "<colon>", ':'},
    {2, "<semi-colon>", ';'},
    {3, "<vertical-bar>", '|'},
    {4, "<comma>", ','},
    {5, "<space>", ' '},
    {6, "<tab>", '\t'},
    {7, "Other", ' '},
}};

std::array<DelimiterRow, kDelimiterCount> delimiters = kInitialDelimiters;

DelimiterRow* rowOf(int type) {
  for (DelimiterRow& row : delimiters) {
    if (row.type == type) return &row;
  }
  return nullptr;
}

}  // namespace

const char* delimiterLabel(int type) {
  const DelimiterRow* row = rowOf(type);
  return row != nullptr ? row->label : nullptr;
}

char delimiterChar(int type) {
  const DelimiterRow* row = rowOf(type);
  return row != nullptr ? row->character : ' ';
}

void setDelimiterCharacter(ToolState* state, char c) {
  DelimiterRow* chosen = rowOf(kDelimiterOther);
  for (DelimiterRow& row : delimiters) {
    if (row.character == c) {
      chosen = &row;
      break;
    }
  }
  chosen->character = c;
  state->delimiterType = chosen->type;
}

void setOtherDelimiter(char c) {
  rowOf(kDelimiterOther)->character = c;
}

void delimitersReset() {
  delimiters = kInitialDelimiters;
}

}  // namespace relievo
