#include "test_files.h"

#include <gtest/gtest.h>

#include <bit>
#include <stdexcept>

namespace relievo::e2e {

std::string bytesOf(const std::vector<int>& values) {
  std::string out;
  for (const int v : values)
    out += static_cast<char>(v);
  return out;
}

std::string int16Bytes(const std::vector<int>& values, bool bigEndian) {
  std::string out;
  for (const int v : values) {
    const auto high = static_cast<char>((static_cast<unsigned>(v) >> 8) & 0xFF);
    const auto low = static_cast<char>(static_cast<unsigned>(v) & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

DedFile DedFile::read(const std::string& path) {
  DedFile ded{readFile(path)};
  if (ded.bytes.size() < 200) throw std::runtime_error(path + " is no DED file");
  return ded;
}

std::int32_t DedFile::int32At(std::size_t offset) const {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i)
    v = (v << 8) | static_cast<unsigned char>(bytes.at(offset + i));
  return static_cast<std::int32_t>(v);
}

std::int16_t DedFile::int16At(std::size_t offset) const {
  return static_cast<std::int16_t>((static_cast<unsigned char>(bytes.at(offset)) << 8) |
                                   static_cast<unsigned char>(bytes.at(offset + 1)));
}

float DedFile::extent(int i) const {
  return std::bit_cast<float>(int32At(160 + 4 * static_cast<std::size_t>(i)));
}

std::vector<std::int16_t> DedFile::posts() const {
  std::vector<std::int16_t> out;
  for (std::size_t at = 200; at + 1 < bytes.size(); at += 2)
    out.push_back(int16At(at));
  return out;
}

std::string withoutCreationTime(std::string bytes) {
  if (bytes.size() >= 50) bytes.replace(24, 26, 26, '\0');
  return bytes;
}

void expectDed(const DedFile& ded, const DedRecords& records) {
  EXPECT_EQ(ded.bytes.size(), 200u + 2 * records.postsPerRecord * records.records);
  EXPECT_EQ(ded.range(), records.range);
  const auto [latSw, latNe, lonSw, lonNe] = records.corners;
  std::vector<float> shown;
  for (int i = 0; i < 8; ++i)
    shown.push_back(ded.extent(i));
  EXPECT_EQ(shown,
            (std::vector<float>{latSw, latNe, lonSw, lonNe, records.latSpacing, records.lonSpacing,
                                float(records.postsPerRecord), float(records.records)}));
}

}  // namespace relievo::e2e
