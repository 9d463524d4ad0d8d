// The delimiter table: seven delimiter choices of an ASCII source with their characters.
// Row types equal the positions of the "Delimiter" menu. The "Other" row's character is set
// at run time and kept in the source's layout (SourceLayout::otherDelimiter). No reader uses
// the delimiter: numbers are picked out of the text whatever separates them; the choice is
// kept with the source for the user.
#ifndef RELIEVO_RASTER_DELIMITERS_H
#define RELIEVO_RASTER_DELIMITERS_H

#include <cstdint>

#include "raster/source_layout.h"

namespace relievo {

inline constexpr std::int32_t kDelimiterSpace = 5;
inline constexpr std::int32_t kDelimiterOther = 7;
inline constexpr int kDelimiterCount = 7;
// The "Other" row's character until the user or the stored settings give another.
inline constexpr char kDefaultOtherDelimiter = ' ';

// The menu label of row type, or null when no row has that type.
const char* delimiterLabel(int type);
// The character of row type (the "Other" row's from source), or a space when no row has
// that type.
char delimiterChar(const SourceLayout& source, int type);
// The set-delimiter-character rule: the first row whose character is c, or else the "Other"
// row, takes c and becomes the selected type.
void setDelimiterCharacter(SourceLayout& source, char c);

}  // namespace relievo

#endif  // RELIEVO_RASTER_DELIMITERS_H
