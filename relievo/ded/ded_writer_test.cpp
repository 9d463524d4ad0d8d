#include "ded/ded_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "ded/test_ded.h"
#include "relievo_testing/files.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo {
namespace {

using testing::Bytes;
using testing::floatAt;
using testing::readFile;
using testing::streamContents;

struct FileClose {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

std::string text(const Bytes& b, std::size_t offset, std::size_t n) {
  return std::string(b.begin() + offset, b.begin() + offset + n);
}

// Three columns of two posts, written by columns (east to west) or by rows across: each
// record goes to its own offset, whatever the order and wherever the stream stands.
TEST(DedWriter, AWholeFileIsByteExactWhicheverWriterFillsTheRecords) {
  const testing::Records records = {{-32768, 1}, {1201, -2}, {32767, 0x1234}};
  for (bool acrossRows : {false, true}) {
    SCOPED_TRACE(acrossRows ? "rows across" : "columns");
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
    std::array<std::int16_t, 3> south = {-32768, 1201, 32767};
    std::array<std::int16_t, 3> north = {1, -2, 0x1234};
    if (acrossRows) {
      EXPECT_EQ(dedWriteRowAcross(f.get(), 1, north, 2), 6);
      EXPECT_EQ(dedWriteRowAcross(f.get(), 0, south, 2), 6);
    } else {
      for (std::int32_t c = 2; c >= 0; --c) {
        EXPECT_EQ(dedWriteColumn(f.get(), c, std::span(posts).subspan(2 * c, 2)), 4);
        EXPECT_EQ(std::ftell(f.get()), 200 + 4 * (c + 1));
      }
    }
    const Bytes b = streamContents<Bytes>(f.get());
    testing::expectDed(b, {-32768, 32767, 10, -120.5f, 11, -119.25f, 36000, 18000, records});
    EXPECT_EQ(text(b, 200, 4), std::string("\x80\x00\x00\x01", 4));
    // The caller's buffer was swapped in place: it holds the bytes written.
    EXPECT_EQ(
        acrossRows ? std::memcmp(south.data(), &b[200], 2) : std::memcmp(posts.data(), &b[200], 12),
        0);
    bool matchesClock = false;
    for (std::time_t t = before; t <= after; ++t)
      matchesClock = matchesClock || text(b, 24, 24) == std::string(std::ctime(&t), 24);
    EXPECT_TRUE(matchesClock) << text(b, 24, 24);
  }
  EXPECT_EQ(dedWriteHeader(nullptr), nullptr);
  EXPECT_EQ(dedWriteRange(nullptr, 0, 1), -1);
  EXPECT_EQ(dedWriteExtents(nullptr, 0, 0, 1, 1, 30, 30, 2, 2), -1);
}

TEST(DedWriter, ExtentsFeetFollowTheMiddleLatitudeOrTheUtmMarker) {
  struct Case {
    const char* name;
    float latSouthWest, latNorthEast, lonSpacing;
    int zone;  // 0: geographic
    bool writeOnly;
    float lonFeet, latFeet;
  };
  const Case cases[] = {
      {"equator", -1, 1, 30, 0, false, 303.8f, 303.8f},
      {"sixty degrees", 59, 61, 30, 0, false, 151.9f, 303.8f},
      // The difference is taken as a magnitude, so reversed corners move the middle to 62.
      {"reversed corners", 61, 59, 30, 0, false, 142.6255f, 303.8f},
      {"southern", -45.5f, -44.5f, 30, 0, false, 214.819f, 303.8f},
      {"utm", 60, 61, 90, 5, false, 295.2756f, 98.4252f},
      // A stream opened for writing only (as Generate DED opens its output) cannot read its
      // marker back: the file counts as geographic.
      {"write-only utm", 59, 61, 30, 5, true, 151.9f, 303.8f},
  };
  const testing::ScratchDir dir;
  const std::string path = dir.path("extents.ded");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    File f(c.writeOnly ? std::fopen(path.c_str(), "wb") : std::tmpfile());
    ASSERT_TRUE(f);
    dedWriteHeader(f.get());
    if (c.zone != 0) dedSetUtmZone(f.get(), 1, c.zone);
    const float lat = c.latSouthWest, lon = c.lonSpacing;
    ASSERT_EQ(dedWriteExtents(f.get(), lat, 0, c.latNorthEast, 1, 30, lon, 121, 1201), 0);
    EXPECT_EQ(std::ferror(f.get()), 0);
    if (c.writeOnly) f.reset(std::fopen(path.c_str(), "rb"));
    const Bytes b = streamContents<Bytes>(f.get());
    ASSERT_EQ(b.size(), 200u);
    EXPECT_EQ(text(b, 8, 8), c.zone != 0 ? "UTMS 5  " : "DMA1    ");
    EXPECT_EQ(text(b, 184, 8), std::string("\x44\x96\x20\x00\x42\xF2\x00\x00", 8));  // 1201, 121
    EXPECT_NEAR(floatAt(b, 192), c.lonFeet, 1e-3);
    EXPECT_NEAR(floatAt(b, 196), c.latFeet, 1e-3);
  }
}

TEST(DedWriter, UtmMarkerStepsOnOneFile) {
  struct Step {
    int southern, zone;
    const char* marker;
    int utm;
  };
  const Step steps[] = {
      {1, 0, "DMA1    ", 0},  {1, 5, "UTMS 5  ", 1},  {0, 5, "UTMN 5  ", 1},
      {1, 32, "UTMS32  ", 1}, {0, 60, "UTMN60  ", 1}, {0, 123456789, "UTMN1234", 1},
      {0, 5, "UTMN 534", 1},  {1, 0, "DMA1 534", 0},  // the bytes behind the new text stay
      {0, -3, "DMA1 534", 0},
  };
  File f(std::tmpfile());
  ASSERT_TRUE(f);
  dedWriteHeader(f.get());
  for (const Step& s : steps) {
    SCOPED_TRACE(s.zone);
    EXPECT_EQ(dedSetUtmZone(f.get(), s.southern, s.zone), 0);
    std::fseek(f.get(), 77, SEEK_SET);
    EXPECT_EQ(dedIsUtm(f.get()), s.utm);
    EXPECT_EQ(std::ftell(f.get()), 77);  // the position is restored
    const Bytes b = streamContents<Bytes>(f.get());
    ASSERT_EQ(b.size(), 128u);
    EXPECT_EQ(text(b, 4, 20), std::string("KTLX") + s.marker + "V1.0    ");
  }
  EXPECT_EQ(dedSetUtmZone(nullptr, 0, 5), -1);
  EXPECT_EQ(dedIsUtm(nullptr), -1);
}

TEST(DedWriter, CreateFileTruncatesForReadAndWriteOrRefuses) {
  const testing::ScratchDir dir;
  const std::string path = dir.path("created.ded");
  for (const char* mode : {"w", "W", "wb"}) {
    SCOPED_TRACE(mode);
    dir.write("created.ded", std::string(500, 'x'));
    File f(dedCreateFile(path.c_str(), mode));
    ASSERT_TRUE(f);
    EXPECT_EQ(std::ftell(f.get()), 128);
    EXPECT_EQ(dedSetUtmZone(f.get(), 0, 12), 0);
    EXPECT_EQ(dedIsUtm(f.get()), 1);  // read back: the stream reads as well
    f.reset();
    const Bytes b = readFile<Bytes>(path);
    ASSERT_EQ(b.size(), 128u);
    EXPECT_EQ(text(b, 4, 12), "KTLXUTMN12  ");
  }
  std::filesystem::remove(path);
  for (const char* mode : {"r", "a", "r+", "", "+w", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(dedCreateFile(path.c_str(), mode), nullptr) << (mode ? mode : "null");
  }
  EXPECT_EQ(dedCreateFile(nullptr, "w"), nullptr);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(dedCreateFile(dir.path("no/such/folder/x.ded").c_str(), "w"), nullptr);
}

TEST(DedWriter, ColumnWritersRefuseMissingArgumentsAndUnreachableRecords) {
  File f(std::tmpfile());
  ASSERT_TRUE(f);
  dedWriteHeader(f.get());
  dedWriteRange(f.get(), 0, 0);
  std::array<std::int16_t, 3> posts = {0x0101, 0x0202, 0x0303};
  EXPECT_EQ(dedWriteColumn(nullptr, 0, posts), -1);
  EXPECT_EQ(dedWriteColumn(f.get(), 0, std::span<std::int16_t>()), -1);
  EXPECT_EQ(dedWriteRowAcross(nullptr, 0, posts, 2), -1);
  EXPECT_EQ(dedWriteRowAcross(f.get(), 0, std::span<std::int16_t>(), 2), -1);
  // A record before the data cannot be reached; the buffer stays native.
  EXPECT_EQ(dedWriteColumn(f.get(), -1, posts), -1);
  EXPECT_EQ(posts[0], 0x0101);
  EXPECT_EQ(streamContents<Bytes>(f.get()).size(), 160u);

  // Records counted backwards reach offset 202, then 200, then fall before the data: the
  // first two posts stay written.
  EXPECT_EQ(dedWriteRowAcross(f.get(), 1, posts, -1), -1);
  const Bytes b = streamContents<Bytes>(f.get());
  ASSERT_EQ(b.size(), 204u);
  EXPECT_EQ(text(b, 200, 4), "\x02\x02\x01\x01");

  // A stream that accepts nothing counts no bytes written.
  const testing::ScratchDir dir;
  const std::string path = dir.write("read_only.ded", "");
  File readOnly(std::fopen(path.c_str(), "rb"));
  EXPECT_EQ(dedWriteColumn(readOnly.get(), 0, std::span(posts).first(2)), 0);

  // Streams whose position cannot be taken or set fail.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const File readEnd(::fdopen(fds[0], "rb"));
  const File pipe(::fdopen(fds[1], "wb"));
  EXPECT_EQ(dedIsUtm(pipe.get()), -1);
  EXPECT_EQ(dedSetUtmZone(pipe.get(), 0, 5), -1);
  EXPECT_EQ(dedWriteExtents(pipe.get(), 0, 0, 1, 1, 30, 30, 2, 2), -1);
  EXPECT_EQ(dedWriteColumn(pipe.get(), 0, posts), -1);
  EXPECT_EQ(dedWriteRowAcross(pipe.get(), 0, posts, 2), -1);
}

}  // namespace
}  // namespace relievo
