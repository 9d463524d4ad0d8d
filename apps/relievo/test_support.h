// Helpers shared by the command's unit tests: DED files built byte by byte.
#ifndef RELIEVO_APPS_TEST_SUPPORT_H
#define RELIEVO_APPS_TEST_SUPPORT_H

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace relievo::cli::testing {

inline void putBig(std::string& bytes, std::size_t at, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) {
    bytes[at + i] = static_cast<char>((v >> (8 * (n - 1 - i))) & 0xFF);
  }
}

// A DED file of `records` records of `perRecord` posts (column after column) with the
// extents counts given (they may lie about the posts).
inline std::string dedBytes(const std::vector<std::int16_t>& posts, float perRecord,
                            float records) {
  std::string b(200, ' ');
  putBig(b, 0, 128, 4);
  b.replace(4, 4, "KTLX");
  b.replace(8, 8, "DMA1    ");
  b.replace(16, 8, "V1.0    ");
  b.replace(24, 26, std::string("Thu Dec  4 14:59:22 2026\n\0", 26));
  putBig(b, 128, 1, 4);
  putBig(b, 132, static_cast<std::uint16_t>(-5), 2);
  putBig(b, 134, 1200, 2);
  const float extents[] = {45.0f, 46.0f,     7.0f,    8.0f,    30.0f,
                           60.0f, perRecord, records, 4000.5f, 303.8f};
  for (int i = 0; i < 10; ++i)
    putBig(b, 160 + 4 * i, std::bit_cast<std::uint32_t>(extents[i]), 4);
  for (const std::int16_t p : posts) {
    b += static_cast<char>((static_cast<std::uint16_t>(p) >> 8) & 0xFF);
    b += static_cast<char>(static_cast<std::uint16_t>(p) & 0xFF);
  }
  return b;
}

}  // namespace relievo::cli::testing

#endif  // RELIEVO_APPS_TEST_SUPPORT_H
