// AsciiTokenReader: picks number tokens out of a text file, reading it in blocks.
//
// A token starts at a digit, '-', '+' or '.'; it goes on over digits, '.', 'e', 'E', 'd' and
// 'D', and over '-' or '+' right after an exponent letter. Every other character is a
// separator. The character that ends a token is consumed with it, so "12-5" gives "12" and
// "5". A token of kTokenLimit characters or more is an error that ends the reading.
#ifndef RELIEVO_RASTER_TOKEN_READER_H
#define RELIEVO_RASTER_TOKEN_READER_H

#include <cstddef>
#include <cstdio>
#include <string_view>

#include "raster/host_memory.h"

namespace relievo {

// Tokens must be shorter than this: at most 38 characters.
inline constexpr std::size_t kTokenLimit = 39;

class AsciiTokenReader {
 public:
  // Reads `file` from its current position; the file stays the caller's. The buffer comes
  // from sxMalloc.
  explicit AsciiTokenReader(std::FILE* file, std::size_t bufferBytes = 64 * 1024) noexcept;

  // False when the host refused the buffer: the reader then gives no token.
  bool ready() const { return buffer_ != nullptr; }
  // Stores the next token in `token` (valid until the next call) and returns true; false at
  // the end of the text, when the token is too long or when the reader is not ready.
  bool next(std::string_view& token);

 private:
  // Keeps the unread bytes, moved to the front, and reads more after them; false when
  // nothing more could be read.
  bool refill();

  std::FILE* file_;
  std::size_t size_;
  HostBlock<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

}  // namespace relievo

#endif  // RELIEVO_RASTER_TOKEN_READER_H
