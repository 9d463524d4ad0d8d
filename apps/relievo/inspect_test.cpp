#include "inspect.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <tuple>

#include "test_support.h"

namespace relievo::cli {
namespace {

DedFile goodFile() {
  DedFile f = parsePreamble(testing::dedBytes({}, 3, 2));
  f.path = "a.ded";
  f.size = 212;
  f.posts = DedPosts{6, 2, std::int16_t{-3}, std::int16_t{1200}};
  return f;
}

TEST(Inspect, TextShowsEveryRecord) {
  EXPECT_EQ(inspectText(goodFile()),
            "File:          a.ded (212 bytes)\n"
            "Header:        length 128, tag \"KTLX\", projection \"DMA1\", version \"V1.0\"\n"
            "Created:       Thu Dec  4 14:59:22 2026\n"
            "Range record:  marker 1, lowest -5 m, highest 1200 m\n"
            "SW corner:     lat 45.000000000, lon 7.000000000\n"
            "NE corner:     lat 46.000000000, lon 8.000000000\n"
            "Lat spacing:   3.0000 arc-seconds (0.000833333 degrees), 303.80 feet\n"
            "Lon spacing:   6.0000 arc-seconds (0.001666667 degrees), 4000.50 feet\n"
            "Post counts:   3 per record (latitude) x 2 records (longitude)\n"
            "Length:        212 bytes, as the counts call for\n"
            "Posts:         6\n"
            "DED NULL:      2\n"
            "Lowest post:   -3 m\n"
            "Highest post:  1200 m\n");
}

TEST(Inspect, JsonHoldsTheSame) {
  using nlohmann::json;
  const json j = json::parse(inspectJson(goodFile()));
  EXPECT_EQ(std::tuple(j["file"], j["bytes"]), std::tuple("a.ded", 212));
  EXPECT_EQ(j["header"], json::parse(R"({"length": 128, "tag": "KTLX", "projection": "DMA1    ",
      "version": "V1.0    ", "created": "Thu Dec  4 14:59:22 2026"})"));
  EXPECT_EQ(j["range"], json::parse(R"({"marker": 1, "lowest": -5, "highest": 1200})"));
  EXPECT_EQ(j["posts"],
            json::parse(R"({"count": 6, "dedNull": 2, "lowest": -3, "highest": 1200})"));
  const json& e = j["extents"];
  EXPECT_EQ(
      std::tuple(e["southWest"]["lat"], e["northEast"]["lon"], e["postsPerRecord"], e["records"],
                 e["latSpacing"]["tenthsOfArcSecond"], e["latSpacing"]["arcSeconds"]),
      std::tuple(45.0, 8.0, 3.0, 2.0, 30.0, 3.0));
  EXPECT_NEAR(e["lonSpacing"]["degrees"].get<double>(), 60.0 / 36000.0, 1e-12);
  EXPECT_NEAR(e["lonSpacing"]["feet"].get<double>(), 4000.5, 1e-9);
}

TEST(Inspect, JsonOfHostileTextsStaysValid) {
  DedFile f = goodFile();
  f.header.version =
      "\xC3\x28\xFF"
      "abcde";
  const nlohmann::json j = nlohmann::json::parse(inspectJson(f));
  // Each byte that is not UTF-8 becomes U+FFFD.
  EXPECT_EQ(j["header"]["version"],
            "\xEF\xBF\xBD(\xEF\xBF\xBD"
            "abcde");
}

}  // namespace
}  // namespace relievo::cli
