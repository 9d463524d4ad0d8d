// Every kind of source converted end to end by the built command, the posts of each file
// checked against values computed here from the input.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "cli_test_support.h"

namespace relievo::clitest {
namespace {

constexpr std::int16_t kNull = -32768;

class CliSources : public CliTest {
 protected:
  std::string abs(const std::string& name) const { return (fs::canonical(dir_) / name).string(); }
};

std::string bigEndian16(const std::vector<int>& values) {
  std::string out;
  for (const int v : values) {
    out += static_cast<char>((static_cast<unsigned>(v) >> 8) & 0xFF);
    out += static_cast<char>(static_cast<unsigned>(v) & 0xFF);
  }
  return out;
}

std::string bytesOf(const std::vector<int>& values) {
  std::string out;
  for (const int v : values)
    out += static_cast<char>(v);
  return out;
}

TEST_F(CliSources, TheDefaultRunConvertsTheFractalTerrain) {
  const RunResult r = run({"--preview", "terrain.png"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(files(), (std::vector<std::string>{"terrain.ded", "terrain.png"}));
  EXPECT_EQ(r.err, "Success: DED file created\n\n" + abs("terrain.ded") + "\n");
  EXPECT_NE(r.out.find("Source:     Fractal Generator, 256 x 256\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("DED range:  0 ... 255 m\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Output:     " + abs("terrain.ded") + " (131272 bytes)\n"),
            std::string::npos);

  const Ded ded = readDed(path("terrain.ded"));
  ASSERT_EQ(ded.bytes.size(), 200u + 2 * 256 * 256);
  EXPECT_EQ(ded.postsPerRecord(), 256);
  EXPECT_EQ(ded.records(), 256);
  // Water is on by default: the terrain spans the fractal range 0 ... 255 exactly.
  EXPECT_EQ(ded.rangeLowest(), 0);
  EXPECT_EQ(ded.rangeHighest(), 255);
  const auto posts = ded.posts();
  const auto [low, high] = std::minmax_element(posts.begin(), posts.end());
  EXPECT_EQ(*low, 0);
  EXPECT_EQ(*high, 255);
  // Default corners (0, 0) and (1, 1): 255 intervals of 36000 / 255 tenths of a second.
  EXPECT_EQ(ded.extent(0), 0.0f);
  EXPECT_EQ(ded.extent(1), 1.0f);
  EXPECT_NEAR(ded.extent(4), 36000.0f / 255.0f, 1e-3);
  EXPECT_NEAR(ded.extent(5), 36000.0f / 255.0f, 1e-3);

  const Picture picture = readPng(path("terrain.png"));
  EXPECT_EQ(picture.width, 210);
  EXPECT_EQ(picture.height, 260);
}

TEST_F(CliSources, FractalSettingsReachTheGenerator) {
  const auto make = [&](const std::string& name, std::vector<std::string> args) {
    args.insert(args.end(), {"--size", "64", "-o", name});
    const RunResult r = run(args);
    EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
    return readDed(path(name));
  };
  const Ded a = make("a.ded", {"--seed", "5"});
  const Ded again = make("b.ded", {"--seed", "5"});
  const Ded otherSeed = make("c.ded", {"--seed", "6"});
  const Ded dry = make("d.ded", {"--seed", "5", "--no-water"});
  const Ded noisy = make("e.ded", {"--seed", "5", "--noise", "0.8", "--valleys", "0.3"});
  EXPECT_EQ(a.records(), 64);
  EXPECT_EQ(a.postsPerRecord(), 64);
  EXPECT_EQ(a.posts(), again.posts());
  EXPECT_NE(a.posts(), otherSeed.posts());
  EXPECT_NE(a.posts(), noisy.posts());
  // Without water the lowest elevation is 1, and no post lies below it.
  EXPECT_EQ(dry.rangeLowest(), 1);
  const auto dryPosts = dry.posts();
  EXPECT_EQ(*std::min_element(dryPosts.begin(), dryPosts.end()), 1);

  // The origin and order turn the same terrain: upper-left flips it north to south, "cols"
  // takes each row of the map as a column.
  const Ded flipped = make("g.ded", {"--seed", "5", "--origin", "upper-left"});
  const Ded turned = make("h.ded", {"--seed", "5", "--order", "cols"});
  for (int c = 0; c < 64; ++c) {
    for (int r = 0; r < 64; ++r) {
      ASSERT_EQ(flipped.post(c, r), a.post(c, 63 - r)) << c << "," << r;
      ASSERT_EQ(turned.post(c, r), a.post(r, c)) << c << "," << r;
    }
  }

  // Sizes are rounded down to a power of two.
  ASSERT_EQ(run({"--size", "100", "-o", "f.ded"}).exitCode, 0);
  EXPECT_EQ(readDed(path("f.ded")).records(), 64);
}

TEST_F(CliSources, AsciiGridWithAHeaderThroughScanFile) {
  const std::vector<std::vector<double>> rows = {{12.5, 13.7, 14.2, 15.9, 16.1},
                                                 {22.0, -9999, 24.4, 25.5, 26.6},
                                                 {32.3, 33.3, 34.4, 35.5, 36.6},
                                                 {42.9, 43.1, 44.0, 45.5, 99.9}};
  writeFile(path("dem.asc"), asciiGrid(rows, -9999));
  const RunResult r =
      run({"--source", "ascii", "--file", "dem.asc", "--scan", "--origin", "upper-left", "--nodata",
           "-9999", "--sw", "45,7", "--ne", "45.0025,7.004", "-o", "dem.ded"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Source:     ASCII File " + abs("dem.asc") + ", 5 x 4\n"), std::string::npos)
      << r.out;
  const Ded ded = readDed(path("dem.ded"));
  ASSERT_EQ(ded.records(), 5);
  ASSERT_EQ(ded.postsPerRecord(), 4);
  ASSERT_EQ(ded.bytes.size(), 200u + 2 * 20);
  // The DED range is the data range, so each value keeps its metres (truncated); the first
  // row of the file is the northern edge.
  for (int column = 0; column < 5; ++column) {
    for (int south = 0; south < 4; ++south) {
      const double v = rows[3 - south][column];
      const std::int16_t want = v == -9999 ? kNull : static_cast<std::int16_t>(v);
      EXPECT_EQ(ded.post(column, south), want) << column << "," << south;
    }
  }
  EXPECT_EQ(ded.rangeLowest(), 12);
  EXPECT_EQ(ded.rangeHighest(), 99);
  EXPECT_EQ(ded.extent(0), 45.0f);
  EXPECT_EQ(ded.extent(1), 45.0025f);
  EXPECT_EQ(ded.extent(2), 7.0f);
  EXPECT_EQ(ded.extent(3), 7.004f);
  EXPECT_NEAR(ded.extent(4), (45.0025f - 45.0f) * 36000.0 / 3, 1e-3);
  EXPECT_NEAR(ded.extent(5), (7.004f - 7.0f) * 36000.0 / 4, 1e-3);
}

TEST_F(CliSources, AsciiWithADelimiterAndAChosenFirstLine) {
  // The first line begins with a number, so the data line is named; the header lines give
  // the counts.
  writeFile(path("g.csv"), "2010 survey of the valley\ncols 3\nrows 2\n10,20,30\n40,50,60\n");
  const RunResult r = run(
      {"--source", "ascii", "--file", "g.csv", "--delimiter", ",", "--scan", "4", "-o", "g.ded"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Ded ded = readDed(path("g.ded"));
  EXPECT_EQ(ded.posts(), (std::vector<std::int16_t>{10, 40, 20, 50, 30, 60}));
}

TEST_F(CliSources, BinaryGridAfterAHeaderMappedOntoARangeAboveItsData) {
  std::vector<int> values;
  for (int i = 0; i < 24; ++i)
    values.push_back(i * 100);
  writeFile(path("grid.raw"),
            std::string("GRID HEADER") + std::string(53, '\0') + bigEndian16(values));
  // The new range lies wholly above the present one (0 ... 2300): the maximum goes first.
  const RunResult r =
      run({"--source",  "binary", "--file", "grid.raw", "--width",      "6",   "--height",  "4",
           "--offset",  "64",     "--type", "i16",      "--byte-order", "big", "--ded-min", "5000",
           "--ded-max", "6000",   "-o",     "g.ded"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("DED range:  5000 ... 6000 m\n"), std::string::npos) << r.out;
  const Ded ded = readDed(path("g.ded"));
  ASSERT_EQ(ded.records(), 6);
  ASSERT_EQ(ded.postsPerRecord(), 4);
  EXPECT_EQ(ded.rangeLowest(), 5000);
  EXPECT_EQ(ded.rangeHighest(), 6000);
  for (int column = 0; column < 6; ++column) {
    for (int south = 0; south < 4; ++south) {
      const int v = values[south * 6 + column];
      EXPECT_EQ(ded.post(column, south), linearPost(v, 0, 2300, 5000, 6000));
    }
  }
}

TEST_F(CliSources, BinaryFloatsWithAStrideInFeet) {
  std::string bytes;
  std::vector<float> values;
  for (int i = 0; i < 12; ++i) {
    const float v = 1000.25f + 37.5f * static_cast<float>(i);
    values.push_back(v);
    const auto bits = std::bit_cast<std::uint32_t>(v);
    for (int b = 0; b < 4; ++b)
      bytes += static_cast<char>((bits >> (8 * b)) & 0xFF);
    bytes += "JUNK";
  }
  writeFile(path("f.bin"), bytes);
  const RunResult r =
      run({"--source", "binary", "--file", "f.bin", "--width", "4", "--height", "3", "--stride",
           "4", "--type", "f32", "--byte-order", "little", "--units", "feet", "-o", "f.ded"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Raw data:   1000.25 ... 1412.75 Feet\n"), std::string::npos) << r.out;
  const Ded ded = readDed(path("f.ded"));
  const double scale = 0.3048f;
  const double low = values.front() * scale;
  const double high = values.back() * scale;
  for (int column = 0; column < 4; ++column) {
    for (int south = 0; south < 3; ++south) {
      EXPECT_EQ(ded.post(column, south),
                linearPost(values[south * 4 + column] * scale, low, high, low, high));
    }
  }
}

TEST_F(CliSources, ColumnOrderedGridsThatAreNotSquare) {
  writeFile(path("c.raw"), bytesOf({1, 2, 3, 4, 5, 6}));
  const auto convert = [&](const std::string& origin, const std::string& name) {
    const RunResult r =
        run({"--source", "binary", "--file", "c.raw", "--width", "3", "--height", "2", "--type",
             "u8", "--order", "cols", "--origin", origin, "-o", name});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return readDed(path(name));
  };
  // Each row of the file is one column of the terrain: 2 records of 3 posts.
  const Ded lower = convert("lower-left", "l.ded");
  EXPECT_EQ(lower.records(), 2);
  EXPECT_EQ(lower.postsPerRecord(), 3);
  EXPECT_EQ(lower.posts(), (std::vector<std::int16_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(convert("upper-left", "u.ded").posts(), (std::vector<std::int16_t>{3, 2, 1, 6, 5, 4}));
}

TEST_F(CliSources, UndefinedDataUnitsAndInversion) {
  writeFile(path("u.raw"), bytesOf({0, 10, 20, 30, 0, 50}));
  const std::vector<std::string> layout = {"--source", "binary",   "--file", "u.raw",  "--width",
                                           "3",        "--height", "2",      "--type", "u8"};
  auto args = [&](std::vector<std::string> more) {
    more.insert(more.begin(), layout.begin(), layout.end());
    return more;
  };
  ASSERT_EQ(run(args({"--nodata", "0", "--replace", "-500", "-o", "n.ded"})).exitCode, 0);
  const Ded custom = readDed(path("n.ded"));
  // A custom replacement widens the range record; the DED range is the defined data's.
  EXPECT_EQ(custom.rangeLowest(), -500);
  EXPECT_EQ(custom.rangeHighest(), 50);
  EXPECT_EQ(custom.posts(), (std::vector<std::int16_t>{-500, 30, 10, -500, 20, 50}));

  ASSERT_EQ(run(args({"--nodata", "0", "--invert", "-o", "i.ded"})).exitCode, 0);
  const Ded inverted = readDed(path("i.ded"));
  EXPECT_EQ(inverted.rangeLowest(), 10);
  EXPECT_EQ(inverted.rangeHighest(), 50);
  EXPECT_EQ(inverted.posts(), (std::vector<std::int16_t>{kNull, 30, 50, kNull, 40, 10}));

  ASSERT_EQ(run(args({"--units", "other", "--unit-scale", "2.5", "-o", "o.ded"})).exitCode, 0);
  const Ded other = readDed(path("o.ded"));
  EXPECT_EQ(other.rangeHighest(), 125);
  const std::vector<int> raw = {0, 10, 20, 30, 0, 50};
  for (int column = 0; column < 3; ++column) {
    for (int south = 0; south < 2; ++south) {
      const double m = raw[south * 3 + column] * 2.5;
      EXPECT_EQ(other.post(column, south), linearPost(m, 0, 125, 0, 125));
    }
  }
}

TEST_F(CliSources, SgiImageByItsRedComponent) {
  const int w = 4, h = 3;
  std::vector<std::uint8_t> red, green, blue;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      red.push_back(static_cast<std::uint8_t>(10 + 20 * y + 3 * x));
      green.push_back(static_cast<std::uint8_t>(200 - x));
      blue.push_back(7);
    }
  }
  writeFile(path("t.rgb"), sgiImage(w, h, {red, green, blue}));
  const RunResult r =
      run({"--source", "image", "--file", "t.rgb", "--component", "red", "-o", "t.ded"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Source:     Image File " + abs("t.rgb") + ", 4 x 3\n"), std::string::npos)
      << r.out;
  const Ded ded = readDed(path("t.ded"));
  ASSERT_EQ(ded.records(), w);
  ASSERT_EQ(ded.postsPerRecord(), h);
  // SGI rows come bottom row first, so row y of the file is y posts from the south.
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y)
      EXPECT_EQ(ded.post(x, y), red[y * w + x]);
  }
}

TEST_F(CliSources, PngImageIntoTheProposedFile) {
  const int w = 5, h = 3;
  std::vector<std::uint8_t> grey;
  for (int top = 0; top < h; ++top) {
    for (int x = 0; x < w; ++x)
      grey.push_back(static_cast<std::uint8_t>(1 + 40 * top + 7 * x));
  }
  writePng(path("img.png"), w, h, 1, grey);
  // Without --output the dialog's proposal is taken: the image's name with ".ded".
  const RunResult r = run({"--source", "image", "--file", "img.png"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(files(), (std::vector<std::string>{"img.ded", "img.png"}));
  const Ded ded = readDed(path("img.ded"));
  for (int x = 0; x < w; ++x) {
    for (int south = 0; south < h; ++south) {
      EXPECT_EQ(ded.post(x, south), grey[(h - 1 - south) * w + x]) << x << "," << south;
    }
  }
}

TEST_F(CliSources, PreviewPictureOfTheGivenSizeAndColours) {
  std::vector<int> values;
  for (int i = 1; i <= 64; ++i)
    values.push_back(i);
  writeFile(path("p.raw"), bytesOf(values));
  const std::vector<std::string> common = {
      "--source",       "binary", "--file", "p.raw", "--width",  "8",
      "--height",       "8",      "--type", "u8",    "--colors", "255,0,0:255,0,0",
      "--preview-size", "300x200"};
  auto args = [&](std::vector<std::string> more) {
    more.insert(more.begin(), common.begin(), common.end());
    return more;
  };
  ASSERT_EQ(run(args({"--preview", "flat.png", "-o", "a.ded"})).exitCode, 0);
  ASSERT_EQ(run(args({"--preview", "shaded.png", "--shaded", "-o", "b.ded"})).exitCode, 0);
  const Picture flat = readPng(path("flat.png"));
  ASSERT_EQ(flat.width, 300);
  ASSERT_EQ(flat.height, 200);
  // A ramp from red to red paints the whole terrain red, centred on the black background.
  EXPECT_EQ(flat.at(150, 100), (std::array<std::uint8_t, 3>{255, 0, 0}));
  EXPECT_EQ(flat.at(0, 0), (std::array<std::uint8_t, 3>{0, 0, 0}));
  EXPECT_EQ(flat.at(299, 199), (std::array<std::uint8_t, 3>{0, 0, 0}));
  const Picture shaded = readPng(path("shaded.png"));
  ASSERT_EQ(shaded.width, 300);
  EXPECT_NE(shaded.rgb, flat.rgb);
}

}  // namespace
}  // namespace relievo::clitest
