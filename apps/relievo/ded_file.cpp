#include "ded_file.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

#include "errors.h"

namespace relievo::cli {

namespace {

// Counts from 2^31 on make no file that a converter writes (its dimensions are ints); below
// it the length stays well inside 64 bits.
constexpr float kMaxCount = 2147483648.0f;
constexpr std::size_t kChunkPosts = 32768;

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

DedFile readDedFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RunError(path + ": cannot be opened: " + std::strerror(errno));
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  in.seekg(0);
  if (end < 0) throw RunError(path + ": cannot be read");
  const auto size = static_cast<std::uintmax_t>(end);
  if (size < kDedPreambleSize) {
    throw RunError(path + ": " + std::to_string(size) +
                   " bytes, shorter than the 200-byte preamble of a DED file");
  }
  std::string preamble(kDedPreambleSize, '\0');
  if (!in.read(preamble.data(), kDedPreambleSize)) throw RunError(path + ": cannot be read");
  DedFile f = parsePreamble(preamble);
  f.path = path;
  f.size = size;
  f.problem = lengthProblem(size, f.extents.postsPerRecord, f.extents.records);
  if (!f.problem.empty()) return f;

  DedPosts posts;
  std::uint64_t left = (size - kDedPreambleSize) / 2;
  std::vector<unsigned char> chunk(kChunkPosts * 2);
  while (left > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunkPosts));
    if (!in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(n * 2))) {
      throw RunError(path + ": cannot be read to its end");
    }
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
    left -= n;
  }
  f.posts = posts;
  return f;
}

}  // namespace relievo::cli
