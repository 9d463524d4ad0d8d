#include "ded/ded_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <optional>
#include <string_view>

namespace relievo {

namespace {

constexpr std::int32_t kHeaderLength = 128;
constexpr std::int32_t kRangeRecordTag = 1;
constexpr std::string_view kTag = "KTLX";
constexpr std::string_view kGeographicMarker = "DMA1    ";
constexpr std::string_view kVersion = "V1.0    ";
constexpr std::string_view kUtm = "UTM";
constexpr std::size_t kCtimeSize = 26;
constexpr std::size_t kCtimeTextSize = 24;
constexpr std::size_t kHeaderBlanks = 26 + 52;  // two blank fields end the header
constexpr char kBlank = ' ';

constexpr float kFeetPerArcSecond = 101.26667f;
constexpr float kTenthsPerArcSecond = 10.0f;
constexpr float kHalf = 2.0f;
constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kFeetPerMetre = 3.28084f;

// Numbers in the file are big-endian; a little-endian machine swaps them.
constexpr bool kSwap = std::endian::native == std::endian::little;

// A record assembled in memory, so that it leaves in one write.
template <std::size_t Size>
class RecordBuilder {
 public:
  RecordBuilder() { bytes_.fill(static_cast<std::byte>(kBlank)); }

  void text(std::string_view s) {
    std::memcpy(bytes_.data() + used_, s.data(), s.size());
    used_ += s.size();
  }
  template <typename T>
  void number(T value) {
    auto raw = std::bit_cast<std::array<std::byte, sizeof(T)>>(value);
    if (kSwap) reverseBytes(raw);
    std::memcpy(bytes_.data() + used_, raw.data(), raw.size());
    used_ += raw.size();
  }
  // Leaves the next n bytes blank.
  void blanks(std::size_t n) { used_ += n; }

  // False when the stream did not take every byte.
  bool write(std::FILE* stream) const {
    return std::fwrite(bytes_.data(), 1, bytes_.size(), stream) == bytes_.size();
  }

 private:
  std::array<std::byte, Size> bytes_;
  std::size_t used_ = 0;
};

// The 26 bytes of ctime for now: 24 characters, a line feed and a NUL. Should the C library
// have no text for the time, the field stays blank so that the header keeps its layout.
std::array<char, kCtimeSize> creationTime() {
  std::array<char, kCtimeSize> field;
  field.fill(kBlank);
  const std::time_t now = std::time(nullptr);
  if (const char* text = std::ctime(&now); text != nullptr) {
    const std::string_view line(text, std::min(std::strlen(text), kCtimeTextSize));
    std::copy(line.begin(), line.end(), field.begin());
    std::replace(field.begin(), field.begin() + kCtimeTextSize, '\n', kBlank);
  }
  field[kCtimeTextSize] = '\n';
  field[kCtimeTextSize + 1] = '\0';
  return field;
}

// Offset of post `post` of data record `record`, records being n posts long; nothing when it
// lies before the data records or beyond what a stream position holds. The 32-bit ranges of
// the arguments keep every intermediate within 64 bits.
std::optional<long> postOffset(std::int32_t record, std::int32_t n, std::int32_t post) {
  constexpr std::int64_t kMaxPost = (std::numeric_limits<long>::max() - kDedDataOffset) / 2;
  const std::int64_t index = std::int64_t{record} * n + post;
  if (index < 0 || index > kMaxPost) return std::nullopt;
  return kDedDataOffset + 2 * static_cast<long>(index);
}

}  // namespace

void reverseBytes(std::span<std::byte> bytes) {
  std::reverse(bytes.begin(), bytes.end());
}

std::FILE* dedWriteHeader(std::FILE* stream) {
  if (stream == nullptr) return nullptr;
  const std::array<char, kCtimeSize> created = creationTime();
  RecordBuilder<kDedHeaderSize> header;
  header.number(kHeaderLength);
  header.text(kTag);
  header.text(kGeographicMarker);
  header.text(kVersion);
  header.text(std::string_view(created.data(), created.size()));
  header.blanks(kHeaderBlanks);
  return header.write(stream) ? stream : nullptr;
}

int dedIsUtm(std::FILE* stream) {
  if (stream == nullptr) return -1;
  const long position = std::ftell(stream);
  if (position < 0) return -1;
  // A failed probe (a write-only stream) must not leave an error that the caller did not cause.
  const bool hadError = std::ferror(stream) != 0;
  std::array<char, kDedMarkerSize> marker{};
  const bool read = std::fseek(stream, kDedMarkerOffset, SEEK_SET) == 0 &&
                    std::fread(marker.data(), 1, marker.size(), stream) == marker.size();
  if (!hadError) std::clearerr(stream);
  std::fseek(stream, position, SEEK_SET);
  if (!read) return 0;
  return std::string_view(marker.data(), marker.size()).find(kUtm) != std::string_view::npos ? 1
                                                                                             : 0;
}

int dedWriteRange(std::FILE* stream, std::int16_t minimum, std::int16_t maximum) {
  if (stream == nullptr || std::fseek(stream, kDedRangeOffset, SEEK_SET) != 0) return -1;
  RecordBuilder<kDedRangeSize> range;
  range.number(kRangeRecordTag);
  range.number(minimum);
  range.number(maximum);
  return range.write(stream) ? 0 : -1;
}

int dedWriteExtents(std::FILE* stream, float latSouthWest, float lonSouthWest, float latNorthEast,
                    float lonNorthEast, float latSpacing, float lonSpacing, std::int32_t lonPosts,
                    std::int32_t latPosts) {
  if (stream == nullptr) return -1;
  const bool utm = dedIsUtm(stream) == 1;
  if (std::fseek(stream, kDedExtentsOffset, SEEK_SET) != 0) return -1;

  float latFeet;
  float lonFeet;
  if (utm) {
    latFeet = static_cast<float>(double{kFeetPerMetre} * latSpacing);
    lonFeet = static_cast<float>(double{kFeetPerMetre} * lonSpacing);
  } else {
    latFeet = static_cast<float>(double{kFeetPerArcSecond} * latSpacing / kTenthsPerArcSecond);
    const auto latDifference =
        static_cast<float>(std::fabs(double{latNorthEast} - double{latSouthWest}));
    const auto midLatitude =
        static_cast<float>(double{latSouthWest} + double{latDifference} / kHalf);
    const auto lonArcFeet =
        static_cast<float>(double{kFeetPerArcSecond} * lonSpacing / kTenthsPerArcSecond);
    lonFeet = static_cast<float>(std::cos(double{midLatitude} * kRadiansPerDegree) * lonArcFeet);
  }

  RecordBuilder<kDedExtentsSize> extents;
  extents.number(latSouthWest);
  extents.number(latNorthEast);
  extents.number(lonSouthWest);
  extents.number(lonNorthEast);
  extents.number(latSpacing);
  extents.number(lonSpacing);
  extents.number(static_cast<float>(latPosts));
  extents.number(static_cast<float>(lonPosts));
  extents.number(lonFeet);
  extents.number(latFeet);
  return extents.write(stream) ? 0 : -1;
}

std::int64_t dedWriteColumn(std::FILE* stream, std::int32_t column,
                            std::span<const std::int16_t> posts, std::int32_t n) {
  if (stream == nullptr || posts.data() == nullptr || n <= 0 ||
      posts.size() % static_cast<std::size_t>(n) != 0) {
    return -1;
  }
  const std::optional<long> offset = postOffset(column, n, 0);
  if (!offset || std::fseek(stream, *offset, SEEK_SET) != 0) return -1;
  const std::size_t accepted =
      std::fwrite(posts.data(), sizeof(std::int16_t), posts.size(), stream);
  return static_cast<std::int64_t>(accepted * sizeof(std::int16_t));
}

}  // namespace relievo
