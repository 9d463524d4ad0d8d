#include "raster/binary_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "raster/test_files.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::readAllRows;
using testing::Rows;
using testing::TempDir;
using Bytes = std::vector<unsigned char>;

struct Layout {
  int headerOffset = 0;
  int dataStride = 0;
  int width = 1;
  int height = 1;
  ByteType byteType = ByteType::Int8;
  int isSigned = 0;
  Endian endian = Endian::Little;
};

struct RasterDeleter {
  void operator()(RasterRec* raster) const { rasterFree(raster); }
};
using RasterPtr = std::unique_ptr<RasterRec, RasterDeleter>;

RasterPtr openBinary(const std::string& path, const Layout& l) {
  return RasterPtr(rasterOpenFile(path, l.headerOffset, l.dataStride, l.width, l.height, l.isSigned,
                                  SourceKind::Binary, l.byteType, l.endian, ' ', nullptr, nullptr,
                                  nullptr, 0, 0.0));
}

template <typename T>
Bytes bytesOf(T value, Endian order) {
  Bytes b(sizeof(T));
  std::memcpy(b.data(), &value, sizeof(T));
  if ((order == Endian::Big) != (std::endian::native == std::endian::big)) {
    std::reverse(b.begin(), b.end());
  }
  return b;
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr float kInfF = std::numeric_limits<float>::infinity();

struct ReadCase {
  const char* name;
  Bytes bytes;
  Layout layout;
  Rows rows;
};

// Parameterised tests print the case by its name.
void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.name;
}

class BinaryRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(BinaryRead, DeliversTheRows) {
  const ReadCase& c = GetParam();
  TempDir dir;
  RasterPtr raster = openBinary(dir.write("grid.bin", c.bytes), c.layout);
  ASSERT_NE(raster, nullptr);
  int result = -1;
  const Rows rows = readAllRows(raster.get(), &result);
  EXPECT_EQ(result, 1);
  ASSERT_EQ(rows.size(), c.rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), c.rows[r].size());
    for (std::size_t i = 0; i < rows[r].size(); ++i) {
      // Compare bit for bit: NaN must stay NaN and 0.0 must not be -0.0.
      EXPECT_EQ(std::bit_cast<std::uint64_t>(rows[r][i]),
                std::bit_cast<std::uint64_t>(c.rows[r][i]))
          << "row " << r << " column " << i << ": " << rows[r][i] << " vs " << c.rows[r][i];
    }
  }
}

const Bytes kOrderBytes = {0x00, 0x01, 0x00, 0x02, 0x01, 0x00, 0xFF, 0xFF};

INSTANTIATE_TEST_SUITE_P(
    Cases, BinaryRead,
    ::testing::Values(
        ReadCase{"BigUnsigned16",
                 kOrderBytes,
                 {0, 0, 2, 2, ByteType::Int16, 0, Endian::Big},
                 {{1, 2}, {256, 65535}}},
        ReadCase{"BigSigned16",
                 kOrderBytes,
                 {0, 0, 2, 2, ByteType::Int16, 1, Endian::Big},
                 {{1, 2}, {256, -1}}},
        ReadCase{"LittleUnsigned16",
                 kOrderBytes,
                 {0, 0, 2, 2, ByteType::Int16, 0, Endian::Little},
                 {{256, 512}, {1, 65535}}},
        ReadCase{
            "Unsigned8", {0x80, 0xFF}, {0, 0, 2, 1, ByteType::Int8, 0, Endian::Big}, {{128, 255}}},
        ReadCase{
            "Signed8", {0x80, 0xFF}, {0, 0, 2, 1, ByteType::Int8, 1, Endian::Big}, {{-128, -1}}},
        ReadCase{"Unsigned32",
                 {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80},
                 {0, 0, 2, 1, ByteType::Int32, 0, Endian::Little},
                 {{4294967295.0, 2147483648.0}}},
        ReadCase{"Signed32",
                 {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00},
                 {0, 0, 2, 1, ByteType::Int32, 1, Endian::Big},
                 {{-1, -2147483648.0}}},
        ReadCase{"FloatBig",
                 join({bytesOf(1.5f, Endian::Big), bytesOf(-kInfF, Endian::Big),
                       bytesOf(std::numeric_limits<float>::quiet_NaN(), Endian::Big)}),
                 {0, 0, 3, 1, ByteType::Float32, 1, Endian::Big},
                 {{1.5, -kInf, double{std::numeric_limits<float>::quiet_NaN()}}}},
        ReadCase{"DoubleLittle",
                 join({bytesOf(-0.1, Endian::Little), bytesOf(kNaN, Endian::Little),
                       bytesOf(kInf, Endian::Little), bytesOf(-kInf, Endian::Little)}),
                 {0, 0, 2, 2, ByteType::Float64, 0, Endian::Little},
                 {{-0.1, 0.0}, {0.0, 0.0}}},
        ReadCase{"DoubleBig",
                 join({bytesOf(1e300, Endian::Big), bytesOf(kInf, Endian::Big)}),
                 {0, 0, 2, 1, ByteType::Float64, 0, Endian::Big},
                 {{1e300, 0.0}}},
        ReadCase{"OffsetAndStride",
                 {'A', 'B', 'C', 'D', 'E', 'F'},
                 {3, 1, 2, 1, ByteType::Int8, 0, Endian::Little},
                 {{'D', 'F'}}},
        ReadCase{"StrideCarriesAcrossRows",
                 join({bytesOf<std::int16_t>(-7, Endian::Big),
                       {9, 9, 9},
                       bytesOf<std::int16_t>(300, Endian::Big),
                       {9, 9, 9},
                       bytesOf<std::int16_t>(5, Endian::Big),
                       {9, 9, 9}}),
                 {0, 3, 1, 3, ByteType::Int16, 1, Endian::Big},
                 {{-7}, {300}, {5}}},
        ReadCase{"NegativeStrideIsIgnored",
                 {1, 2, 3, 4},
                 {0, -5, 2, 2, ByteType::Int8, 0, Endian::Little},
                 {{1, 2}, {3, 4}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BinaryRead, StridedRowsAcrossManyBlocksAndLongSkips) {
  // Exercises the block buffer and the seek past it: element k of 3-byte little-endian
  // signed 16-bit values sits at offset 5 + k * (2 + stride).
  for (int stride : {1, 3, 70000, 150000}) {
    const int width = stride > 1000 ? 10 : 300, height = stride > 1000 ? 3 : 400;
    const int count = width * height;
    Bytes bytes(5 + static_cast<std::size_t>(count) * (2 + stride), 0xAB);
    for (int k = 0; k < count; ++k) {
      const auto value = static_cast<std::int16_t>(k * 7 - 30000);
      std::memcpy(&bytes[5 + static_cast<std::size_t>(k) * (2 + stride)], &value, 2);
    }
    TempDir dir;
    RasterPtr raster = openBinary(dir.write("strided.bin", bytes),
                                  {5, stride, width, height, ByteType::Int16, 1, Endian::Little});
    ASSERT_NE(raster, nullptr);
    int result = -1;
    const Rows rows = readAllRows(raster.get(), &result);
    EXPECT_EQ(result, 1) << stride;
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(height));
    for (int k = 0; k < count; ++k) {
      ASSERT_EQ(rows[k / width][k % width], static_cast<std::int16_t>(k * 7 - 30000))
          << "stride " << stride << " element " << k;
    }
  }
}

TEST(BinaryRead, StrideRunningPastTheEndDeliversTheCompleteRows) {
  TempDir dir;
  RasterPtr raster = openBinary(dir.write("grid.bin", Bytes{10, 11, 12, 13}),
                                {0, 2, 2, 2, ByteType::Int8, 0, Endian::Little});
  ASSERT_NE(raster, nullptr);
  int result = -1;
  EXPECT_EQ(readAllRows(raster.get(), &result), (Rows{{10, 13}}));
  EXPECT_EQ(result, 0);
}

TEST(BinaryRead, FinalFragmentShorterThanAnElementEndsTheData) {
  TempDir dir;
  // Five bytes of 16-bit values: without a stride the third element has one byte; with a
  // stride of 2 the second one has.
  const std::string path = dir.write("grid.bin", Bytes{1, 0, 2, 0, 3});
  for (int stride : {0, 2}) {
    RasterPtr raster = RasterPtr(rasterAllocate(path));
    ASSERT_NE(raster, nullptr);
    raster->width = 1;
    raster->height = 3;
    raster->dataStride = stride;
    raster->byteType = ByteType::Int16;
    rasterUseBinaryStreamVariant(raster.get());
    int result = -1;
    const Rows rows = readAllRows(raster.get(), &result);
    EXPECT_EQ(result, 0) << stride;
    EXPECT_EQ(rows, stride == 0 ? (Rows{{1}, {2}}) : (Rows{{1}}));
  }
}

TEST(BinaryRead, FileShrunkAfterOpeningStopsThePass) {
  TempDir dir;
  const std::string path = dir.write("grid.bin", Bytes{1, 2, 3, 4, 5, 6});
  RasterPtr raster = openBinary(path, {0, 0, 2, 3, ByteType::Int8, 0, Endian::Little});
  ASSERT_NE(raster, nullptr);
  std::filesystem::resize_file(path, 3);
  int result = -1;
  EXPECT_EQ(readAllRows(raster.get(), &result), (Rows{{1, 2}}));
  EXPECT_EQ(result, 0);
  std::filesystem::remove(path);
  EXPECT_EQ(readAllRows(raster.get(), &result), Rows{});
  EXPECT_EQ(result, 0);
}

TEST(BinaryRead, UnknownElementTypeReadsNothing) {
  TempDir dir;
  RasterPtr raster(rasterAllocate(dir.write("grid.bin", Bytes{1, 2, 3, 4})));
  ASSERT_NE(raster, nullptr);
  raster->width = raster->height = 2;
  raster->byteType = static_cast<ByteType>(5);
  rasterUseBinaryStreamVariant(raster.get());
  int result = -1;
  EXPECT_EQ(readAllRows(raster.get(), &result), Rows{});
  EXPECT_EQ(result, 0);
}

TEST(BinaryRead, ManyRowsWithoutStride) {
  const int width = 1000, height = 50;
  Bytes bytes;
  for (int k = 0; k < width * height; ++k) {
    const Bytes b = bytesOf(static_cast<float>(k) * 0.5f, Endian::Big);
    bytes.insert(bytes.end(), b.begin(), b.end());
  }
  TempDir dir;
  RasterPtr raster = openBinary(dir.write("grid.bin", bytes),
                                {0, 0, width, height, ByteType::Float32, 0, Endian::Big});
  ASSERT_NE(raster, nullptr);
  const Rows rows = readAllRows(raster.get());
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(height));
  for (int k = 0; k < width * height; ++k)
    ASSERT_EQ(rows[k / width][k % width], k * 0.5);
}

struct SizeCase {
  const char* name;
  std::size_t fileBytes;
  int headerOffset, dataStride, width, height;
  int byteType;
  int fits;
  int available;
};

// Parameterised tests print the case by its name.
void PrintTo(const SizeCase& c, std::ostream* os) {
  *os << c.name;
}

class BinarySize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(BinarySize, ResultAndAvailableCount) {
  const SizeCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.write("grid.bin", std::string(c.fileBytes, 'x'));
  int available = -1;
  EXPECT_EQ(rasterCheckBinarySize(path, c.headerOffset, c.dataStride, c.width, c.height,
                                  static_cast<ByteType>(c.byteType), &available),
            c.fits);
  EXPECT_EQ(available, c.available);
  EXPECT_EQ(rasterCheckBinarySize(path, c.headerOffset, c.dataStride, c.width, c.height,
                                  static_cast<ByteType>(c.byteType), nullptr),
            c.fits);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BinarySize,
    ::testing::Values(SizeCase{"Exact", 7 + 2 * 3 * 4, 7, 0, 3, 4, 1, 1, 12},
                      SizeCase{"OneByteShort", 7 + 2 * 3 * 4 - 1, 7, 0, 3, 4, 1, 0, 11},
                      SizeCase{"ExactDoubles", 8 * 10, 0, 0, 5, 2, 4, 1, 10},
                      SizeCase{"StrideTwo", 4, 0, 2, 2, 2, 0, 1, 2},
                      SizeCase{"StrideNotCountedBySizeTest", 6, 0, 5, 3, 2, 0, 1, 1},
                      SizeCase{"StridesPastTheEnd", 6, 0, 4, 2, 3, 0, 1, 0},
                      SizeCase{"HeaderPastTheEnd", 6, 10, 0, 1, 1, 0, 0, 0},
                      SizeCase{"HeaderAtTheEnd", 6, 6, 0, 1, 1, 0, 0, 0},
                      SizeCase{"NegativeHeader", 6, -1, 0, 1, 1, 0, 0, 0},
                      SizeCase{"NegativeStrideCountsAsNone", 6, 0, -3, 2, 3, 0, 1, 6},
                      SizeCase{"UnknownType", 100, 0, 0, 1, 1, 5, 0, 0},
                      SizeCase{"NegativeWidth", 100, 0, 0, -1, 1, 0, 0, 0},
                      SizeCase{"ZeroHeightNeedsOnlyTheHeader", 3, 2, 0, 4, 0, 0, 1, 1},
                      SizeCase{"HugeLayout", 100, 0, 0, 2147483647, 2147483647, 4, 0, 12},
                      SizeCase{"OddRemainderIsTruncated", 9, 0, 0, 2, 1, 1, 1, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BinarySize, MissingFileAndDirectoryHoldNothing) {
  TempDir dir;
  int available = -1;
  EXPECT_EQ(rasterCheckBinarySize(dir.path("missing"), 0, 0, 1, 1, ByteType::Int8, &available), 0);
  EXPECT_EQ(available, 0);
  EXPECT_EQ(rasterCheckBinarySize(dir.path(""), 0, 0, 1, 1, ByteType::Int8, &available), 0);
  EXPECT_EQ(available, 0);
}

TEST(BinarySize, UsesTheRealSizeOfFilesBeyond4GiB) {
  TempDir dir;
  const std::string big = dir.write("big", "");
  std::error_code error;
  const std::uint64_t size = 5ull << 30;  // 5 GiB, sparse
  std::filesystem::resize_file(big, size, error);
  if (error) GTEST_SKIP() << "cannot make a sparse file: " << error.message();
  int available = -1;
  // 30000 x 30000 doubles are 7.2e9 bytes, more than the file holds; wrapped to 32 bits
  // the product would be only 2.9e9.
  EXPECT_EQ(rasterCheckBinarySize(big, 0, 0, 30000, 30000, ByteType::Float64, &available), 0);
  EXPECT_EQ(available, static_cast<int>(size / 8));
  EXPECT_EQ(rasterCheckBinarySize(big, 0, 0, 25000, 25000, ByteType::Float64, nullptr), 1);
  // 5 GiB of single bytes: more values than an int counts.
  EXPECT_EQ(rasterCheckBinarySize(big, 0, 0, 1, 1, ByteType::Int8, &available), 1);
  EXPECT_EQ(available, std::numeric_limits<std::int32_t>::max());
}

}  // namespace
}  // namespace relievo
