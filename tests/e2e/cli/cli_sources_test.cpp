// Every kind of source converted end to end by the built command, the posts of each file
// checked against values worked out from the input.
#include <bit>
#include <numeric>

#include "cli_test_support.h"

namespace relievo::e2e {
namespace {

constexpr std::int16_t kNull = -32768;
using Posts = std::vector<std::int16_t>;
using CliSources = CliTest;

TEST_F(CliSources, TheDefaultRunConvertsTheFractalTerrain) {
  const RunResult r = ok("--preview terrain.png");
  EXPECT_EQ(files(), (std::vector<std::string>{"terrain.ded", "terrain.png"}));
  EXPECT_EQ(r.err, "Success: DED file created\n\n" + abs("terrain.ded") + "\n");
  EXPECT_THAT(r.out, HasSubstr("Source:     Fractal Generator, 256 x 256\n"));
  EXPECT_THAT(r.out, HasSubstr("DED range:  0 ... 255 m\n"));
  EXPECT_THAT(r.out, HasSubstr("Output:     " + abs("terrain.ded") + " (131272 bytes)\n"));

  // Water is on by default: the terrain spans the fractal range 0 ... 255 exactly. The
  // default corners (0, 0) and (1, 1) make 255 intervals of 36000 / 255 tenths of a second.
  expectDed(DedFile::read(path("terrain.ded")),
            {{0, 255}, {0, 1, 0, 1}, 141.17647f, 141.17647f, 256, 256});
  EXPECT_EQ(readPng(path("terrain.png")).width, 210);
}

// The same seed giving the same terrain is the settings tests' case.
TEST_F(CliSources, FractalSettingsReachTheGenerator) {
  const auto make = [&](const std::string& name, const std::string& options) {
    ok(options + " --size 64 -o " + name);
    return DedFile::read(path(name));
  };
  const DedFile a = make("a.ded", "--seed 5");
  EXPECT_EQ(std::pair(a.extent(6), a.extent(7)), std::pair(64.0f, 64.0f));
  EXPECT_NE(make("b.ded", "--seed 6").posts(), a.posts());
  // Without water the lowest elevation is 1.
  EXPECT_EQ(make("c.ded", "--seed 5 --noise 0.8 --valleys 0.3 --no-water").range(),
            (std::pair{1, 255}));
}

TEST_F(CliSources, AsciiGridsWithAHeaderThroughScanFile) {
  writeFile(path("dem.asc"),
            "ncols         5\nnrows         4\nxllcorner     7.000000000000\n"
            "yllcorner     45.000000000000\ncellsize      0.000833333333\nNODATA_value  -9999\n"
            "12.5 13.7 14.2 15.9 16.1\n22 -9999 24.4 25.5 26.6\n"
            "32.3 33.3 34.4 35.5 36.6\n42.9 43.1 44 45.5 99.9\n");
  const RunResult r =
      ok("--source ascii --file dem.asc --scan --origin upper-left --nodata -9999 --sw 45,7 --ne "
         "45.0025,7.004 -o dem.ded");
  EXPECT_THAT(r.out, HasSubstr("Source:     ASCII File " + abs("dem.asc") + ", 5 x 4\n"));
  const DedFile ded = DedFile::read(path("dem.ded"));
  // The DED range is the data range, so each value keeps its metres (truncated); the first
  // row of the file is the northern edge.
  EXPECT_EQ(ded.posts(), (Posts{42, 32, 22, 12, 43, 33, kNull, 13, 44, 34,
                                24, 14, 45, 35, 25, 15, 99,    36, 26, 16}));
  EXPECT_EQ((std::vector<float>{ded.extent(0), ded.extent(1), ded.extent(2), ded.extent(3)}),
            (std::vector<float>{45.0f, 45.0025f, 7.0f, 7.004f}));

  // The first line begins with a number, so the data line is named; the header lines give
  // the counts.
  writeFile(path("g.csv"), "2010 survey of the valley\ncols 3\nrows 2\n10,20,30\n40,50,60\n");
  ok("--source ascii --file g.csv --delimiter , --scan 4 -o g.ded");
  EXPECT_EQ(DedFile::read(path("g.ded")).posts(), (Posts{10, 40, 20, 50, 30, 60}));
}

// Binary grids of each layout the options describe; the first row of a file is the southern
// edge, and the posts go column after column.
TEST_F(CliSources, BinaryGridsOfEveryLayout) {
  // 3 x 2 big-endian 16-bit values 0, 100 ... 500 after a 64-byte header.
  writeFile(path("h.raw"), std::string("GRID HEADER") + std::string(53, '\0') +
                               int16Bytes({0, 100, 200, 300, 400, 500}, true));
  // 2 x 2 little-endian floats 1000.25, 1037.75, 1075.25, 1112.75 (feet), each followed by 4
  // bytes to skip.
  std::string floats;
  for (const float v : {1000.25f, 1037.75f, 1075.25f, 1112.75f}) {
    for (int b = 0; b < 4; ++b)
      floats += static_cast<char>((std::bit_cast<std::uint32_t>(v) >> (8 * b)) & 0xFF);
    floats += "JUNK";
  }
  writeFile(path("f.bin"), floats);
  writeFile(path("c.raw"), bytesOf({1, 2, 3, 4, 5, 6}));
  writeFile(path("u.raw"), bytesOf({0, 10, 20, 30, 0, 50}));
  const std::string u = "--file u.raw --width 3 --height 2 --type u8 ";
  const struct {
    std::string args;
    Posts posts;
    std::string summary;  // a part of the summary
  } cases[] = {
      // The new range lies wholly above the data's: the maximum goes first.
      {"--file h.raw --width 3 --height 2 --offset 64 --type i16 --byte-order big --ded-min 5000 "
       "--ded-max 6000",
       {5000, 5600, 5200, 5800, 5400, 6000},
       "DED range:  5000 ... 6000 m\n"},
      // The metres range onto itself: each post is the value in metres, truncated.
      {"--file f.bin --width 2 --height 2 --stride 4 --type f32 --byte-order little --units feet",
       {304, 327, 316, 339},
       "Raw data:   1000.25 ... 1112.75 Feet\n"},
      // Each row of a column-major grid is one terrain column, over the default degree square.
      {"--file c.raw --width 3 --height 2 --type u8 --order cols",
       {1, 2, 3, 4, 5, 6},
       "Spacing:    lat 1800.0000\" (0.500000000 deg), lon 3600.0000\" (1.000000000 deg)\n"
       "Posts:      3 per column x 2 columns\n"},
      {u + "--nodata 0 --replace -500", {-500, 30, 10, -500, 20, 50}, ""},
      {u + "--nodata 0 --invert", {kNull, 30, 50, kNull, 40, 10}, ""},
      {u + "--units other --unit-scale 2.5", {0, 75, 25, 0, 50, 125}, ""},
  };
  for (const auto& c : cases) {
    const RunResult r = ok("--source binary " + c.args + " -o out.ded");
    EXPECT_THAT(r.out, HasSubstr(c.summary));
    EXPECT_EQ(DedFile::read(path("out.ded")).posts(), c.posts) << c.args;
  }
}

// Images are read by the plug-in's image unit tests; here the options that choose them.
TEST_F(CliSources, ImagesByTheirComponentIntoTheProposedFile) {
  // Planes red, green, blue of 2 x 2 pixels, each bottom row first.
  writeFile(path("t.rgb"),
            sgiVerbatim({2, 2, 3, {10, 13, 30, 33, 200, 201, 202, 203, 90, 91, 92, 93}}));
  const RunResult r = ok("--source image --file t.rgb --component red -o t.ded");
  EXPECT_THAT(r.out, HasSubstr("Source:     Image File " + abs("t.rgb") + ", 2 x 2\n"));
  EXPECT_EQ(DedFile::read(path("t.ded")).posts(), (Posts{10, 30, 13, 33}));
  // Without --output the dialog's proposal is taken: the image's name with ".ded". Its first
  // row is the northern edge.
  writePng(path("img.png"), 3, 2, 1, {1, 8, 15, 41, 48, 55});
  ok("--source image --file img.png");
  EXPECT_EQ(DedFile::read(path("img.ded")).posts(), (Posts{41, 1, 48, 8, 55, 15}));
}

TEST_F(CliSources, PreviewPictureOfTheGivenSizeAndColours) {
  std::vector<int> values(64);
  std::iota(values.begin(), values.end(), 1);
  writeFile(path("p.raw"), bytesOf(values));
  const std::string common =
      "--source binary --file p.raw --width 8 --height 8 --type u8 --colors 255,0,0:255,0,0 "
      "--preview-size 300x200 ";
  ok(common + "--preview flat.png -o a.ded");
  ok(common + "--preview shaded.png --shaded -o b.ded");
  const Picture flat = readPng(path("flat.png"));
  ASSERT_EQ(std::pair(flat.width, flat.height), std::pair(300, 200));
  // A ramp from red to red paints the whole terrain red, centred on the black background.
  using Rgb = std::array<std::uint8_t, 3>;
  EXPECT_EQ(std::tuple(flat.at(150, 100), flat.at(0, 0), flat.at(299, 199)),
            std::tuple(Rgb{255, 0, 0}, Rgb{}, Rgb{}));
  const Picture shaded = readPng(path("shaded.png"));
  EXPECT_TRUE(shaded.width == 300 && shaded.rgb != flat.rgb);
}

}  // namespace
}  // namespace relievo::e2e
