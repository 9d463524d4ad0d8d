// The text pass over any bytes: the token reader must pick the same tokens whether its buffer
// is refilled inside tokens (the smallest buffer) or holds the whole input, and the number
// parser must give for each token exactly what C's "%lf" gives after the exponent letter 'D'
// or 'd' has become 'e' (0.0 where "%lf" finds no number).
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "raster/number_parser.h"
#include "raster/token_reader.h"

namespace {

using relievo::kTokenLimit;

struct Tokens {
  std::vector<std::string> tokens;
  std::size_t bufferBytes;
};

Tokens readTokens(const std::uint8_t* data, std::size_t size, std::size_t bufferBytes) {
  Tokens out{{}, bufferBytes};
  std::FILE* f = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (f == nullptr) std::abort();
  relievo::AsciiTokenReader reader(f, bufferBytes);
  std::string_view token;
  while (reader.next(token))
    out.tokens.emplace_back(token);
  std::fclose(f);
  return out;
}

double scanfValue(std::string token) {
  token.resize(std::min(token.size(), relievo::kNumberLength));
  auto exponent = token.find('D');
  if (exponent == std::string::npos) exponent = token.find('d');
  if (exponent != std::string::npos) token[exponent] = 'e';
  double value = 0.0;
  return std::sscanf(token.c_str(), "%lf", &value) == 1 ? value : 0.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Tokens small = readTokens(data, size, 2 * kTokenLimit);
  const Tokens whole = readTokens(data, size, size + 1);
  if (small.tokens != whole.tokens) {
    std::fprintf(stderr, "%zu tokens with a buffer of %zu bytes, %zu with %zu\n",
                 small.tokens.size(), small.bufferBytes, whole.tokens.size(), whole.bufferBytes);
    std::abort();
  }
  for (const std::string& token : whole.tokens) {
    if (token.size() >= kTokenLimit) std::abort();
    const double parsed = relievo::asciiParseNumber(token);
    const double expected = scanfValue(token);
    if (std::bit_cast<std::uint64_t>(parsed) != std::bit_cast<std::uint64_t>(expected)) {
      std::fprintf(stderr, "\"%s\": %.17g, but %%lf gives %.17g\n", token.c_str(), parsed,
                   expected);
      std::abort();
    }
  }
  return 0;
}
