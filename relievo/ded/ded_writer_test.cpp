#include "ded/ded_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace relievo {
namespace {

using Bytes = std::vector<unsigned char>;

struct FileClose {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

// A file path in the test's temporary folder, removed when the test ends.
class TempPath {
 public:
  explicit TempPath(const std::string& name)
      : path_(std::filesystem::path(testing::TempDir()) /
              (std::to_string(::getpid()) + "_" + name)) {
    std::filesystem::remove(path_);
  }
  ~TempPath() { std::filesystem::remove(path_); }
  const char* c_str() const { return path_.c_str(); }
  bool exists() const { return std::filesystem::exists(path_); }

 private:
  std::filesystem::path path_;
};

File scratch() {
  return File(std::tmpfile());
}

// Everything the stream holds, read through the stream itself.
Bytes contents(std::FILE* f) {
  std::fflush(f);
  std::fseek(f, 0, SEEK_END);
  const long size = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  Bytes bytes(static_cast<std::size_t>(size));
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  return bytes;
}

Bytes fileBytes(const char* path) {
  File f(std::fopen(path, "rb"));
  if (!f) return {};
  return contents(f.get());
}

Bytes slice(const Bytes& b, std::size_t offset, std::size_t n) {
  return Bytes(b.begin() + offset, b.begin() + offset + n);
}

std::string text(const Bytes& b, std::size_t offset, std::size_t n) {
  return std::string(b.begin() + offset, b.begin() + offset + n);
}

float floatAt(const Bytes& b, std::size_t offset) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i)
    bits = (bits << 8) | b[offset + i];
  return std::bit_cast<float>(bits);
}

bool allBlank(const Bytes& b, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (b[i] != ' ') return false;
  }
  return true;
}

// The feet values of a geographic extents record, with the writer's single-precision steps.
struct Feet {
  float lon;
  float lat;
};
Feet geographicFeet(float latSouthWest, float latNorthEast, float latSpacing, float lonSpacing) {
  const float feetPerArcSecond = 101.26667f;
  const auto lat = static_cast<float>(double{feetPerArcSecond} * latSpacing / 10.0f);
  const auto difference = static_cast<float>(std::fabs(double{latNorthEast} - latSouthWest));
  const auto middle = static_cast<float>(latSouthWest + double{difference} / 2.0f);
  const auto lonArc = static_cast<float>(double{feetPerArcSecond} * lonSpacing / 10.0f);
  const double radians = middle * double{0.017453292f};
  return {static_cast<float>(std::cos(radians) * lonArc), lat};
}

std::int16_t swapped(std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((u << 8) | (u >> 8)));
}

// Both ends of a pipe as streams: positions cannot be taken or set on them.
struct Pipe {
  File read;
  File write;
};
Pipe makePipe() {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  return {File(::fdopen(fds[0], "rb")), File(::fdopen(fds[1], "wb"))};
}

TEST(ByteOrderTest, HostOrderAndReversal) {
  EXPECT_EQ(hostIsLittleEndian() != 0, std::endian::native == std::endian::little);

  const std::vector<std::pair<Bytes, Bytes>> cases = {
      {{}, {}},
      {{7}, {7}},
      {{1, 2}, {2, 1}},
      {{1, 2, 3}, {3, 2, 1}},
      {{0x12, 0x34, 0x56, 0x78}, {0x78, 0x56, 0x34, 0x12}},
  };
  for (auto [bytes, reversed] : cases) {
    reverseBytes(std::as_writable_bytes(std::span(bytes)));
    EXPECT_EQ(bytes, reversed);
  }
}

TEST(DedWriterTest, HeaderLayout) {
  File f = scratch();
  ASSERT_TRUE(f);
  const std::time_t before = std::time(nullptr);
  EXPECT_EQ(dedWriteHeader(f.get()), f.get());
  const std::time_t after = std::time(nullptr);

  const Bytes b = contents(f.get());
  ASSERT_EQ(b.size(), 128u);
  EXPECT_EQ(slice(b, 0, 4), (Bytes{0x00, 0x00, 0x00, 0x80}));
  EXPECT_EQ(text(b, 4, 4), "KTLX");
  EXPECT_EQ(text(b, 8, 8), "DMA1    ");
  EXPECT_EQ(text(b, 16, 8), "V1.0    ");
  bool matchesClock = false;
  for (std::time_t t = before; t <= after; ++t) {
    matchesClock = matchesClock || text(b, 24, 24) == std::string(std::ctime(&t), 24);
  }
  EXPECT_TRUE(matchesClock) << text(b, 24, 24);
  EXPECT_EQ(b[48], '\n');
  EXPECT_EQ(b[49], '\0');
  EXPECT_TRUE(allBlank(b, 50, 128));

  EXPECT_EQ(dedWriteHeader(nullptr), nullptr);
}

TEST(DedWriterTest, RangeRecord) {
  struct Case {
    std::int16_t minimum;
    std::int16_t maximum;
    Bytes expected;
  };
  const Case cases[] = {
      {-32768, 1, {0x80, 0x00, 0x00, 0x01}},
      {-1, 32767, {0xFF, 0xFF, 0x7F, 0xFF}},
      {0x0102, 0x1234, {0x01, 0x02, 0x12, 0x34}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.minimum);
    File f = scratch();
    ASSERT_TRUE(f);
    dedWriteHeader(f.get());
    // The record goes to its own offset wherever the stream stands.
    std::fseek(f.get(), 20, SEEK_SET);
    EXPECT_EQ(dedWriteRange(f.get(), c.minimum, c.maximum), 0);
    EXPECT_EQ(std::ftell(f.get()), 160);
    const Bytes b = contents(f.get());
    ASSERT_EQ(b.size(), 160u);
    EXPECT_EQ(text(b, 8, 8), "DMA1    ");
    EXPECT_EQ(slice(b, 128, 4), (Bytes{0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(slice(b, 132, 4), c.expected);
    EXPECT_TRUE(allBlank(b, 136, 160));
  }
  EXPECT_EQ(dedWriteRange(nullptr, 0, 1), -1);
}

TEST(DedWriterTest, ExtentsRecordFieldsAndCounts) {
  File f = scratch();
  ASSERT_TRUE(f);
  dedWriteHeader(f.get());
  dedWriteRange(f.get(), 0, 100);
  EXPECT_EQ(dedWriteExtents(f.get(), 10.0f, -120.5f, 11.0f, -119.25f, 30.0f, 45.0f, 1801, 1201), 0);
  EXPECT_EQ(std::ftell(f.get()), 200);

  const Bytes b = contents(f.get());
  ASSERT_EQ(b.size(), 200u);
  EXPECT_EQ(floatAt(b, 160), 10.0f);
  EXPECT_EQ(floatAt(b, 164), 11.0f);
  EXPECT_EQ(floatAt(b, 168), -120.5f);
  EXPECT_EQ(floatAt(b, 172), -119.25f);
  EXPECT_EQ(floatAt(b, 176), 30.0f);
  EXPECT_EQ(floatAt(b, 180), 45.0f);
  EXPECT_EQ(slice(b, 184, 4), (Bytes{0x44, 0x96, 0x20, 0x00}));  // 1201.0
  EXPECT_EQ(floatAt(b, 188), 1801.0f);
  const Feet feet = geographicFeet(10.0f, 11.0f, 30.0f, 45.0f);
  EXPECT_EQ(floatAt(b, 192), feet.lon);
  EXPECT_EQ(floatAt(b, 196), feet.lat);
  EXPECT_NEAR(floatAt(b, 196), 303.8, 0.01);  // 3 arc-seconds of latitude

  EXPECT_EQ(dedWriteExtents(nullptr, 0, 0, 1, 1, 30, 30, 2, 2), -1);
}

TEST(DedWriterTest, LongitudeFeetFollowTheMiddleLatitude) {
  struct Case {
    const char* name;
    float latSouthWest;
    float latNorthEast;
    double lonOverLat;  // cosine of the middle latitude, spacings being equal
  };
  const Case cases[] = {
      {"equator", -1.0f, 1.0f, 1.0},
      {"sixty degrees", 59.0f, 61.0f, 0.5},
      // The difference is taken as a magnitude, so reversed corners move the middle to 62.
      {"reversed corners", 61.0f, 59.0f, std::cos(62.0 * std::numbers::pi / 180.0)},
      {"southern", -45.5f, -44.5f, std::cos(-45.0 * std::numbers::pi / 180.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    File f = scratch();
    ASSERT_TRUE(f);
    dedWriteHeader(f.get());
    ASSERT_EQ(dedWriteExtents(f.get(), c.latSouthWest, 0.0f, c.latNorthEast, 1.0f, 30.0f, 30.0f,
                              121, 121),
              0);
    const Bytes b = contents(f.get());
    const Feet feet = geographicFeet(c.latSouthWest, c.latNorthEast, 30.0f, 30.0f);
    EXPECT_EQ(floatAt(b, 192), feet.lon);
    EXPECT_EQ(floatAt(b, 196), feet.lat);
    EXPECT_NEAR(floatAt(b, 192) / floatAt(b, 196), c.lonOverLat, 1e-4);
    // At the equator both spacings come out identical.
    if (c.lonOverLat == 1.0) {
      EXPECT_EQ(floatAt(b, 192), floatAt(b, 196));
    }
  }
}

TEST(DedWriterTest, UtmMarkerText) {
  struct Case {
    int southern;
    int zone;
    std::string marker;
    int utm;
  };
  const Case cases[] = {
      {1, 5, "UTMS 5  ", 1},  {0, 5, "UTMN 5  ", 1},         {1, 32, "UTMS32  ", 1},
      {0, 60, "UTMN60  ", 1}, {0, 123456789, "UTMN1234", 1},  // at most 8 characters
      {1, 0, "DMA1    ", 0},  {0, -3, "DMA1    ", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    File f = scratch();
    ASSERT_TRUE(f);
    dedWriteHeader(f.get());
    EXPECT_EQ(dedSetUtmZone(f.get(), c.southern, c.zone), 0);
    EXPECT_EQ(dedIsUtm(f.get()), c.utm);
    const Bytes b = contents(f.get());
    ASSERT_EQ(b.size(), 128u);
    EXPECT_EQ(text(b, 8, 8), c.marker);
    EXPECT_EQ(text(b, 16, 8), "V1.0    ");
  }
  EXPECT_EQ(dedSetUtmZone(nullptr, 0, 5), -1);
}

TEST(DedWriterTest, ZoneZeroOverUtmKeepsTheBytesBehindAndIsGeographic) {
  File f = scratch();
  ASSERT_TRUE(f);
  dedWriteHeader(f.get());
  dedSetUtmZone(f.get(), 1, 5);
  dedSetUtmZone(f.get(), 1, 0);
  EXPECT_EQ(dedIsUtm(f.get()), 0);
  EXPECT_EQ(text(contents(f.get()), 8, 8), "DMA1 5  ");
}

TEST(DedWriterTest, UtmFileGivesFeetFromMetres) {
  File f = scratch();
  ASSERT_TRUE(f);
  dedWriteHeader(f.get());
  dedSetUtmZone(f.get(), 1, 5);
  ASSERT_EQ(dedWriteExtents(f.get(), 60.0f, 0.0f, 61.0f, 1.0f, 30.0f, 90.0f, 121, 41), 0);
  const Bytes b = contents(f.get());
  EXPECT_EQ(text(b, 8, 8), "UTMS 5  ");
  EXPECT_EQ(floatAt(b, 192), static_cast<float>(double{3.28084f} * 90.0f));
  EXPECT_EQ(floatAt(b, 196), static_cast<float>(double{3.28084f} * 30.0f));
}

TEST(DedWriterTest, IsUtmRestoresThePosition) {
  File f = scratch();
  ASSERT_TRUE(f);
  dedWriteHeader(f.get());
  dedSetUtmZone(f.get(), 0, 17);
  std::fseek(f.get(), 77, SEEK_SET);
  EXPECT_EQ(dedIsUtm(f.get()), 1);
  EXPECT_EQ(std::ftell(f.get()), 77);
  EXPECT_EQ(dedIsUtm(nullptr), -1);
}

TEST(DedWriterTest, WriteOnlyStreamReadsAsGeographicAndStaysClean) {
  TempPath path("write_only.ded");
  File f(std::fopen(path.c_str(), "wb"));
  ASSERT_TRUE(f);
  dedWriteHeader(f.get());
  dedSetUtmZone(f.get(), 1, 5);
  EXPECT_EQ(dedIsUtm(f.get()), 0);
  EXPECT_EQ(std::ferror(f.get()), 0);
  ASSERT_EQ(dedWriteExtents(f.get(), 59.0f, 0.0f, 61.0f, 1.0f, 30.0f, 30.0f, 121, 121), 0);
  f.reset();

  const Bytes b = fileBytes(path.c_str());
  ASSERT_EQ(b.size(), 200u);
  EXPECT_EQ(text(b, 8, 8), "UTMS 5  ");
  EXPECT_EQ(floatAt(b, 192), geographicFeet(59.0f, 61.0f, 30.0f, 30.0f).lon);
}

TEST(DedWriterTest, UnseekableStreamsFail) {
  Pipe pipe = makePipe();
  ASSERT_TRUE(pipe.read && pipe.write);
  std::int16_t posts[2] = {1, 2};
  EXPECT_EQ(dedIsUtm(pipe.write.get()), -1);
  EXPECT_EQ(dedSetUtmZone(pipe.write.get(), 0, 5), -1);
  EXPECT_EQ(dedWriteExtents(pipe.write.get(), 0, 0, 1, 1, 30, 30, 2, 2), -1);
  EXPECT_EQ(dedWriteColumn(pipe.write.get(), 0, posts), -1);
  EXPECT_EQ(dedWriteRowAcross(pipe.write.get(), 0, posts, 2), -1);
  EXPECT_EQ(posts[0], 1);
}

TEST(DedWriterTest, CreateFileWritesTheHeaderForReadAndWrite) {
  for (const char* mode : {"w", "W", "wb"}) {
    SCOPED_TRACE(mode);
    TempPath path("created.ded");
    {
      File old(std::fopen(path.c_str(), "wb"));
      ASSERT_TRUE(old);
      std::fwrite(std::string(500, 'x').data(), 1, 500, old.get());
    }
    File f(dedCreateFile(path.c_str(), mode));
    ASSERT_TRUE(f);
    EXPECT_EQ(std::ftell(f.get()), 128);
    // Read and write: the marker can be set and read back.
    EXPECT_EQ(dedSetUtmZone(f.get(), 0, 12), 0);
    EXPECT_EQ(dedIsUtm(f.get()), 1);
    f.reset();
    const Bytes b = fileBytes(path.c_str());
    ASSERT_EQ(b.size(), 128u);
    EXPECT_EQ(text(b, 4, 12), "KTLXUTMN12  ");
  }
}

TEST(DedWriterTest, CreateFileRefusals) {
  TempPath path("refused.ded");
  for (const char* mode : {"r", "a", "r+", "", "+w"}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(dedCreateFile(path.c_str(), mode), nullptr);
    EXPECT_FALSE(path.exists());
  }
  EXPECT_EQ(dedCreateFile(path.c_str(), nullptr), nullptr);
  EXPECT_EQ(dedCreateFile(nullptr, "w"), nullptr);
  EXPECT_FALSE(path.exists());
  const std::string missingFolder = std::string(testing::TempDir()) + "/no/such/folder/x.ded";
  EXPECT_EQ(dedCreateFile(missingFolder.c_str(), "w"), nullptr);
}

// Three columns of two posts, the south-west corner first.
struct SmallGrid {
  std::array<std::int16_t, 6> posts = {-32768, 1, 1201, -2, 32767, 0x1234};
  static constexpr std::int32_t kColumns = 3;
  static constexpr std::int32_t kPostsPerColumn = 2;
  static Bytes records() {
    return {0x80, 0x00, 0x00, 0x01, 0x04, 0xB1, 0xFF, 0xFE, 0x7F, 0xFF, 0x12, 0x34};
  }
  std::span<std::int16_t> column(std::int32_t c) {
    return std::span(posts).subspan(static_cast<std::size_t>(c) * kPostsPerColumn, kPostsPerColumn);
  }
};

File writePreamble() {
  File f = scratch();
  if (!f) return f;
  dedWriteHeader(f.get());
  dedWriteRange(f.get(), -32768, 32767);
  dedWriteExtents(f.get(), 0.0f, 0.0f, 1.0f, 2.0f, 18000.0f, 36000.0f, SmallGrid::kColumns,
                  SmallGrid::kPostsPerColumn);
  return f;
}

TEST(DedWriterTest, ColumnsLandInOrderWhateverTheWriteOrder) {
  for (bool reversed : {false, true}) {
    SCOPED_TRACE(reversed);
    File f = writePreamble();
    ASSERT_TRUE(f);
    SmallGrid grid;
    const auto original = grid.posts;
    for (std::int32_t i = 0; i < SmallGrid::kColumns; ++i) {
      const std::int32_t c = reversed ? SmallGrid::kColumns - 1 - i : i;
      EXPECT_EQ(dedWriteColumn(f.get(), c, grid.column(c)), 4);
      EXPECT_EQ(std::ftell(f.get()), 200 + 4 * (c + 1));
    }
    const Bytes b = contents(f.get());
    ASSERT_EQ(b.size(), 200u + 2 * 3 * 2);
    EXPECT_EQ(slice(b, 200, 12), SmallGrid::records());
    EXPECT_EQ(floatAt(b, 184), 2.0f);
    EXPECT_EQ(floatAt(b, 188), 3.0f);

    // The caller's buffer was swapped in place.
    for (std::size_t i = 0; i < original.size(); ++i) {
      EXPECT_EQ(grid.posts[i], hostIsLittleEndian() ? swapped(original[i]) : original[i]);
    }
  }
}

TEST(DedWriterTest, FileLengthIsPreamblePlusTwoBytesPerPost) {
  for (auto [columns, rows] : {std::pair{1, 1}, {5, 7}, {16, 3}}) {
    SCOPED_TRACE(testing::Message() << columns << "x" << rows);
    File f = scratch();
    ASSERT_TRUE(f);
    dedWriteHeader(f.get());
    dedWriteRange(f.get(), 0, 0);
    dedWriteExtents(f.get(), 0, 0, 1, 1, 10, 10, columns, rows);
    std::vector<std::int16_t> posts(static_cast<std::size_t>(columns * rows), 7);
    for (int c = 0; c < columns; ++c) {
      dedWriteColumn(f.get(), c,
                     std::span(posts).subspan(static_cast<std::size_t>(c * rows), rows));
    }
    const Bytes b = contents(f.get());
    EXPECT_EQ(b.size(), static_cast<std::size_t>(200 + 2 * columns * rows));
    EXPECT_EQ(slice(b, b.size() - 2, 2), (Bytes{0x00, 0x07}));
  }
}

TEST(DedWriterTest, ColumnFailures) {
  File f = writePreamble();
  ASSERT_TRUE(f);
  SmallGrid grid;
  EXPECT_EQ(dedWriteColumn(nullptr, 0, grid.column(0)), -1);
  EXPECT_EQ(dedWriteColumn(f.get(), 0, std::span<std::int16_t>()), -1);
  // A record before the data cannot be reached; the buffer stays native.
  EXPECT_EQ(dedWriteColumn(f.get(), -1, grid.column(0)), -1);
  EXPECT_EQ(grid.posts[0], -32768);
  EXPECT_EQ(contents(f.get()).size(), 200u);
}

TEST(DedWriterTest, ColumnOnAStreamThatAcceptsNothingCountsZeroBytes) {
  TempPath path("read_only.ded");
  {
    File made(dedCreateFile(path.c_str(), "w"));
    ASSERT_TRUE(made);
  }
  File f(std::fopen(path.c_str(), "rb"));
  ASSERT_TRUE(f);
  SmallGrid grid;
  EXPECT_EQ(dedWriteColumn(f.get(), 0, grid.column(0)), 0);
}

TEST(DedWriterTest, RowAcrossWritesTheSameRecordsAsColumns) {
  File f = writePreamble();
  ASSERT_TRUE(f);
  // Post 0 of every record (the southern row), then post 1.
  std::array<std::int16_t, 3> south = {-32768, 1201, 32767};
  std::array<std::int16_t, 3> north = {1, -2, 0x1234};
  EXPECT_EQ(dedWriteRowAcross(f.get(), 0, south, SmallGrid::kPostsPerColumn), 6);
  EXPECT_EQ(dedWriteRowAcross(f.get(), 1, north, SmallGrid::kPostsPerColumn), 6);
  const Bytes b = contents(f.get());
  ASSERT_EQ(b.size(), 212u);
  EXPECT_EQ(slice(b, 200, 12), SmallGrid::records());
  EXPECT_EQ(south[0], hostIsLittleEndian() ? swapped(-32768) : -32768);
}

TEST(DedWriterTest, RowAcrossFailures) {
  File f = writePreamble();
  ASSERT_TRUE(f);
  std::array<std::int16_t, 3> posts = {0x0101, 0x0202, 0x0303};
  EXPECT_EQ(dedWriteRowAcross(nullptr, 0, posts, 2), -1);
  EXPECT_EQ(dedWriteRowAcross(f.get(), 0, std::span<std::int16_t>(), 2), -1);

  // Records counted backwards reach offset 202, then 200, then fall before the data: the
  // first two posts stay written.
  EXPECT_EQ(dedWriteRowAcross(f.get(), 1, posts, -1), -1);
  const Bytes b = contents(f.get());
  ASSERT_EQ(b.size(), 204u);
  EXPECT_EQ(slice(b, 200, 4), (Bytes{0x02, 0x02, 0x01, 0x01}));
}

}  // namespace
}  // namespace relievo
