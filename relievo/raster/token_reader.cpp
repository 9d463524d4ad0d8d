#include "raster/token_reader.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "raster/number_parser.h"

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

// Reads up to `bytes` bytes at `offset`; the bytes read, 0 at the end or on an error.
std::size_t readAt(int fd, char* into, std::size_t bytes, std::int64_t offset) {
  for (;;) {
    const ssize_t got = ::pread(fd, into, bytes, static_cast<off_t>(offset));
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return 0;
  }
}

int descriptorOf(std::FILE* file) {
  return file != nullptr ? fileno(file) : -1;
}

std::int64_t positionOf(std::FILE* file) {
  return file != nullptr ? static_cast<std::int64_t>(std::ftell(file)) : 0;
}

}  // namespace

AsciiTokenReader::AsciiTokenReader(std::FILE* file, std::size_t bufferBytes) noexcept
    : fd_(descriptorOf(file)),
      offset_(positionOf(file)),
      base_(offset_),
      size_(std::max(bufferBytes, kTokenBufferMinimum)),
      owned_(hostBlock<char>(size_)),
      buffer_(owned_.get()) {}

AsciiTokenReader::AsciiTokenReader(int fd, std::int64_t offset, char* buffer,
                                   std::size_t bufferBytes) noexcept
    : fd_(fd),
      offset_(offset),
      base_(offset),
      size_(bufferBytes),
      buffer_(bufferBytes >= kTokenBufferMinimum ? buffer : nullptr) {}

bool AsciiTokenReader::refill() {
  if (ended_) return false;
  std::memmove(buffer_, buffer_ + pos_, end_ - pos_);
  end_ -= pos_;
  base_ += static_cast<std::int64_t>(pos_);
  pos_ = 0;
  const std::size_t got = fd_ < 0 ? 0 : readAt(fd_, buffer_ + end_, size_ - end_, offset_);
  end_ += got;
  offset_ += static_cast<std::int64_t>(got);
  if (got == 0) ended_ = true;
  return got != 0;
}

bool AsciiTokenReader::toTokenStart() {
  if (!ready()) return false;
  for (;;) {
    while (pos_ < end_ && (classOf(buffer_[pos_]) & kStart) == 0)
      ++pos_;
    if (pos_ < end_) break;
    if (!refill()) return false;
  }
  // Whether a token is complete, too long or not yet ended shows within its first
  // kTokenLimit + 1 characters; have them in the buffer unless the text ends sooner.
  while (end_ - pos_ <= kTokenLimit && refill()) {
  }
  return true;
}

std::size_t AsciiTokenReader::tokenLength() const {
  const char* start = buffer_ + pos_;
  const std::size_t available = end_ - pos_;
  std::size_t length = 1;
  while (length < available && length < kTokenLimit) {
    const unsigned char c = classOf(start[length]);
    const bool belongs =
        (c & kBody) != 0 || ((c & kSign) != 0 && (classOf(start[length - 1]) & kExponent) != 0);
    if (!belongs) break;
    ++length;
  }
  return length;
}

bool AsciiTokenReader::next(std::string_view& token) {
  if (!toTokenStart()) return false;
  const std::size_t length = tokenLength();
  if (length >= kTokenLimit) return false;
  token = std::string_view(buffer_ + pos_, length);
  // The character that ended the token goes with it.
  pos_ += std::min(length + 1, end_ - pos_);
  return true;
}

TokenStatus AsciiTokenReader::nextValue(double& value, std::int64_t limit) {
  if (!toTokenStart() || base_ + static_cast<std::int64_t>(pos_) >= limit) return TokenStatus::End;
  const std::string_view rest(buffer_ + pos_, end_ - pos_);
  // A plain decimal followed by a separator, or by the end of the text, is the whole token.
  const std::size_t plain = plainDecimalPrefix(rest, &value);
  if (plain > 0 && (plain < rest.size() ? classOf(rest[plain]) == 0 : ended_)) {
    pos_ += std::min(plain + 1, rest.size());
    return TokenStatus::Value;
  }
  std::string_view token;
  if (!next(token)) return TokenStatus::TooLong;
  value = asciiParseNumber(token);
  return TokenStatus::Value;
}

std::int64_t textSyncPoint(int fd, std::int64_t offset, std::int64_t size, char* buffer,
                           std::size_t bufferBytes) {
  while (offset < size) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(size - offset, std::int64_t(bufferBytes)));
    const std::size_t got = readAt(fd, buffer, want, offset);
    if (got == 0) return size;
    for (std::size_t i = 0; i < got; ++i) {
      if (classOf(buffer[i]) == 0) return offset + static_cast<std::int64_t>(i) + 1;
    }
    offset += static_cast<std::int64_t>(got);
  }
  return size;
}

}  // namespace relievo
