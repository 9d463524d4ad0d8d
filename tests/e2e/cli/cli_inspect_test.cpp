// `relievo inspect` on files the command wrote and on a file that is no DED file, and the
// picture drawn north up.
#include <nlohmann/json.hpp>
#include <tuple>

#include "cli_test_support.h"

namespace relievo::e2e {
namespace {

using CliInspect = CliTest;

// What inspect reports of each field is its unit tests' case; here a file the command wrote.
TEST_F(CliInspect, AFileTheCommandWrote) {
  ok("--size 16 --sw -10,-20 --ne -9,-19 -o f.ded");
  const nlohmann::json j = nlohmann::json::parse(ok("inspect f.ded --json").out);
  EXPECT_EQ(std::tuple(j["bytes"], j["extents"]["southWest"]["lat"], j["posts"]["count"]),
            std::tuple(712, -10.0, 256));
  EXPECT_EQ(j["posts"]["lowest"], j["range"]["lowest"]);
  EXPECT_EQ(j["posts"]["highest"], j["range"]["highest"]);
  EXPECT_THAT(ok("inspect f.ded").out,
              HasSubstr("Post counts:   16 per record (latitude) x 16 records"));
}

// A file that is no DED file shows no field of its own, with --json only the reason.
TEST_F(CliInspect, AFileThatIsNoDedFile) {
  writeFile(path("short.ded"), std::string(100, ' '));
  const std::string reason =
      "not a DED file: 100 bytes, shorter than the 200-byte preamble of a DED file";
  const RunResult text = run("inspect short.ded --png p.png");
  EXPECT_EQ(std::tie(text.exitCode, text.out, text.err),
            std::tuple(1, "", "relievo: short.ded: " + reason + "\n"));
  const RunResult json = run("inspect short.ded --json");
  EXPECT_EQ(json.exitCode, 1);
  EXPECT_EQ(nlohmann::json::parse(json.out),
            (nlohmann::json{{"file", "short.ded"}, {"error", reason}}));
  EXPECT_FALSE(fs::exists(path("p.png")));
}

TEST_F(CliInspect, ThePictureIsNorthUp) {
  // 20 columns of 30 values rising to the north, the first row the southern edge; undefined
  // data (0) in the north-west corner.
  std::vector<int> values;
  for (int south = 0; south < 30; ++south) {
    for (int column = 0; column < 20; ++column)
      values.push_back(column < 5 && south >= 25 ? 0 : 1 + south);
  }
  writeFile(path("n.raw"), bytesOf(values));
  ok("--source binary --file n.raw --width 20 --height 30 --type u8 --nodata 0 -o n.ded");
  ok("inspect n.ded --png n.png");
  const Picture p = readPng(path("n.png"));
  ASSERT_EQ(std::pair(p.width, p.height), std::pair(210, 260));
  // The terrain 6 times enlarged, 120 x 180 from (45, 40) on the black background: the
  // undefined corner yellow at the top left, the green ramp brightest at the top.
  using Rgb = std::array<std::uint8_t, 3>;
  EXPECT_EQ(std::tuple(p.at(44, 130), p.at(165, 130), p.at(100, 39), p.at(100, 220)),
            std::tuple(Rgb{}, Rgb{}, Rgb{}, Rgb{}));
  EXPECT_NE(p.at(45, 130), Rgb{});
  EXPECT_NE(p.at(164, 219), Rgb{});
  EXPECT_GT(p.at(47, 42)[0], 150);
  EXPECT_LT(p.at(162, 217)[0], 50);
  EXPECT_GT(p.at(100, 45)[1], p.at(100, 214)[1] + 50);
}

}  // namespace
}  // namespace relievo::e2e
