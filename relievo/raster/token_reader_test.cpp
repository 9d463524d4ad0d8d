#include "raster/token_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "raster/file.h"
#include "raster/test_files.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo {
namespace {

using Tokens = std::vector<std::string>;

// Every token the reader gives for `text`, read through a buffer of `bufferBytes`.
Tokens tokensOf(const std::string& text, std::size_t bufferBytes = 64 * 1024) {
  testing::ScratchDir dir;
  FilePtr file = fileOpenAt(dir.write("text", text).c_str(), 0);
  EXPECT_NE(file, nullptr);
  AsciiTokenReader reader(file.get(), bufferBytes);
  Tokens tokens;
  std::string_view token;
  while (reader.next(token))
    tokens.emplace_back(token);
  return tokens;
}

TEST(TokenReader, Table) {
  const std::string longest(38, '7'), tooLong(39, '7'), huge(100000, '9');
  const struct {
    std::string text;
    Tokens tokens;
  } cases[] = {
      {"1,2;3|4\t5 6\n7:8", {"1", "2", "3", "4", "5", "6", "7", "8"}},
      {"12-5", {"12", "5"}},    // the '-' ends "12" and goes with it
      {"12+-5", {"12", "-5"}},  // only the first sign is consumed
      {"1.5D3 1.5d3 1.5E3", {"1.5D3", "1.5d3", "1.5E3"}},
      {"2.5e-3,1E+4", {"2.5e-3", "1E+4"}},
      {"1e+5-3", {"1e+5", "3"}},  // a sign continues a token only after e, E, d or D
      {"1e5e-2", {"1e5e-2"}},
      {"1.2.3", {"1.2.3"}},
      {"- + .", {"-", "+", "."}},
      {"--5", {"-", "5"}},                // a start character ends at the next sign
      {"ncols 4\n7 8", {"4", "7", "8"}},  // "ncols": the 'c', 'o'... are separators
      {"abc, xyz! ?", {}},
      {"", {}},
      {"\xff\xfe\x33\x80\x34", {"3", "4"}},  // bytes above 127 separate "3" and "4"
      {"42", {"42"}},                        // the end of the text ends the last token
      {"e5 d7", {"5", "7"}},                 // exponent letters do not start a token
      // 38 characters are the limit; a longer token ends the reading, at the end of the text
      // as before a separator.
      {longest + " 1", {longest, "1"}},
      {longest, {longest}},
      {"5 " + tooLong + " 1", {"5"}},
      {"5 " + tooLong, {"5"}},
      {"5 -" + std::string(37, '.') + "e+1", {"5"}},
      {"1 2 " + huge + " 3", {"1", "2"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(tokensOf(c.text), c.tokens) << c.text.substr(0, 50);
  EXPECT_EQ(tokensOf("1 2 " + huge + " 3", 100), (Tokens{"1", "2"}));
}

TEST(TokenReader, TokensAcrossBufferBoundariesReadTheSame) {
  std::mt19937 random(7);
  const std::string separators = " ,;\t\n|:abcxyz";
  Tokens expected;
  std::string text;
  for (int i = 0; i < 20000; ++i) {
    expected.push_back(testing::randomToken(random));
    text += expected.back();
    for (auto gap = 1 + random() % 3; gap > 0; --gap)
      text += separators[random() % separators.size()];
  }
  for (std::size_t buffer : {std::size_t{1}, std::size_t{79}, std::size_t{80}, std::size_t{81},
                             std::size_t{1000}, std::size_t{64 * 1024}}) {
    EXPECT_EQ(tokensOf(text, buffer), expected) << "buffer " << buffer;
  }
}

}  // namespace
}  // namespace relievo
