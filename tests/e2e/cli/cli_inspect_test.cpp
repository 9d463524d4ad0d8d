// `relievo inspect`: good files, damaged files, JSON, and the picture drawn north up.
#include <algorithm>
#include <bit>
#include <nlohmann/json.hpp>
#include <tuple>

#include "cli_test_support.h"

namespace relievo::e2e {
namespace {

constexpr int kNull = -32768;

void put(std::string& bytes, std::size_t at, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i)
    bytes[at + i] = static_cast<char>((v >> (8 * (n - 1 - i))) & 0xFF);
}

// A DED file as the format lays it out: `records` records of the posts given in turn.
std::string dedFile(const std::vector<std::int16_t>& posts, int records, int lowest, int highest) {
  std::string b(200, ' ');
  put(b, 0, 128, 4);
  b.replace(4, 20, "KTLXDMA1    V1.0    ");
  b.replace(24, 26, std::string("Fri Dec  5 10:00:00 2026\n\0", 26));
  put(b, 128, 1, 4);
  put(b, 132, static_cast<std::uint16_t>(lowest), 2);
  put(b, 134, static_cast<std::uint16_t>(highest), 2);
  const auto perRecord = static_cast<float>(posts.size() / records);
  const float extents[] = {45,   46,  7, 8, 30, 60, perRecord, static_cast<float>(records),
                           1.5f, 2.5f};
  for (int i = 0; i < 10; ++i)
    put(b, 160 + 4 * i, std::bit_cast<std::uint32_t>(extents[i]), 4);
  return b + int16Bytes(std::vector<int>(posts.begin(), posts.end()), true);
}

using CliInspect = CliTest;

TEST_F(CliInspect, AGoodFile) {
  writeFile(path("a.ded"), dedFile({-3, 7, kNull, 1200, 0, 5}, 2, -3, 1200));
  const RunResult r = ok("inspect a.ded");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "File:          a.ded (212 bytes)\n"
            "Header:        length 128, tag \"KTLX\", projection \"DMA1\", version \"V1.0\"\n"
            "Created:       Fri Dec  5 10:00:00 2026\n"
            "Range record:  marker 1, lowest -3 m, highest 1200 m\n"
            "SW corner:     lat 45.000000000, lon 7.000000000\n"
            "NE corner:     lat 46.000000000, lon 8.000000000\n"
            "Lat spacing:   3.0000 arc-seconds (0.000833333 degrees), 2.50 feet\n"
            "Lon spacing:   6.0000 arc-seconds (0.001666667 degrees), 1.50 feet\n"
            "Post counts:   3 per record (latitude) x 2 records (longitude)\n"
            "Length:        212 bytes, as the counts call for\n"
            "Posts:         6\n"
            "DED NULL:      1\n"
            "Lowest post:   -3 m\n"
            "Highest post:  1200 m\n");

  const RunResult json = ok("inspect a.ded --json");
  const nlohmann::json j = nlohmann::json::parse(json.out);
  EXPECT_EQ(j["posts"],
            (nlohmann::json{{"count", 6}, {"dedNull", 1}, {"lowest", -3}, {"highest", 1200}}));
}

TEST_F(CliInspect, AFileTheCommandWrote) {
  ok("--size 16 --sw -10,-20 --ne -9,-19 -o f.ded");
  const RunResult r = ok("inspect f.ded --json");
  const nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["bytes"], 200 + 2 * 16 * 16);
  EXPECT_EQ(j["extents"]["southWest"]["lat"], -10.0);
  EXPECT_EQ(j["extents"]["northEast"]["lon"], -19.0);
  EXPECT_NEAR(j["extents"]["latSpacing"]["degrees"].get<double>(), 1.0 / 15, 1e-6);
  EXPECT_EQ(j["posts"]["count"], 256);
  EXPECT_EQ(j["posts"]["lowest"], j["range"]["lowest"]);
  EXPECT_EQ(j["posts"]["highest"], j["range"]["highest"]);
}

// A file that is no DED file shows no field of its own, with --json only the reason.
TEST_F(CliInspect, FilesThatAreNoDedFiles) {
  writeFile(path("short.ded"), std::string(100, ' '));
  writeFile(path("long.ded"), dedFile({1, 2, 3, 4, 5, 6}, 2, 1, 6) + "x");
  std::vector<std::uint8_t> grey(64 * 64);
  for (std::size_t i = 0; i < grey.size(); ++i)
    grey[i] = static_cast<std::uint8_t>(i * i % 251);
  writePng(path("a.png"), 64, 64, 1, grey);
  struct Case {
    std::string file, reason;
  };
  const Case cases[] = {
      {"short.ded", "not a DED file: 100 bytes, shorter than the 200-byte preamble of a DED file"},
      {"long.ded",
       "not a DED file: the file holds 213 bytes, but its counts (2 records of 3 posts) call for "
       "212"},
      {"a.png", "not a DED file: its header does not begin with the length 128"},
  };
  for (const Case& c : cases) {
    const RunResult text = run("inspect " + c.file + " --png p.png");
    EXPECT_EQ(std::tie(text.exitCode, text.out, text.err),
              std::tuple(1, "", "relievo: " + c.file + ": " + c.reason + "\n"));
    const RunResult json = run("inspect " + c.file + " --json");
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(nlohmann::json::parse(json.out),
              (nlohmann::json{{"file", c.file}, {"error", c.reason}}));
  }
  EXPECT_FALSE(fs::exists(path("p.png")));
}

TEST_F(CliInspect, ThePictureIsNorthUp) {
  // 20 records (west to east) of 30 posts rising to the north; undefined data in the
  // north-west corner.
  const auto posts = dedPosts(20, 30, [](int column, int south) {
    return column < 5 && south >= 25 ? kNull : 10 + 10 * south;
  });
  writeFile(path("n.ded"), dedFile(posts, 20, 10, 300));
  ok("inspect n.ded --png n.png");
  const Picture picture = readPng(path("n.png"));
  ASSERT_EQ(picture.width, 210);
  ASSERT_EQ(picture.height, 260);
  // The terrain's bounding box on the black background.
  int left = picture.width, right = -1, top = picture.height, bottom = -1;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.at(x, y) == std::array<std::uint8_t, 3>{0, 0, 0}) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  // Taller than wide, as the terrain is.
  ASSERT_GT(right, left);
  EXPECT_GT(bottom - top, right - left);
  const int midX = (left + right) / 2;
  const auto north = picture.at(midX, top + (bottom - top) / 10);
  const auto south = picture.at(midX, bottom - (bottom - top) / 10);
  // The default ramp runs from dark green (low) to bright green (high).
  EXPECT_GT(north[1], south[1] + 50) << int(north[1]) << " " << int(south[1]);
  EXPECT_GT(picture.at(left + 2, top + 2)[0], 150);  // undefined data is yellow
  EXPECT_LT(picture.at(right - 2, bottom - 2)[0], 50);
}

}  // namespace
}  // namespace relievo::e2e
