// The text pass over any bytes: the token reader must pick the same tokens whether its buffer
// is refilled inside tokens (the smallest buffer) or holds the whole input, and the number
// parser must give for each token exactly what C's "%lf" gives after the exponent letter 'D'
// or 'd' has become 'e' (0.0 where "%lf" finds no number), for the tokens as well as for the
// values the reader gives, where plain decimals take a quicker path.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "raster/number_parser.h"
#include "raster/token_reader.h"
#include "scratch_file.h"

namespace {

using relievo::kTokenLimit;

struct Tokens {
  std::vector<std::string> tokens;
  std::size_t bufferBytes;
};

// The reader reads through the file's descriptor, which a stream in memory does not have.
std::FILE* openInput(const relievo::fuzz::ScratchFile& input) {
  std::FILE* f = std::fopen(input.path().c_str(), "rb");
  if (f == nullptr) std::abort();
  return f;
}

Tokens readTokens(const relievo::fuzz::ScratchFile& input, std::size_t bufferBytes) {
  Tokens out{{}, bufferBytes};
  std::FILE* f = openInput(input);
  relievo::AsciiTokenReader reader(f, bufferBytes);
  std::string_view token;
  while (reader.next(token))
    out.tokens.emplace_back(token);
  std::fclose(f);
  return out;
}

// The values of the input, as the text pass reads them.
std::vector<double> readValues(const relievo::fuzz::ScratchFile& input) {
  std::vector<double> values;
  std::FILE* f = openInput(input);
  relievo::AsciiTokenReader reader(f);
  double value = 0.0;
  while (reader.nextValue(value) == relievo::TokenStatus::Value)
    values.push_back(value);
  std::fclose(f);
  return values;
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
  static const relievo::fuzz::ScratchFile input(".txt");
  input.write({data, size});
  const Tokens small = readTokens(input, 2 * kTokenLimit);
  const Tokens whole = readTokens(input, size + 1);
  if (small.tokens != whole.tokens) {
    std::fprintf(stderr, "%zu tokens with a buffer of %zu bytes, %zu with %zu\n",
                 small.tokens.size(), small.bufferBytes, whole.tokens.size(), whole.bufferBytes);
    std::abort();
  }
  const std::vector<double> values = readValues(input);
  if (values.size() != whole.tokens.size()) {
    std::fprintf(stderr, "%zu values, %zu tokens\n", values.size(), whole.tokens.size());
    std::abort();
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::string& token = whole.tokens[i];
    if (token.size() >= kTokenLimit) std::abort();
    const double expected = scanfValue(token);
    for (const double parsed : {relievo::asciiParseNumber(token), values[i]}) {
      if (std::bit_cast<std::uint64_t>(parsed) != std::bit_cast<std::uint64_t>(expected)) {
        std::fprintf(stderr, "\"%s\": %.17g, but %%lf gives %.17g\n", token.c_str(), parsed,
                     expected);
        std::abort();
      }
    }
  }
  return 0;
}
