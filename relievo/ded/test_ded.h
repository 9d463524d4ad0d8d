// Test helpers of the ded folder: the bytes that a geographic DED file must hold, computed
// from the format's rules rather than by the writer.
#ifndef RELIEVO_DED_TEST_DED_H
#define RELIEVO_DED_TEST_DED_H

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace relievo::testing {

using Bytes = std::vector<std::uint8_t>;
using Records = std::vector<std::vector<std::int16_t>>;  // west to east, each south to north

// The big-endian single-precision number at `offset`.
inline float floatAt(const Bytes& b, std::size_t offset) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i)
    bits = (bits << 8) | b[offset + i];
  return std::bit_cast<float>(bits);
}

// What a geographic DED file of these records must hold.
struct ExpectedDed {
  std::int16_t lowest, highest;
  float latSouthWest, lonSouthWest, latNorthEast, lonNorthEast;
  float latSpacing, lonSpacing;
  Records records;

  // The creation time is a field a test cannot know: it is taken from `actual`, and so are
  // the spacings in feet, which the writer's own tests compare with values worked out by hand.
  Bytes bytes(const Bytes& actual) const {
    Bytes out;
    const auto put = [&out](std::uint32_t value, int size) {
      for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    };
    const auto text = [&out](std::string_view s) {
      for (const char c : s)
        out.push_back(static_cast<std::uint8_t>(c));
    };
    put(128, 4);
    text("KTLXDMA1    V1.0    ");
    if (actual.size() >= 50) out.insert(out.end(), actual.begin() + 24, actual.begin() + 50);
    out.insert(out.end(), 78, ' ');
    put(1, 4);
    put(static_cast<std::uint16_t>(lowest), 2);
    put(static_cast<std::uint16_t>(highest), 2);
    out.insert(out.end(), 24, ' ');
    for (float v : {latSouthWest, latNorthEast, lonSouthWest, lonNorthEast, latSpacing, lonSpacing,
                    static_cast<float>(records.empty() ? 0 : records[0].size()),
                    static_cast<float>(records.size())}) {
      put(std::bit_cast<std::uint32_t>(v), 4);
    }
    if (actual.size() >= 200) out.insert(out.end(), actual.begin() + 192, actual.begin() + 200);
    for (const auto& record : records) {
      for (std::int16_t post : record)
        put(static_cast<std::uint16_t>(post), 2);
    }
    return out;
  }
};

// `actual` must be exactly the expected file; the creation time must end in a line feed
// and a NUL.
inline void expectDed(const Bytes& actual, const ExpectedDed& expected) {
  const Bytes wanted = expected.bytes(actual);
  ASSERT_EQ(actual.size(), wanted.size());
  EXPECT_EQ(std::string(actual.begin() + 48, actual.begin() + 50), std::string("\n\0", 2));
  const auto differ = std::mismatch(actual.begin(), actual.end(), wanted.begin());
  EXPECT_TRUE(differ.first == actual.end()) << "byte " << (differ.first - actual.begin());
}

}  // namespace relievo::testing

#endif  // RELIEVO_DED_TEST_DED_H
