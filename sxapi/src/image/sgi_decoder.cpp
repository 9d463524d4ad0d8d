#include "sgi_decoder.h"

#include <algorithm>
#include <vector>

namespace sxhost::image {

namespace {

constexpr unsigned kMagic = 474;

// Header fields: byte offsets of the big-endian values.
enum HeaderOffset : std::size_t {
  kMagicAt = 0,
  kStorageAt = 2,
  kBytesPerChannelAt = 3,
  kDimensionAt = 4,
  kWidthAt = 6,
  kHeightAt = 8,
  kChannelsAt = 10,
  kColorMapAt = 104,
};

enum Storage : unsigned { kVerbatim = 0, kRunLength = 1 };

// Dimension 1 is a single row of one channel, 2 a grey image, 3 an image of zsize channels.
enum Dimension : unsigned { kOneRow = 1, kOnePlane = 2, kPlanes = 3 };

constexpr unsigned kNormalColorMap = 0;
constexpr int kMaxChannels = 4;

// A run-length code byte: the low 7 bits count pixels, the high bit marks literal bytes
// (otherwise one byte follows, repeated count times); a count of 0 ends the row.
constexpr unsigned char kLiteralRun = 0x80;
constexpr unsigned char kCountMask = 0x7F;

unsigned be16(std::span<const unsigned char> bytes, std::size_t at) {
  return (unsigned{bytes[at]} << 8) | bytes[at + 1];
}

std::uint32_t be32(std::span<const unsigned char> bytes, std::size_t at) {
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
         (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

std::size_t rowCount(const SgiHeader& header) {
  return static_cast<std::size_t>(header.image.height) * static_cast<std::size_t>(header.channels);
}

// Decodes one run-length row held in bytes into row (width bytes).
SgiStatus decodeRunLengthRow(std::span<const unsigned char> bytes, std::span<unsigned char> row) {
  std::size_t pos = 0;
  std::size_t x = 0;
  while (pos < bytes.size()) {
    const unsigned char code = bytes[pos++];
    const std::size_t count = code & kCountMask;
    if (count == 0) break;
    if (count > row.size() - x) return SgiStatus::kBadRleRow;
    if ((code & kLiteralRun) != 0) {
      if (count > bytes.size() - pos) return SgiStatus::kBadRleRow;
      std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(pos), count,
                  row.begin() + static_cast<std::ptrdiff_t>(x));
      pos += count;
    } else {
      if (pos == bytes.size()) return SgiStatus::kBadRleRow;
      std::fill_n(row.begin() + static_cast<std::ptrdiff_t>(x), count, bytes[pos++]);
    }
    x += count;
  }
  return x == row.size() ? SgiStatus::kOk : SgiStatus::kBadRleRow;
}

SgiStatus decodeVerbatim(std::span<const unsigned char> file, const SgiHeader& header,
                         unsigned char* block) {
  const PixelLayout layout(header.image);
  const auto width = static_cast<std::size_t>(header.image.width);
  std::size_t at = kSgiHeaderSize;
  for (int channel = 0; channel < header.channels; ++channel) {
    for (int row = 0; row < header.image.height; ++row, at += width) {
      layout.putChannelRow(block, channel, row, file.subspan(at, width));
    }
  }
  return SgiStatus::kOk;
}

// The offset table, then the length table, one entry per row of each channel, channel by
// channel. Every row must lie inside the file before anything is decoded.
SgiStatus checkRunLengthTables(std::span<const unsigned char> file, const SgiHeader& header) {
  const std::size_t rows = rowCount(header);
  if ((file.size() - kSgiHeaderSize) / 8 < rows) return SgiStatus::kTruncated;
  for (std::size_t index = 0; index < rows; ++index) {
    const std::uint64_t offset = be32(file, kSgiHeaderSize + 4 * index);
    const std::uint64_t length = be32(file, kSgiHeaderSize + 4 * (rows + index));
    if (offset > file.size() || length > file.size() - offset) return SgiStatus::kBadRleTable;
  }
  return SgiStatus::kOk;
}

SgiStatus decodeRunLength(std::span<const unsigned char> file, const SgiHeader& header,
                          unsigned char* block) {
  const PixelLayout layout(header.image);
  const std::size_t rows = rowCount(header);
  std::vector<unsigned char> row(static_cast<std::size_t>(header.image.width));
  std::size_t index = 0;
  for (int channel = 0; channel < header.channels; ++channel) {
    for (int y = 0; y < header.image.height; ++y, ++index) {
      const std::size_t offset = be32(file, kSgiHeaderSize + 4 * index);
      const std::size_t length = be32(file, kSgiHeaderSize + 4 * (rows + index));
      const SgiStatus status = decodeRunLengthRow(file.subspan(offset, length), row);
      if (status != SgiStatus::kOk) return status;
      layout.putChannelRow(block, channel, y, row);
    }
  }
  return SgiStatus::kOk;
}

}  // namespace

bool sgiHasMagic(std::span<const unsigned char> start) {
  return start.size() >= 2 && be16(start, kMagicAt) == kMagic;
}

SgiStatus sgiReadHeader(std::span<const unsigned char> start, SgiHeader& header) {
  if (!sgiHasMagic(start)) return SgiStatus::kNotSgi;
  if (start.size() < kSgiHeaderSize) return SgiStatus::kTruncated;

  const unsigned storage = start[kStorageAt];
  const unsigned bytesPerChannel = start[kBytesPerChannelAt];
  const unsigned dimension = be16(start, kDimensionAt);
  if ((storage != kVerbatim && storage != kRunLength) || bytesPerChannel != 1 ||
      be32(start, kColorMapAt) != kNormalColorMap) {
    return SgiStatus::kUnsupported;
  }

  const unsigned width = be16(start, kWidthAt);
  unsigned height = be16(start, kHeightAt);
  unsigned channels = be16(start, kChannelsAt);
  switch (dimension) {
    case kOneRow:
      height = 1;
      channels = 1;
      break;
    case kOnePlane:
      channels = 1;
      break;
    case kPlanes:
      break;
    default:
      return SgiStatus::kUnsupported;
  }
  if (channels > kMaxChannels) return SgiStatus::kUnsupported;
  if (!imageBlockSize(width, height, static_cast<int>(channels))) return SgiStatus::kBadSize;

  header.image.kind = imageKindForChannels(static_cast<int>(channels));
  header.image.width = static_cast<int>(width);
  header.image.height = static_cast<int>(height);
  header.channels = static_cast<int>(channels);
  header.runLength = storage == kRunLength;
  return SgiStatus::kOk;
}

std::uint64_t sgiBytesNeeded(const SgiHeader& header, std::uint64_t fileSize) {
  if (header.runLength) return fileSize;
  return kSgiHeaderSize + rowCount(header) * static_cast<std::uint64_t>(header.image.width);
}

SgiStatus sgiDecode(std::span<const unsigned char> file, DecodedImage& image) {
  SgiHeader header;
  SgiStatus status = sgiReadHeader(file, header);
  if (status != SgiStatus::kOk) return status;
  if (header.runLength) {
    status = checkRunLengthTables(file, header);
    if (status != SgiStatus::kOk) return status;
  } else if (file.size() < sgiBytesNeeded(header, file.size())) {
    return SgiStatus::kTruncated;
  }

  const PixelLayout layout(header.image);
  PixelBlock block = layout.allocate();
  if (!block) return SgiStatus::kOutOfMemory;
  status = header.runLength ? decodeRunLength(file, header, block.get())
                            : decodeVerbatim(file, header, block.get());
  if (status != SgiStatus::kOk) return status;

  image.header = header.image;
  image.pixels = std::move(block);
  return SgiStatus::kOk;
}

}  // namespace sxhost::image
