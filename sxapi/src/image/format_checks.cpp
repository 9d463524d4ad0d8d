#include "format_checks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

namespace sxhost::image {

namespace {

constexpr std::uint64_t kPngSignatureSize = 8;
constexpr std::uint64_t kPngChunkFrame = 12;  // length, type and check around the data

// JPEG markers are 0xFF and a code; in entropy-coded data 0xFF 0x00 is a stuffed 0xFF and
// 0xFF 0xD0 ... 0xD7 a restart, neither of which starts a segment.
enum JpegCode : int {
  kMarkerPrefix = 0xFF,
  kStuffed = 0x00,
  kTemporary = 0x01,
  kFirstRestart = 0xD0,
  kLastRestart = 0xD7,
  kStartOfImage = 0xD8,
  kEndOfImage = 0xD9,
  kHuffmanTables = 0xC4,
  kStartOfScan = 0xDA,
  kFirstFrame = 0xC0,  // baseline, extended and progressive frame headers: C0, C1, C2
  kProgressiveFrame = 0xC2,
  kLastFrame = 0xC2,
};
// Huffman tables defined so far: class (0 DC, 1 AC) x slot (0 ... 3).
constexpr int kHuffmanSlots = 4;
using DefinedTables = std::array<bool, 2 * kHuffmanSlots>;
// A scan header: a component count, then 1 ... 4 pairs of component and tables, the spectral
// start and end and the approximation bits.
constexpr int kMaxScanHeader = 1 + 2 * 4 + 3;
constexpr int kPnmSignatureSize = 2;
constexpr int kPnmHeaderNumbers = 3;
constexpr int kHuffmanLengths = 16;
constexpr int kMaxHuffmanCodes = 256;

std::uint32_t bigEndian32(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

// stb reads the bytes missing at the end of a file as 0, so they count as 0 here too.
int nextByte(std::FILE* in) {
  const int byte = std::getc(in);
  return byte == EOF ? 0 : byte;
}

// The tables of one segment, read as stb reads them: table after table while the length
// lasts. False when one has too many codes or the tables overrun the length.
bool huffmanSegmentFits(std::FILE* in, int length, DefinedTables& defined) {
  while (length > 0) {
    const int kind = nextByte(in);  // table class and slot; stb refuses others
    if ((kind >> 4) <= 1 && (kind & 0xF) < kHuffmanSlots) {
      defined[(kind >> 4) * kHuffmanSlots + (kind & 0xF)] = true;
    }
    int codes = 0;
    for (int i = 0; i < kHuffmanLengths; ++i)
      codes += nextByte(in);
    if (codes > kMaxHuffmanCodes || std::fseek(in, codes, SEEK_CUR) != 0) return false;
    length -= 1 + kHuffmanLengths + codes;
  }
  return length == 0;
}

// The tables a scan decodes with: a baseline scan both of each component's tables; in a
// progressive frame a scan of DC coefficients its DC tables (on its first pass only), any
// other scan its AC tables. A header that stb refuses by itself passes.
bool scanTablesDefined(std::FILE* in, int length, bool progressive, const DefinedTables& defined) {
  if (length > kMaxScanHeader) return std::fseek(in, length, SEEK_CUR) == 0;
  std::array<int, kMaxScanHeader> header{};
  for (int i = 0; i < length; ++i)
    header[i] = nextByte(in);
  const int count = header[0];
  if (count < 1 || length != 4 + 2 * count) return true;
  const bool dcScan = header[1 + 2 * count] == 0;
  const bool firstPass = (header[3 + 2 * count] >> 4) == 0;
  const bool usesDc = !progressive || (dcScan && firstPass);
  const bool usesAc = !progressive || !dcScan;
  for (int i = 0; i < count; ++i) {
    const int dc = header[2 + 2 * i] >> 4;
    const int ac = header[2 + 2 * i] & 0xF;
    if (dc >= kHuffmanSlots || ac >= kHuffmanSlots) return true;
    if ((usesDc && !defined[dc]) || (usesAc && !defined[kHuffmanSlots + ac])) return false;
  }
  return true;
}

}  // namespace

bool pngChunksComplete(const ImageFile& file) {
  std::uint64_t at = kPngSignatureSize;
  std::array<unsigned char, 8> chunk{};
  constexpr std::array<unsigned char, 4> kEnd = {'I', 'E', 'N', 'D'};
  while (at <= file.size() && file.size() - at >= kPngChunkFrame) {
    if (std::fseek(file.stream(), static_cast<long>(at), SEEK_SET) != 0 ||
        std::fread(chunk.data(), 1, chunk.size(), file.stream()) != chunk.size()) {
      return false;
    }
    const std::uint64_t length = bigEndian32(chunk.data());
    if (length > file.size() - at - kPngChunkFrame) return false;
    if (std::equal(kEnd.begin(), kEnd.end(), chunk.begin() + 4)) return true;
    at += kPngChunkFrame + length;
  }
  return false;
}

bool pnmHeaderNumbersFit(const ImageFile& file) {
  std::FILE* in = file.stream();
  if (std::fseek(in, kPnmSignatureSize, SEEK_SET) != 0) return false;
  const auto blank = [](int c) { return c != '\0' && std::strchr(" \t\n\v\f\r", c) != nullptr; };
  int c = std::getc(in);
  for (int number = 0; number < kPnmHeaderNumbers; ++number) {
    for (;;) {
      while (c != EOF && blank(c))
        c = std::getc(in);
      if (c != '#') break;
      while (c != EOF && c != '\n' && c != '\r')
        c = std::getc(in);
    }
    std::int64_t value = 0;
    for (; c >= '0' && c <= '9'; c = std::getc(in)) {
      value = value * 10 + (c - '0');
      if (value > std::numeric_limits<int>::max()) return false;
    }
  }
  return true;
}

bool stbSeesJpeg(const ImageFile& file) {
  std::FILE* in = file.stream();
  if (std::fseek(in, 0, SEEK_SET) != 0 || std::getc(in) != kMarkerPrefix) return false;
  int code = std::getc(in);
  while (code == kMarkerPrefix)
    code = std::getc(in);
  return code == kStartOfImage;
}

bool jpegHuffmanTablesFit(const ImageFile& file, JpegPart part) {
  std::FILE* in = file.stream();
  if (std::fseek(in, 0, SEEK_SET) != 0) return false;
  DefinedTables defined{};
  bool progressive = false;
  int byte = std::getc(in);
  while (byte != EOF) {
    if (byte != kMarkerPrefix) {
      byte = std::getc(in);  // entropy-coded data between segments
      continue;
    }
    int code = std::getc(in);
    while (code == kMarkerPrefix)
      code = std::getc(in);
    if (code == EOF || code == kEndOfImage) return true;
    if (code >= kFirstFrame && code <= kLastFrame) {
      if (part == JpegPart::kHeader) return true;
      progressive = code == kProgressiveFrame;
    }
    const bool standalone = code == kStuffed || code == kTemporary || code == kStartOfImage ||
                            (code >= kFirstRestart && code <= kLastRestart);
    if (!standalone) {
      const int high = std::getc(in);
      const int length = (high << 8) | nextByte(in);
      if (high == EOF || length < 2) return true;  // stb refuses the segment itself
      if (code == kHuffmanTables) {
        if (!huffmanSegmentFits(in, length - 2, defined)) return false;
      } else if (code == kStartOfScan) {
        if (!scanTablesDefined(in, length - 2, progressive, defined)) return false;
      } else if (std::fseek(in, length - 2, SEEK_CUR) != 0) {
        return false;
      }
    }
    byte = std::getc(in);
  }
  return true;
}

}  // namespace sxhost::image
