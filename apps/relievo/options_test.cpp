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

ConvertOptions convert(std::vector<std::string> args) {
  const Command c = parse(std::move(args));
  EXPECT_EQ(c.kind, Command::Kind::Convert);
  return c.convert;
}

// The words of a command line, split at blanks.
std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  return {std::istream_iterator<std::string>(in), {}};
}

std::string usageError(std::vector<std::string> args) {
  return relievo::testing::errorOf<UsageError>([&] { parse(std::move(args)); }, "(no error)");
}

TEST(Options, EveryOptionReachesItsField) {
  const ConvertOptions o = convert(words(
      "--source binary --file g.raw --width 300 --height 200 --offset 064 --stride +4 --type i16 "
      "--byte-order big --order cols --origin upper-left --delimiter ; --component alpha --scan 7 "
      "--seed 4294967295 --noise 0.5 --valleys 0.0001 --plateaus 0.25 --no-water --water-level "
      "0.75 --size 300 --nodata -9999 --replace -500 --units feet --unit-scale 2.5 --ded-min 5000 "
      "--ded-max 6000.5 --invert --sw 45.5,-7 --ne 46,-6.25 -o out.ded --preview p.png "
      "--preview-size 400x300 --shaded --colors 1,2,3:250,251,252 --settings s.json -y -q"));
  EXPECT_EQ(std::tie(o.source, o.file, o.width, o.height, o.offset, o.stride, o.nodata),
            std::tuple(SourceKind::Binary, "g.raw", 300, 200, 64, 4, -9999));
  EXPECT_EQ(std::tie(o.type, o.byteOrder, o.order, o.origin, o.units, o.component),
            std::tuple(ElementType::I16, ByteOrder::Big, DataOrder::Cols, Origin::UpperLeft,
                       Unit::Feet, Component::Alpha));
  ASSERT_TRUE(o.scan);
  EXPECT_EQ(std::tie(o.delimiter, o.scan->line, o.seed, o.water, o.size),
            std::tuple(';', 7, 4294967295u, false, 300));
  EXPECT_EQ(std::tie(o.noise, o.valleys, o.plateaus, o.waterLevel, o.unitScale),
            std::tuple(0.5, 0.0001, 0.25, 0.75, 2.5));
  EXPECT_EQ(std::tie(o.dedMin, o.dedMax, o.output, o.preview, o.settings),
            std::tuple(5000.0, 6000.5, "out.ded", "p.png", "s.json"));
  EXPECT_EQ(std::tie(o.invert, o.shaded, o.yes, o.quiet), std::tuple(true, true, true, true));
  ASSERT_TRUE(o.replace && o.sw && o.ne && o.previewSize && o.colors);
  EXPECT_EQ(std::tuple(o.replace->dedNull, o.replace->value, o.sw->lat, o.sw->lon, o.ne->lon),
            std::tuple(false, -500, 45.5, -7.0, -6.25));
  EXPECT_EQ(
      std::tuple(o.previewSize->width, o.previewSize->height, o.colors->bottom.g, o.colors->top.b),
      std::tuple(400, 300, 2, 252));

  EXPECT_EQ(convert({"--water"}).water, true);
  const ConvertOptions a = convert({"--scan", "--delimiter", "tab", "--replace", "ded-null"});
  ASSERT_TRUE(a.scan);
  EXPECT_EQ(std::tie(a.scan->line, a.delimiter), std::tuple(0, '\t'));
  EXPECT_EQ(a.replace->dedNull, true);
}

TEST(Options, BadValuesAreUsageErrorsNamingTheOption) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--source", "tiff"}, "--source: 'tiff' is not one of ascii, binary, image, fractal, geo"},
      {{"--units", "furlongs"},
       "--units: 'furlongs' is not one of inches, feet, centimeters, meters, kilometers, miles, "
       "nautical-miles, other"},
      {{"--width", "abc"}, "--width: 'abc' is not a whole number"},
      {{"--width", "0"}, "--width: '0' is outside 1 ... 2147483647"},
      {{"--offset", "-1"}, "--offset: '-1' is outside 0 ... 2147483647"},
      {{"--seed", "4294967296"}, "--seed: '4294967296' is outside 0 ... 4294967295"},
      {{"--noise", "nan"}, "--noise: 'nan' is outside 0 ... 1"},
      {{"--noise", "x"}, "--noise: 'x' is not a number"},
      {{"--valleys", "0"}, "--valleys: '0' is outside 0.0001 ... 0.5"},
      {{"--size", "1"}, "--size: '1' is outside 2 ... 4096"},
      {{"--scan", "41"}, "--scan: '41' is outside 1 ... 40"},
      {{"--unit-scale", "0"}, "--unit-scale: the scale must be greater than 0"},
      {{"--unit-scale", "1e99"}, "--unit-scale: '1e99' is outside 0 ... 3.402823466e+38"},
      {{"--ded-min", "-40000"}, "--ded-min: '-40000' is outside -32767 ... 32767"},
      {{"--ded-min", "10", "--ded-max", "5"}, "--ded-min: 10 is above --ded-max 5"},
      {{"--replace", "-32768"}, "--replace: '-32768' is outside -32767 ... 32767"},
      {{"--replace", "none"}, "--replace: 'none' is neither ded-null nor a whole number"},
      {{"--nodata", "1.5"}, "--nodata: '1.5' is not a whole number"},
      {{"--sw", "45"}, "--sw: '45' is not of the form LAT,LON"},
      {{"--sw", "91,0"}, "--sw: '91' is outside -90 ... 90"},
      {{"--sw", "1,1", "--ne", "1,0"},
       "--ne: the north-east corner must lie north or east of the south-west corner"},
      {{"--preview-size", "100x100"}, "--preview-size: needs --preview FILE.png"},
      {{"--preview", "p.png", "--preview-size", "100"},
       "--preview-size: '100' is not of the form WxH"},
      {{"--preview", "p.png", "--preview-size", "0x10"},
       "--preview-size: '0' is outside 1 ... 8192"},
      {{"--colors", "1,2:3,4,5"}, "--colors: '1,2' is not of the form R,G,B"},
      {{"--colors", "1,2,3"}, "--colors: '1,2,3' is not of the form R,G,B:R,G,B"},
      {{"--colors", "1,2,3:4,5,256"}, "--colors: '256' is outside 0 ... 255"},
      {{"--delimiter", "ab"},
       "--delimiter: 'ab' is not one character (or space, tab, comma, colon, semicolon, bar)"},
      {{"--file", ""}, "--file: the path is empty"},
      {{"--yes", "--no"}, "--yes excludes --no"},
      {{"--water", "--no-water"}, "--water excludes --no-water"},
      {{"--width"}, "--width: 1 required N missing"},
      {{"--bogus"}, "The following argument was not expected: --bogus"},
      {{"inspect"}, "file is required"},
      {{"--width", "3", "inspect", "a.ded"}, "inspect takes no conversion option such as --width"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(usageError(c.args), c.message) << c.args[0];
}

}  // namespace
}  // namespace relievo::cli
