// The delimiter table: seven delimiter choices of an ASCII source with their characters.
// Row types equal the positions of the "Delimiter" menu. There is one table for the whole
// plug-in; the "Other" row's character is set at run time and is module state (reset when
// the plug-in exits). No reader uses the delimiter: numbers are picked out of the text
// whatever separates them; the choice is kept with the source for the user.
#ifndef RELIEVO_PLUGIN_DELIMITERS_H
#define RELIEVO_PLUGIN_DELIMITERS_H

#include <cstdint>

#include "plugin/tool_state.h"

namespace relievo {

inline constexpr std::int32_t kDelimiterSpace = 5;
inline constexpr std::int32_t kDelimiterOther = 7;
inline constexpr int kDelimiterCount = 7;

// The menu label of row type, or null when no row has that type.
const char* delimiterLabel(int type);
// The character of row type, or a space when no row has that type.
char delimiterChar(int type);
// The set-delimiter-character rule: the first row whose character is c, or else the "Other"
// row, takes c and becomes the selected type.
void setDelimiterCharacter(ToolState* state, char c);
// Stores c as the "Other" row's character without selecting it.
void setOtherDelimiter(char c);
// Puts the "Other" row back to a space.
void delimitersReset();

}  // namespace relievo

#endif  // RELIEVO_PLUGIN_DELIMITERS_H
