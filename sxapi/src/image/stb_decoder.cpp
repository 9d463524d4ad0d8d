#include "stb_decoder.h"

#include <stb_image.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <memory>
#include <optional>

#include "format_checks.h"

namespace sxhost::image {

namespace {

constexpr unsigned char kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr unsigned char kJpeg[] = {0xFF, 0xD8, 0xFF};
constexpr unsigned char kBmp[] = {'B', 'M'};
constexpr unsigned char kGif87[] = {'G', 'I', 'F', '8', '7', 'a'};
constexpr unsigned char kGif89[] = {'G', 'I', 'F', '8', '9', 'a'};
constexpr unsigned char kGreyMap[] = {'P', '5'};
constexpr unsigned char kPixMap[] = {'P', '6'};

constexpr std::array<std::span<const unsigned char>, 7> kSignatures = {
    kPng, kJpeg, kBmp, kGif87, kGif89, kGreyMap, kPixMap};

constexpr std::array<std::string_view, 4> kTgaExtensions = {".tga", ".icb", ".vda", ".vst"};

bool startsWith(std::span<const unsigned char> bytes, std::span<const unsigned char> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool hasTgaExtension(std::string_view path) {
  const auto dot = path.find_last_of('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
    return false;
  }
  const std::string_view extension = path.substr(dot);
  return std::any_of(kTgaExtensions.begin(), kTgaExtensions.end(), [&](std::string_view tga) {
    return std::equal(
        extension.begin(), extension.end(), tga.begin(), tga.end(),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  });
}

// The file as stb reads it, noting whether a decoder wanted bytes beyond its end. stb keeps a
// read-ahead buffer that it refills in fixed blocks (its first read is such a refill): a short
// refill is only the end of the file coming, an empty one means more bytes were needed. A
// decoder's own bulk read that comes back short always means missing bytes.
class StbStream {
 public:
  explicit StbStream(const ImageFile& file) : file_(file) {}

  // Rewinds the file and fills the callbacks for stb's *_from_callbacks calls.
  bool start(stbi_io_callbacks& callbacks) {
    callbacks = stbi_io_callbacks{&StbStream::read, &StbStream::skip, &StbStream::eof};
    return std::fseek(file_.stream(), 0, SEEK_SET) == 0;
  }

  bool ranPastEnd() const { return ranPastEnd_; }

 private:
  static int read(void* user, char* data, int size) {
    auto& self = *static_cast<StbStream*>(user);
    if (size <= 0) return 0;
    const std::size_t got =
        std::fread(data, 1, static_cast<std::size_t>(size), self.file_.stream());
    if (self.readAhead_ == nullptr) self.readAhead_ = data;
    if (got == 0 || (got < static_cast<std::size_t>(size) && data != self.readAhead_)) {
      self.ranPastEnd_ = true;
    }
    return static_cast<int>(got);
  }

  // Skipped bytes (a row's padding, an unknown chunk) must be in the file too.
  static void skip(void* user, int count) {
    auto& self = *static_cast<StbStream*>(user);
    if (std::fseek(self.file_.stream(), count, SEEK_CUR) != 0 || self.remaining() < 0) {
      self.ranPastEnd_ = true;
    }
  }

  static int eof(void* user) {
    const auto& self = *static_cast<const StbStream*>(user);
    return self.remaining() <= 0 || std::ferror(self.file_.stream()) != 0;
  }

  // Bytes between the read position and the end of the file; negative past the end, and
  // taken as past the end when the position cannot be told.
  long long remaining() const {
    const long at = std::ftell(file_.stream());
    if (at < 0) return -1;
    return static_cast<long long>(file_.size()) - at;
  }

  const ImageFile& file_;
  const char* readAhead_ = nullptr;
  bool ranPastEnd_ = false;
};

struct StbFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

bool headerFrom(int width, int height, int channels, ImageHeader& header) {
  const int kind = imageKindForChannels(channels);
  if (kind == 0 || !imageBlockSize(width, height, channels)) return false;
  header = ImageHeader{kind, width, height};
  return true;
}

// The first bytes of the file, enough for any signature; fewer in a shorter file.
struct Start {
  std::array<unsigned char, sizeof kPng> bytes{};
  std::size_t size = 0;

  bool startsWith(std::span<const unsigned char> signature) const {
    return image::startsWith(std::span(bytes.data(), size), signature);
  }
};

std::optional<Start> readStart(const ImageFile& file) {
  Start start;
  if (std::fseek(file.stream(), 0, SEEK_SET) != 0) return std::nullopt;
  start.size = std::fread(start.bytes.data(), 1, start.bytes.size(), file.stream());
  return start;
}

// What stb is given must pass the checks of format_checks.h that apply to its format and to
// the part of the file stb reads.
bool passesFormatChecks(const ImageFile& file, JpegPart part) {
  const auto start = readStart(file);
  if (!start) return false;
  if (stbSeesJpeg(file)) return jpegHuffmanTablesFit(file, part);
  if (start->startsWith(kGreyMap) || start->startsWith(kPixMap)) return pnmHeaderNumbersFit(file);
  if (part == JpegPart::kWholeFile && start->startsWith(kPng)) return pngChunksComplete(file);
  return true;
}

// stb decodes a BMP, TGA, GIF or JPEG file to the end of the size its header claims, with
// zeros past the end of the file, so a few bytes that claim a huge image cost seconds and
// gigabytes. No file of these formats packs more than kMaxPixelsPerByte pixels into a byte
// (GIF's LZW comes closest, at about 1,500): one that claims more is refused before the
// decode. A PNG whose image data is short is refused by stb before it decodes anything.
bool claimFitsFile(const ImageFile& file, const ImageHeader& header) {
  constexpr std::uint64_t kMaxPixelsPerByte = 2048;
  const auto pixels = static_cast<std::uint64_t>(header.width) * header.height;
  if (pixels / kMaxPixelsPerByte <= file.size()) return true;
  const auto start = readStart(file);
  return start && start->startsWith(kPng);
}

bool readCheckedHeader(const ImageFile& file, ImageHeader& header) {
  StbStream stream(file);
  stbi_io_callbacks callbacks;
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stream.start(callbacks) ||
      stbi_info_from_callbacks(&callbacks, &stream, &width, &height, &channels) == 0 ||
      stream.ranPastEnd()) {
    return false;
  }
  return headerFrom(width, height, channels, header);
}

}  // namespace

bool stbMayRead(std::span<const unsigned char> start, std::string_view path) {
  return hasTgaExtension(path) ||
         std::any_of(kSignatures.begin(), kSignatures.end(),
                     [&](auto signature) { return startsWith(start, signature); });
}

bool stbReadHeader(const ImageFile& file, ImageHeader& header) {
  return passesFormatChecks(file, JpegPart::kHeader) && readCheckedHeader(file, header);
}

bool stbDecode(const ImageFile& file, DecodedImage& image) {
  // The header is checked first so that stb never allocates for a size the host refuses.
  ImageHeader expected;
  if (!passesFormatChecks(file, JpegPart::kWholeFile) || !readCheckedHeader(file, expected) ||
      !claimFitsFile(file, expected)) {
    return false;
  }

  StbStream stream(file);
  stbi_io_callbacks callbacks;
  if (!stream.start(callbacks)) return false;
  int width = 0;
  int height = 0;
  int channels = 0;
  const std::unique_ptr<stbi_uc, StbFree> decoded(
      stbi_load_from_callbacks(&callbacks, &stream, &width, &height, &channels, 0));
  ImageHeader header;
  if (!decoded || stream.ranPastEnd() || !headerFrom(width, height, channels, header) ||
      header.width != expected.width || header.height != expected.height) {
    return false;
  }

  const PixelLayout layout(header);
  PixelBlock block = layout.allocate();
  if (!block) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  for (int y = 0; y < height; ++y) {
    const std::span<const unsigned char> row(decoded.get() + static_cast<std::size_t>(y) * rowBytes,
                                             rowBytes);
    layout.putPixelRow(block.get(), height - 1 - y, row);
  }
  image.header = header;
  image.pixels = std::move(block);
  return true;
}

}  // namespace sxhost::image
