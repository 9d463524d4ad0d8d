#include "raster/number_parser.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace relievo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NumberParser, Table) {
  const std::pair<const char*, double> cases[] = {
      {"12", 12},      {"-12", -12},       {"+5", 5},      {"1.5D3", 1500},    {"1.5d3", 1500},
      {"1.5E3", 1500}, {"2.5e-3", 0.0025}, {"1.2.3", 1.2}, {"-", 0},           {"+", 0},
      {".", 0},        {"-.", 0},          {".5", 0.5},    {"-.5e1", -5},      {"1e", 1},
      {"1e+", 1},      {"1E-", 1},         {"1e5.3", 1e5}, {"1e5e3", 1e5},     {".e5", 0},
      {"1D2d3", 100},  {"1d2D3", 1},       {"7d", 7},      {"1e999", kInf},    {"-1e999", -kInf},
      {"1e-999", 0},   {"0.1", 0.1},       {"+-5", 0},     {"1e-310", 1e-310}, {"00012.50", 12.5},
  };
  for (const auto& [token, value] : cases) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(asciiParseNumber(token)),
              std::bit_cast<std::uint64_t>(value))
        << token << " -> " << asciiParseNumber(token);
  }
  EXPECT_EQ(asciiParseNumber("123456789012345678901234567890"), 123456789012345678901234567890.0);
  // Correctly rounded where 53-bit mantissas and 22 fraction digits end.
  EXPECT_EQ(asciiParseNumber("9007199254740993"), 9007199254740992.0);
  EXPECT_EQ(asciiParseNumber("9007199254740995"), 9007199254740996.0);
  EXPECT_EQ(asciiParseNumber("0.1234567890123456789012"), 0.1234567890123456789012);
  EXPECT_EQ(asciiParseNumber("2.4703282292062328e-324"), 4.9e-324);
  EXPECT_TRUE(std::signbit(asciiParseNumber("-0")));
  EXPECT_TRUE(std::signbit(asciiParseNumber("-1e-999")));
}

TEST(NumberParser, LooksAtFortyCharactersAtMost) {
  const std::string digits(40, '1');
  EXPECT_EQ(asciiParseNumber(digits + "99999"), asciiParseNumber(digits));
  EXPECT_EQ(asciiParseNumber(std::string(40, '0') + "1e5"), 0.0);
}

}  // namespace
}  // namespace relievo
