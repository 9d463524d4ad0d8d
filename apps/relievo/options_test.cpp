#include "options.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "relievo_testing/error_of.h"

namespace relievo::cli {
namespace {

Command parse(std::vector<std::string> args) {
  args.insert(args.begin(), "relievo");
  return parseCommandLine(args);
}

// The words of a command line, split at blanks.
std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  return {std::istream_iterator<std::string>(in), {}};
}

// The word choices, paths and flags reach a run of the command in its end-to-end tests (a
// wrong field there changes the file made); here the numbers as written, with a leading zero,
// a plus sign or at a limit, and the options no such run reads back.
TEST(Options, ValuesReachTheirFields) {
  const std::string line =
      "--offset 064 --stride +4 --delimiter ; --scan 7 --seed 4294967295 --noise 0.5 --valleys "
      "0.0001 --plateaus 0.25 --no-water --water-level 0.75 --size 300 --nodata -9999 --replace "
      "-500 --ded-max 6000.5 --sw 45.5,-7 --ne 46,-6.25 --preview p.png --preview-size 400x300 "
      "--colors 1,2,3:250,251,252 --settings s.json -y -q";
  const ConvertOptions o = parse(words(line)).convert;
  ASSERT_TRUE(o.scan && o.replace && o.sw && o.ne && o.previewSize && o.colors);
  EXPECT_EQ(std::tie(o.offset, o.stride, o.delimiter, o.scan->line, o.seed, o.water, o.size),
            std::tuple(64, 4, ';', 7, 4294967295u, false, 300));
  EXPECT_EQ(std::tie(o.noise, o.valleys, o.plateaus, o.waterLevel, o.dedMax, o.settings),
            std::tuple(0.5, 0.0001, 0.25, 0.75, 6000.5, "s.json"));
  EXPECT_EQ(std::tuple(o.nodata, o.replace->dedNull, o.replace->value, o.sw->lat, o.sw->lon,
                       o.ne->lon, o.yes, o.quiet),
            std::tuple(-9999, false, -500, 45.5, -7.0, -6.25, true, true));
  EXPECT_EQ(
      std::tuple(o.previewSize->width, o.previewSize->height, o.colors->bottom.g, o.colors->top.b),
      std::tuple(400, 300, 2, 252));

  EXPECT_EQ(parse({"--water"}).convert.water, true);
  const ConvertOptions a = parse({"--scan", "--delimiter", "tab", "--replace", "ded-null"}).convert;
  ASSERT_TRUE(a.scan);
  EXPECT_EQ(std::tuple(a.scan->line, a.delimiter, a.replace->dedNull), std::tuple(0, '\t', true));
}

TEST(Options, BadValuesAreUsageErrorsNamingTheOption) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--source", "tiff"}, "--source: 'tiff' is not one of ascii, binary, image, fractal, geo"},
      {{"--width", "abc"}, "--width: 'abc' is not a whole number"},
      {{"--width", "0"}, "--width: '0' is outside 1 ... 2147483647"},
      {{"--seed", "4294967296"}, "--seed: '4294967296' is outside 0 ... 4294967295"},
      {{"--noise", "nan"}, "--noise: 'nan' is outside 0 ... 1"},
      {{"--noise", "x"}, "--noise: 'x' is not a number"},
      {{"--scan", "41"}, "--scan: '41' is outside 1 ... 40"},
      {{"--unit-scale", "0"}, "--unit-scale: the scale must be greater than 0"},
      {{"--unit-scale", "1e99"}, "--unit-scale: '1e99' is outside 0 ... 3.402823466e+38"},
      {{"--ded-min", "10", "--ded-max", "5"}, "--ded-min: 10 is above --ded-max 5"},
      {{"--replace", "-32768"}, "--replace: '-32768' is outside -32767 ... 32767"},
      {{"--replace", "none"}, "--replace: 'none' is neither ded-null nor a whole number"},
      {{"--sw", "45"}, "--sw: '45' is not of the form LAT,LON"},
      {{"--sw", "1,1", "--ne", "1,0"},
       "--ne: the north-east corner must lie north or east of the south-west corner"},
      {{"--preview-size", "100x100"}, "--preview-size: needs --preview FILE.png"},
      {{"--preview", "p.png", "--preview-size", "100"},
       "--preview-size: '100' is not of the form WxH"},
      {{"--colors", "1,2:3,4,5"}, "--colors: '1,2' is not of the form R,G,B"},
      {{"--colors", "1,2,3"}, "--colors: '1,2,3' is not of the form R,G,B:R,G,B"},
      {{"--delimiter", "ab"},
       "--delimiter: 'ab' is not one character (or space, tab, comma, colon, semicolon, bar)"},
      {{"--file", ""}, "--file: the path is empty"},
      {{"--yes", "--no"}, "--yes excludes --no"},
      {{"--width"}, "--width: 1 required N missing"},
      {{"--bogus"}, "The following argument was not expected: --bogus"},
      {{"inspect"}, "file is required"},
      {{"--width", "3", "inspect", "a.ded"}, "inspect takes no conversion option such as --width"},
  };
  for (const auto& [args, message] : cases)
    EXPECT_EQ(relievo::testing::errorOf<UsageError>([&] { parse(args); }, ""), message) << args[0];
}

}  // namespace
}  // namespace relievo::cli
