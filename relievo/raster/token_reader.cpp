#include "raster/token_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace relievo {

namespace {

enum CharClass : unsigned char {
  kStart = 1,     // may begin a token
  kBody = 2,      // may continue a token
  kSign = 4,      // continues a token right after an exponent letter
  kExponent = 8,  // lets a sign follow
};

constexpr std::array<unsigned char, 256> makeClasses() {
  std::array<unsigned char, 256> classes{};
  for (char c = '0'; c <= '9'; ++c)
    classes[static_cast<unsigned char>(c)] = kStart | kBody;
  classes['.'] = kStart | kBody;
  classes['-'] = kStart | kSign;
  classes['+'] = kStart | kSign;
  for (char c : {'e', 'E', 'd', 'D'})
    classes[static_cast<unsigned char>(c)] = kBody | kExponent;
  return classes;
}

constexpr std::array<unsigned char, 256> kClasses = makeClasses();

unsigned char classOf(char c) {
  return kClasses[static_cast<unsigned char>(c)];
}

}  // namespace

AsciiTokenReader::AsciiTokenReader(std::FILE* file, std::size_t bufferBytes) noexcept
    : file_(file), size_(std::max(bufferBytes, 2 * kTokenLimit)), buffer_(hostBlock<char>(size_)) {}

bool AsciiTokenReader::refill() {
  if (ended_) return false;
  std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
  end_ -= pos_;
  pos_ = 0;
  const std::size_t got = std::fread(buffer_.get() + end_, 1, size_ - end_, file_);
  end_ += got;
  if (got == 0) ended_ = true;
  return got != 0;
}

bool AsciiTokenReader::next(std::string_view& token) {
  if (!ready()) return false;
  for (;;) {
    while (pos_ < end_ && (classOf(buffer_.get()[pos_]) & kStart) == 0)
      ++pos_;
    if (pos_ < end_) break;
    if (!refill()) return false;
  }
  // Whether a token is complete, too long or not yet ended shows within its first
  // kTokenLimit + 1 characters; have them in the buffer unless the text ends sooner.
  while (end_ - pos_ <= kTokenLimit && refill()) {
  }
  const char* start = buffer_.get() + pos_;
  const std::size_t available = end_ - pos_;
  std::size_t length = 1;
  while (length < available) {
    const unsigned char c = classOf(start[length]);
    const bool belongs =
        (c & kBody) != 0 || ((c & kSign) != 0 && (classOf(start[length - 1]) & kExponent) != 0);
    if (!belongs) break;
    if (length >= kTokenLimit) return false;
    ++length;
  }
  if (length >= kTokenLimit) return false;
  token = std::string_view(start, length);
  // The character that ended the token goes with it.
  pos_ += std::min(length + 1, available);
  return true;
}

}  // namespace relievo
