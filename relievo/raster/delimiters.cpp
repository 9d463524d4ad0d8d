#include "raster/delimiters.h"

#include <array>

namespace relievo {

namespace {

struct DelimiterRow {
  std::int32_t type;
  const char* label;
  char character;  // unused for the "Other" row, whose character is the layout's
};

constexpr std::array<DelimiterRow, kDelimiterCount> kDelimiters{{
    {1, "<colon>", ':'},
    {2, "<semi-colon>", ';'},
    {3, "<vertical-bar>", '|'},
    {4, "<comma>", ','},
    {5, "<space>", ' '},
    {6, "<tab>", '\t'},
    {kDelimiterOther, "Other", ' '},
}};

const DelimiterRow* rowOf(int type) {
  for (const DelimiterRow& row : kDelimiters) {
    if (row.type == type) return &row;
  }
  return nullptr;
}

}  // namespace

const char* delimiterLabel(int type) {
  const DelimiterRow* row = rowOf(type);
  return row != nullptr ? row->label : nullptr;
}

char delimiterChar(const SourceLayout& source, int type) {
  if (type == kDelimiterOther) return source.otherDelimiter;
  const DelimiterRow* row = rowOf(type);
  return row != nullptr ? row->character : ' ';
}

void setDelimiterCharacter(SourceLayout& source, char c) {
  std::int32_t chosen = kDelimiterOther;
  for (const DelimiterRow& row : kDelimiters) {
    if (delimiterChar(source, row.type) == c) {
      chosen = row.type;
      break;
    }
  }
  if (chosen == kDelimiterOther) source.otherDelimiter = c;
  source.delimiterType = chosen;
}

}  // namespace relievo
