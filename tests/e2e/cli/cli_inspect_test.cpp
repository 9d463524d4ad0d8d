// `relievo inspect` on files the command wrote and on a file that is no DED file, and the
// picture drawn north up. What it reports of each field is its unit tests' case.
#include <algorithm>
#include <nlohmann/json.hpp>
#include <tuple>

#include "cli_test_support.h"

namespace relievo::e2e {
namespace {

using CliInspect = CliTest;

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
  const RunResult text = ok("inspect f.ded");
  EXPECT_NE(text.out.find("Post counts:   16 per record (latitude) x 16 records (longitude)\n"),
            std::string::npos)
      << text.out;
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
