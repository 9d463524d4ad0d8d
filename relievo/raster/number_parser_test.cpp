#include "raster/number_parser.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "raster/test_files.h"

namespace relievo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NumberParser, Table) {
  const struct {
    const char* token;
    double value;
  } cases[] = {
      {"12", 12},      {"-12", -12},       {"+5", 5},      {"1.5D3", 1500},    {"1.5d3", 1500},
      {"1.5E3", 1500}, {"2.5e-3", 0.0025}, {"1.2.3", 1.2}, {"-", 0},           {"+", 0},
      {".", 0},        {"-.", 0},          {".5", 0.5},    {"-.5e1", -5},      {"1e", 1},
      {"1e+", 1},      {"1E-", 1},         {"1e5.3", 1e5}, {"1e5e3", 1e5},     {".e5", 0},
      {"1D2d3", 100},  {"1d2D3", 1},       {"7d", 7},      {"1e999", kInf},    {"-1e999", -kInf},
      {"1e-999", 0},   {"0.1", 0.1},       {"+-5", 0},     {"1e-310", 1e-310}, {"00012.50", 12.5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(asciiParseNumber(c.token)),
              std::bit_cast<std::uint64_t>(c.value))
        << c.token << " -> " << asciiParseNumber(c.token);
  }
  EXPECT_EQ(asciiParseNumber("123456789012345678901234567890"), 123456789012345678901234567890.0);
  EXPECT_TRUE(std::signbit(asciiParseNumber("-0")));
  EXPECT_TRUE(std::signbit(asciiParseNumber("-1e-999")));
}

TEST(NumberParser, LooksAtFortyCharactersAtMost) {
  const std::string digits(40, '1');
  EXPECT_EQ(asciiParseNumber(digits + "99999"), asciiParseNumber(digits));
  EXPECT_EQ(asciiParseNumber(std::string(40, '0') + "1e5"), 0.0);
}

// What the C library gives: the first 'D' (else the first 'd') becomes 'e', then "%lf".
double reference(std::string token) {
  std::size_t exponent = token.find('D');
  if (exponent == std::string::npos) exponent = token.find('d');
  if (exponent != std::string::npos) token[exponent] = 'e';
  double value = 0.0;
  std::sscanf(token.c_str(), "%lf", &value);
  return value;
}

// Plain decimals such as "-1234.5678", up to 24 digits, around the point where 53-bit
// mantissas and 22 fraction digits end.
std::string randomDecimal(std::mt19937& random) {
  std::string token = random() % 2 ? "-" : "";
  const int digits = 1 + static_cast<int>(random() % 24);
  const int point = static_cast<int>(random() % (digits + 2));  // digits + 1: no point
  for (int d = 0; d < digits; ++d) {
    if (d == point) token += '.';
    token += static_cast<char>('0' + random() % 10);
  }
  if (point == digits) token += '.';
  return token;
}

TEST(NumberParser, AgreesWithScanfOnGeneratedTokens) {
  std::mt19937 random(20240229);
  for (int i = 0; i < 300000; ++i) {
    const std::string token = i % 3 == 0 ? randomDecimal(random) : testing::randomToken(random);
    const double expected = reference(token);
    const double actual = asciiParseNumber(token);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
        << "token \"" << token << "\": " << actual << " vs scanf " << expected;
  }
}

}  // namespace
}  // namespace relievo
