#include "ded/ded_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

#include "ded/test_ded.h"
#include "ded/transpose.h"
#include "raster/file.h"
#include "relievo_testing/files.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo {
namespace {

using testing::Bytes;
using testing::floatAt;
using testing::streamContents;

using File = FilePtr;

std::string text(const Bytes& b, std::size_t offset, std::size_t n) {
  return std::string(b.begin() + offset, b.begin() + offset + n);
}

// Writes a projection marker over the start of the header's marker field.
void writeMarker(std::FILE* f, const char* marker) {
  std::fseek(f, kDedMarkerOffset, SEEK_SET);
  std::fwrite(marker, 1, std::strlen(marker), f);
}

// Three columns of two posts, written east to west, the last two in one call: each record
// goes to its own offset, whatever the order and wherever the stream stands.
TEST(DedWriter, AWholeFileIsByteExactWhateverOrderTheRecordsComeIn) {
  const testing::Records records = {{-32768, 1}, {1201, -2}, {32767, 0x1234}};
  File f(std::tmpfile());
  ASSERT_TRUE(f);
  const std::time_t before = std::time(nullptr);
  ASSERT_EQ(dedWriteHeader(f.get()), f.get());
  const std::time_t after = std::time(nullptr);
  std::fseek(f.get(), 20, SEEK_SET);
  EXPECT_EQ(dedWriteRange(f.get(), -32768, 32767), 0);
  EXPECT_EQ(std::ftell(f.get()), 160);
  ASSERT_EQ(dedWriteExtents(f.get(), 10, -120.5f, 11, -119.25f, 36000, 18000, 3, 2), 0);
  EXPECT_EQ(std::ftell(f.get()), 200);
  std::array<std::int16_t, 6> posts = {-32768, 1, 1201, -2, 32767, 0x1234};
  for (std::int16_t& post : posts)
    post = bigEndianPost(post);
  EXPECT_EQ(dedWriteColumn(f.get(), 2, std::span(posts).subspan(4, 2), 2), 4);
  EXPECT_EQ(std::ftell(f.get()), 212);
  EXPECT_EQ(dedWriteColumn(f.get(), 0, std::span(posts).first(4), 2), 8);
  EXPECT_EQ(std::ftell(f.get()), 208);
  const Bytes b = streamContents<Bytes>(f.get());
  testing::expectDed(b, {-32768, 32767, 10, -120.5f, 11, -119.25f, 36000, 18000, records});
  EXPECT_EQ(text(b, 200, 4), std::string("\x80\x00\x00\x01", 4));
  const std::string stamp = text(b, 24, 24);
  EXPECT_TRUE(stamp == std::string(std::ctime(&before), 24) ||
              stamp == std::string(std::ctime(&after), 24))
      << stamp;
}

TEST(DedWriter, ExtentsFeetFollowTheMiddleLatitudeOrTheUtmMarker) {
  struct Case {
    const char* name;
    float latSouthWest, latNorthEast, lonSpacing;
    const char* marker;  // over the header's, if any: UTM when it holds "UTM" anywhere
    bool writeOnly;
    float lonFeet, latFeet;
  };
  const Case cases[] = {
      {"equator", -1, 1, 30, nullptr, false, 303.8f, 303.8f},
      {"sixty degrees", 59, 61, 30, nullptr, false, 151.9f, 303.8f},
      // The difference is taken as a magnitude, so reversed corners move the middle to 62.
      {"reversed corners", 61, 59, 30, nullptr, false, 142.6255f, 303.8f},
      {"southern", -45.5f, -44.5f, 30, nullptr, false, 214.819f, 303.8f},
      {"utm", 60, 61, 90, "UTMS 5  ", false, 295.2756f, 98.4252f},
      {"utm last", 60, 61, 90, "DMA1 UTM", false, 295.2756f, 98.4252f},
      {"not quite utm", 59, 61, 30, "DMA1 UT ", false, 151.9f, 303.8f},
      // A stream opened for writing only (as Generate DED opens its output) cannot read its
      // marker back: the file counts as geographic.
      {"write-only utm", 59, 61, 30, "UTMS 5  ", true, 151.9f, 303.8f},
  };
  const testing::ScratchDir dir;
  const std::string path = dir.path("extents.ded");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    File f(c.writeOnly ? std::fopen(path.c_str(), "wb") : std::tmpfile());
    ASSERT_TRUE(f);
    dedWriteHeader(f.get());
    if (c.marker != nullptr) writeMarker(f.get(), c.marker);
    const float lat = c.latSouthWest, lon = c.lonSpacing;
    ASSERT_EQ(dedWriteExtents(f.get(), lat, 0, c.latNorthEast, 1, 30, lon, 121, 1201), 0);
    EXPECT_EQ(std::ferror(f.get()), 0);
    if (c.writeOnly) f.reset(std::fopen(path.c_str(), "rb"));
    const Bytes b = streamContents<Bytes>(f.get());
    ASSERT_EQ(b.size(), 200u);
    EXPECT_EQ(text(b, 8, 8), c.marker != nullptr ? c.marker : "DMA1    ");
    EXPECT_EQ(text(b, 184, 8), std::string("\x44\x96\x20\x00\x42\xF2\x00\x00", 8));  // 1201, 121
    EXPECT_NEAR(floatAt(b, 192), c.lonFeet, 1e-3);
    EXPECT_NEAR(floatAt(b, 196), c.latFeet, 1e-3);
  }
}

// A stream that takes nothing (a full or failing device looks the same) fails every record
// and counts no bytes written; a record whose position cannot be reached is refused.
TEST(DedWriter, AStreamThatTakesNothingFailsEveryRecord) {
  const testing::ScratchDir dir;
  const File readOnly(std::fopen(dir.write("read_only.ded", "").c_str(), "rb"));
  std::array<std::int16_t, 2> posts = {1, 2};
  EXPECT_EQ(dedWriteHeader(readOnly.get()), nullptr);
  EXPECT_EQ(dedWriteRange(readOnly.get(), 0, 1), -1);
  EXPECT_EQ(dedWriteExtents(readOnly.get(), 0, 0, 1, 1, 30, 30, 2, 2), -1);
  EXPECT_EQ(dedWriteColumn(readOnly.get(), 0, posts, 2), 0);
  EXPECT_EQ(dedWriteColumn(readOnly.get(), -1, posts, 2), -1);  // no record before the data
}

}  // namespace
}  // namespace relievo
