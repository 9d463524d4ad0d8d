#include "ded_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "errors.h"

namespace relievo::cli {

namespace {

// Counts from 2^31 on make no file that a converter writes (its dimensions are ints); below
// it the length stays well inside 64 bits.
constexpr float kMaxCount = 2147483648.0f;
constexpr std::size_t kChunkPosts = 32768;
constexpr std::int32_t kDedHeaderLength = 128;

std::uint32_t bigEndian32(std::string_view bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  }
  return v;
}

std::int16_t bigEndian16(const unsigned char* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((p[0] << 8) | p[1]));
}

float floatAt(std::string_view bytes, std::size_t at) {
  return std::bit_cast<float>(bigEndian32(bytes, at));
}

[[noreturn]] void cannotOpen(int error) {
  throw RunError(std::string("cannot be opened: ") + std::strerror(error));
}

[[noreturn]] void cannotRead(int error) {
  throw RunError(std::string("cannot be read: ") + std::strerror(error));
}

[[noreturn]] void notDed(const std::string& why) {
  throw RunError("not a DED file: " + why);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void readExactly(std::FILE* in, void* to, std::size_t bytes) {
  if (std::fread(to, 1, bytes, in) == bytes) return;
  // A file cut short while it was read has no error of the system's.
  if (std::ferror(in) == 0) throw RunError("cannot be read: it ended before its length");
  cannotRead(errno);
}

DedPosts countPosts(std::FILE* in, std::uint64_t count) {
  DedPosts posts;
  std::vector<unsigned char> chunk(kChunkPosts * 2);
  while (posts.count < count) {
    const auto n =
        static_cast<std::size_t>(std::min<std::uint64_t>(count - posts.count, kChunkPosts));
    readExactly(in, chunk.data(), n * 2);
    for (std::size_t i = 0; i < n; ++i) {
      const std::int16_t post = bigEndian16(&chunk[2 * i]);
      if (post == kDedNullPost) {
        ++posts.nulls;
        continue;
      }
      if (!posts.lowest || post < *posts.lowest) posts.lowest = post;
      if (!posts.highest || post > *posts.highest) posts.highest = post;
    }
    posts.count += n;
  }
  return posts;
}

std::string number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

}  // namespace

DedFile parsePreamble(std::string_view p) {
  DedFile f;
  f.header.length = static_cast<std::int32_t>(bigEndian32(p, 0));
  f.header.tag = std::string(p.substr(4, 4));
  f.header.projection = std::string(p.substr(8, 8));
  f.header.version = std::string(p.substr(16, 8));
  const std::string_view created = p.substr(24, 26);
  f.header.created =
      std::string(created.substr(0, created.find_first_of(std::string_view("\n\0", 2))));
  f.range.marker = static_cast<std::int32_t>(bigEndian32(p, 128));
  const auto* bytes = reinterpret_cast<const unsigned char*>(p.data());
  f.range.lowest = bigEndian16(bytes + 132);
  f.range.highest = bigEndian16(bytes + 134);
  DedExtents& e = f.extents;
  e.swLat = floatAt(p, 160);
  e.neLat = floatAt(p, 164);
  e.swLon = floatAt(p, 168);
  e.neLon = floatAt(p, 172);
  e.latSpacing = floatAt(p, 176);
  e.lonSpacing = floatAt(p, 180);
  e.postsPerRecord = floatAt(p, 184);
  e.records = floatAt(p, 188);
  e.lonFeet = floatAt(p, 192);
  e.latFeet = floatAt(p, 196);
  return f;
}

std::string lengthProblem(std::uintmax_t size, float postsPerRecord, float records) {
  const auto whole = [](float v) { return std::isfinite(v) && v >= 0.0f && std::trunc(v) == v; };
  const std::string counts = "its post counts (" + number(postsPerRecord) + " per record, " +
                             number(records) + " records)";
  if (!whole(postsPerRecord) || !whole(records)) return counts + " are not whole numbers of posts";
  if (postsPerRecord >= kMaxCount || records >= kMaxCount) {
    return counts + " are beyond what a DED file can hold";
  }
  const auto perRecord = static_cast<std::uint64_t>(postsPerRecord);
  const auto count = static_cast<std::uint64_t>(records);
  const std::uint64_t expected = kDedPreambleSize + 2 * perRecord * count;
  if (expected == size) return "";
  return "the file holds " + std::to_string(size) + " bytes, but its counts (" +
         std::to_string(count) + " records of " + std::to_string(perRecord) + " posts) call for " +
         std::to_string(expected);
}

std::string markerProblem(const DedHeader& header) {
  if (header.length != kDedHeaderLength) return "its header does not begin with the length 128";
  if (header.tag != "KTLX") return "its header does not hold the tag \"KTLX\"";
  if (!header.projection.starts_with("DMA1")) {
    return "its header does not hold the projection \"DMA1\"";
  }
  return "";
}

DedFile readDedFile(const std::string& path) {
  // Looked at before it is opened: opening a fifo would wait for a writer.
  struct stat status = {};
  if (::stat(path.c_str(), &status) != 0) cannotOpen(errno);
  if (S_ISDIR(status.st_mode)) cannotOpen(EISDIR);
  if (!S_ISREG(status.st_mode)) throw RunError("cannot be opened: it is not a regular file");
  const std::unique_ptr<std::FILE, FileCloser> in(std::fopen(path.c_str(), "rb"));
  if (!in) cannotOpen(errno);
  const auto size = static_cast<std::uintmax_t>(status.st_size);
  if (size < kDedPreambleSize) {
    notDed(std::to_string(size) + " bytes, shorter than the 200-byte preamble of a DED file");
  }
  std::string preamble(kDedPreambleSize, '\0');
  readExactly(in.get(), preamble.data(), kDedPreambleSize);
  DedFile f = parsePreamble(preamble);
  f.path = path;
  f.size = size;
  if (std::string problem = markerProblem(f.header); !problem.empty()) notDed(problem);
  const std::string problem = lengthProblem(size, f.extents.postsPerRecord, f.extents.records);
  if (!problem.empty()) notDed(problem);
  f.posts = countPosts(in.get(), (size - kDedPreambleSize) / 2);
  return f;
}

}  // namespace relievo::cli
