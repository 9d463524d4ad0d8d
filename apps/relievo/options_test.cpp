#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

std::string usageError(std::vector<std::string> args) {
  try {
    parse(std::move(args));
  } catch (const UsageError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(Options, NoArgumentsIsTheDefaultConversion) {
  const ConvertOptions o = convert({});
  EXPECT_FALSE(o.source || o.file || o.width || o.seed || o.output || o.settings || o.preview);
  EXPECT_FALSE(o.scan || o.yes || o.quiet || o.shaded || o.invert);
}

TEST(Options, EveryOptionReachesItsField) {
  const ConvertOptions o = convert({"--source",   "binary",    "--file",       "g.raw",
                                    "--width",    "300",       "--height",     "200",
                                    "--offset",   "64",        "--stride",     "4",
                                    "--type",     "i16",       "--byte-order", "big",
                                    "--order",    "cols",      "--origin",     "upper-left",
                                    "--nodata",   "-9999",     "--replace",    "-500",
                                    "--units",    "feet",      "--ded-min",    "5000",
                                    "--ded-max",  "6000.5",    "--invert",     "--sw",
                                    "45.5,-7",    "--ne",      "46,-6.25",     "-o",
                                    "out.ded",    "--preview", "p.png",        "--preview-size",
                                    "400x300",    "--shaded",  "--colors",     "1,2,3:250,251,252",
                                    "--settings", "s.json",    "-y",           "-q"});
  EXPECT_EQ(o.source, SourceKind::Binary);
  EXPECT_EQ(o.file, "g.raw");
  EXPECT_EQ(o.width, 300);
  EXPECT_EQ(o.height, 200);
  EXPECT_EQ(o.offset, 64);
  EXPECT_EQ(o.stride, 4);
  EXPECT_EQ(o.type, ElementType::I16);
  EXPECT_EQ(o.byteOrder, ByteOrder::Big);
  EXPECT_EQ(o.order, DataOrder::Cols);
  EXPECT_EQ(o.origin, Origin::UpperLeft);
  EXPECT_EQ(o.nodata, -9999);
  ASSERT_TRUE(o.replace);
  EXPECT_FALSE(o.replace->dedNull);
  EXPECT_EQ(o.replace->value, -500);
  EXPECT_EQ(o.units, Unit::Feet);
  EXPECT_EQ(o.dedMin, 5000.0);
  EXPECT_EQ(o.dedMax, 6000.5);
  EXPECT_TRUE(o.invert);
  ASSERT_TRUE(o.sw && o.ne);
  EXPECT_EQ(o.sw->lat, 45.5);
  EXPECT_EQ(o.sw->lon, -7.0);
  EXPECT_EQ(o.ne->lon, -6.25);
  EXPECT_EQ(o.output, "out.ded");
  EXPECT_EQ(o.preview, "p.png");
  ASSERT_TRUE(o.previewSize);
  EXPECT_EQ(o.previewSize->width, 400);
  EXPECT_EQ(o.previewSize->height, 300);
  EXPECT_TRUE(o.shaded);
  ASSERT_TRUE(o.colors);
  EXPECT_EQ(o.colors->bottom.g, 2);
  EXPECT_EQ(o.colors->top.b, 252);
  EXPECT_EQ(o.settings, "s.json");
  EXPECT_TRUE(o.yes);
  EXPECT_TRUE(o.quiet);
}

TEST(Options, FractalAndAsciiOptions) {
  const ConvertOptions f = convert({"--seed", "4294967295", "--noise", "0.5", "--valleys", "0.0001",
                                    "--plateaus", "0.5", "--no-water", "--size", "300"});
  EXPECT_EQ(f.seed, 4294967295u);
  EXPECT_EQ(f.noise, 0.5);
  EXPECT_EQ(f.valleys, 0.0001);
  EXPECT_EQ(f.water, false);
  EXPECT_EQ(f.size, 300);
  EXPECT_EQ(convert({"--water", "--water-level", "1"}).water, true);

  const ConvertOptions a = convert({"--scan", "--delimiter", "tab"});
  EXPECT_TRUE(a.scan);
  EXPECT_FALSE(a.scanLine);
  EXPECT_EQ(a.delimiter, '\t');
  const ConvertOptions b = convert({"--scan", "7", "--delimiter", ";"});
  EXPECT_EQ(b.scanLine, 7);
  EXPECT_EQ(b.delimiter, ';');
  EXPECT_EQ(convert({"--replace", "ded-null"}).replace->dedNull, true);
  EXPECT_EQ(convert({"--component", "alpha"}).component, Component::Alpha);
}

TEST(Options, BadValuesAreUsageErrorsNamingTheOption) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--source", "tiff"}, "--source: 'tiff' is not one of ascii, binary, image, fractal"},
      {{"--type", "u64"}, "--type: 'u64' is not one of u8, i8, u16, i16, u32, i32, f32, f64"},
      {{"--units", "furlongs"},
       "--units: 'furlongs' is not one of inches, feet, centimeters, meters, kilometers, miles, "
       "nautical-miles, other"},
      {{"--width", "abc"}, "--width: 'abc' is not a whole number"},
      {{"--width", "12x"}, "--width: '12x' is not a whole number"},
      {{"--width", "0"}, "--width: '0' is outside 1 ... 2147483647"},
      {{"--height", "99999999999"}, "--height: '99999999999' is outside 1 ... 2147483647"},
      {{"--offset", "-1"}, "--offset: '-1' is outside 0 ... 2147483647"},
      {{"--offset", "+-1"}, "--offset: '+-1' is not a whole number"},
      {{"--seed", "4294967296"}, "--seed: '4294967296' is outside 0 ... 4294967295"},
      {{"--noise", "1.5"}, "--noise: '1.5' is outside 0 ... 1"},
      {{"--noise", "nan"}, "--noise: 'nan' is outside 0 ... 1"},
      {{"--valleys", "0"}, "--valleys: '0' is outside 0.0001 ... 0.5"},
      {{"--size", "2"}, "--size: '2' is outside 4 ... 4096"},
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
      {{"--ne", "0,181"}, "--ne: '181' is outside -180 ... 180"},
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
  for (const Case& c : cases) {
    EXPECT_EQ(usageError(c.args), c.message) << c.args[0];
  }
}

TEST(Options, Inspect) {
  const Command c = parse({"inspect", "a.ded", "--json", "--png", "a.png"});
  ASSERT_EQ(c.kind, Command::Kind::Inspect);
  EXPECT_EQ(c.inspect.file, "a.ded");
  EXPECT_TRUE(c.inspect.json);
  EXPECT_EQ(c.inspect.png, "a.png");
  const Command plain = parse({"inspect", "b.ded"});
  EXPECT_FALSE(plain.inspect.json);
  EXPECT_FALSE(plain.inspect.png);
}

TEST(Options, HelpDocumentsEveryOption) {
  const Command c = parse({"--help"});
  ASSERT_EQ(c.kind, Command::Kind::Help);
  for (const char* name :
       {"--source",    "--file",      "--width",        "--height",   "--offset",
        "--stride",    "--type",      "--byte-order",   "--order",    "--origin",
        "--delimiter", "--component", "--scan",         "--seed",     "--noise",
        "--valleys",   "--plateaus",  "--water",        "--no-water", "--water-level",
        "--size",      "--nodata",    "--replace",      "--units",    "--unit-scale",
        "--ded-min",   "--ded-max",   "--invert",       "--sw",       "--ne",
        "--output",    "--preview",   "--preview-size", "--shaded",   "--colors",
        "--settings",  "--yes",       "--no",           "--quiet",    "inspect"}) {
    EXPECT_NE(c.help.find(name), std::string::npos) << name;
  }
  const Command inspect = parse({"inspect", "--help"});
  ASSERT_EQ(inspect.kind, Command::Kind::Help);
  EXPECT_NE(inspect.help.find("--json"), std::string::npos);
  EXPECT_NE(inspect.help.find("--png"), std::string::npos);
}

}  // namespace
}  // namespace relievo::cli
