// AsciiTokenReader: picks number tokens out of a text file, reading it in blocks.
//
// A token starts at a digit, '-', '+' or '.'; it goes on over digits, '.', 'e', 'E', 'd' and
// 'D', and over '-' or '+' right after an exponent letter. Every other character is a
// separator. The character that ends a token is consumed with it, so "12-5" gives "12" and
// "5". A token of kTokenLimit characters or more is an error that ends the reading.
//
// After a byte that belongs to no token (a blank, a line break, a comma, a letter other than
// an exponent letter) the reader is always looking for the start of a token, whatever came
// before: text cut just after such a byte reads, piece by piece, as the whole text reads.
// That is how the text pass shares a file among threads (textSyncPoint).
#ifndef RELIEVO_RASTER_TOKEN_READER_H
#define RELIEVO_RASTER_TOKEN_READER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>

#include "raster/host_memory.h"

namespace relievo {

// Tokens must be shorter than this: at most 38 characters.
inline constexpr std::size_t kTokenLimit = 39;
// Buffers must hold at least this many bytes: two tokens' worth.
inline constexpr std::size_t kTokenBufferMinimum = 2 * kTokenLimit;

enum class TokenStatus {
  Value,    // a token was read
  End,      // the text ended, or the next token starts at or after the limit
  TooLong,  // the next token is too long: the reading ends
};

class AsciiTokenReader {
 public:
  // Reads `file` from its current position; the file stays the caller's. The buffer comes
  // from sxMalloc.
  explicit AsciiTokenReader(std::FILE* file, std::size_t bufferBytes = 64 * 1024) noexcept;
  // Reads the file open as `fd` from byte `offset` on, through the caller's buffer of
  // bufferBytes (at least kTokenBufferMinimum); allocates nothing, so any thread may use it.
  AsciiTokenReader(int fd, std::int64_t offset, char* buffer, std::size_t bufferBytes) noexcept;

  // False when the host refused the buffer: the reader then gives no token.
  bool ready() const { return buffer_ != nullptr; }
  // Stores the next token in `token` (valid until the next call) and returns true; false at
  // the end of the text, when the token is too long or when the reader is not ready.
  bool next(std::string_view& token);
  // The value of the next token, as asciiParseNumber gives it, unless the token starts at or
  // after file offset `limit`, which is then left unread.
  TokenStatus nextValue(double& value,
                        std::int64_t limit = std::numeric_limits<std::int64_t>::max());
  // The file offset the reading has reached: where it looks for the next token.
  std::int64_t position() const { return base_ + static_cast<std::int64_t>(pos_); }

 private:
  // Moves to the start of the next token with the bytes that decide it in the buffer; false
  // at the end of the text.
  bool toTokenStart();
  // The length of the token at the read position; kTokenLimit or more when too long.
  std::size_t tokenLength() const;
  // Keeps the unread bytes, moved to the front, and reads more after them; false when
  // nothing more could be read.
  bool refill();

  int fd_;
  std::int64_t offset_;  // file offset of the next byte to read into the buffer
  std::int64_t base_;    // file offset of buffer_[0]
  std::size_t size_;
  HostBlock<char> owned_;
  char* buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

// Where a reading started at or after `offset` of a file of `size` bytes is sure to be looking
// for a token start: just past the first byte at or after offset that belongs to no token, or
// the end of the file. Reads from `fd` through `buffer`.
std::int64_t textSyncPoint(int fd, std::int64_t offset, std::int64_t size, char* buffer,
                           std::size_t bufferBytes);

}  // namespace relievo

#endif  // RELIEVO_RASTER_TOKEN_READER_H
