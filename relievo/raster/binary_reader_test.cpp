#include "raster/binary_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "raster/test_files.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo {
namespace {

using testing::RasterPtr;
using testing::readAllRows;
using testing::Rows;
using testing::ScratchDir;
using Bytes = std::vector<unsigned char>;

struct Layout {
  int headerOffset = 0, dataStride = 0, width = 1, height = 1;
  ByteType byteType = ByteType::Int8;
  int isSigned = 0;
  Endian endian = Endian::Little;
};

// A binary stream record of that layout, made without the size test so that the reader
// also meets files too short for it.
RasterPtr binaryRecord(const std::string& path, const Layout& l) {
  RasterPtr raster(rasterAllocate(path));
  raster->headerOffset = l.headerOffset;
  raster->dataStride = l.dataStride;
  raster->width = l.width;
  raster->height = l.height;
  raster->byteType = l.byteType;
  raster->isSigned = l.isSigned;
  raster->endianType = l.endian;
  rasterUseBinaryStreamVariant(raster.get());
  return raster;
}

template <typename T>
Bytes bytesOf(std::initializer_list<T> values, Endian order) {
  Bytes all;
  for (T value : values) {
    Bytes b(sizeof(T));
    std::memcpy(b.data(), &value, sizeof(T));
    if ((order == Endian::Big) != (std::endian::native == std::endian::big)) {
      std::reverse(b.begin(), b.end());
    }
    all.insert(all.end(), b.begin(), b.end());
  }
  return all;
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr float kInfF = std::numeric_limits<float>::infinity();
constexpr float kNaNF = std::numeric_limits<float>::quiet_NaN();

// Rows bit for bit: NaN must stay NaN and 0.0 must not be -0.0.
std::vector<std::vector<std::uint64_t>> bits(const Rows& rows) {
  std::vector<std::vector<std::uint64_t>> all;
  for (const auto& row : rows) {
    all.emplace_back();
    for (double v : row)
      all.back().push_back(std::bit_cast<std::uint64_t>(v));
  }
  return all;
}

TEST(BinaryRead, Table) {
  const Bytes order = {0x00, 0x01, 0x00, 0x02, 0x01, 0x00, 0xFF, 0xFF};
  using enum ByteType;
  constexpr Endian Big = Endian::Big, Little = Endian::Little;
  // {name, bytes, layout, rows, result}
  const std::tuple<const char*, Bytes, Layout, Rows, int> cases[] = {
      {"BigUnsigned16", order, {0, 0, 2, 2, Int16, 0, Big}, {{1, 2}, {256, 65535}}, 1},
      {"BigSigned16", order, {0, 0, 2, 2, Int16, 1, Big}, {{1, 2}, {256, -1}}, 1},
      {"LittleUnsigned16", order, {0, 0, 2, 2, Int16}, {{256, 512}, {1, 65535}}, 1},
      {"Unsigned8", {0x80, 0xFF}, {0, 0, 2, 1, Int8, 0, Big}, {{128, 255}}, 1},
      {"Signed8", {0x80, 0xFF}, {0, 0, 2, 1, Int8, 1, Big}, {{-128, -1}}, 1},
      // clang-format off
      {"Unsigned32", {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}, {0, 0, 2, 1, Int32},
       {{4294967295.0, 2147483648.0}}, 1},
      {"Signed32", {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0}, {0, 0, 2, 1, Int32, 1, Big},
       {{-1, -2147483648.0}}, 1},
      // A float that is not finite passes as it is; a double becomes 0.0.
      {"FloatBig", bytesOf({1.5f, -kInfF, kNaNF}, Big), {0, 0, 3, 1, Float32, 1, Big},
       {{1.5, -kInf, double{kNaNF}}}, 1},
      {"DoubleLittle", bytesOf({-0.1, kNaN, kInf, -kInf}, Little), {0, 0, 2, 2, Float64},
       {{-0.1, 0.0}, {0.0, 0.0}}, 1},
      {"DoubleBig", bytesOf({1e300, kInf}, Big), {0, 0, 2, 1, Float64, 0, Big}, {{1e300, 0.0}}, 1},
      {"OffsetAndStride", {'A', 'B', 'C', 'D', 'E', 'F'}, {3, 1, 2, 1}, {{'D', 'F'}}, 1},
      {"StrideCarriesAcrossRows", {0xFF, 0xF9, 9, 9, 9, 0x01, 0x2C, 9, 9, 9, 0x00, 0x05, 9, 9, 9},
       {0, 3, 1, 3, Int16, 1, Big}, {{-7}, {300}, {5}}, 1},
      // clang-format on
      {"NegativeStrideIsIgnored", {1, 2, 3, 4}, {0, -5, 2, 2}, {{1, 2}, {3, 4}}, 1},
      // The second row would start past the end of the file.
      {"StridePastTheEnd", {10, 11, 12, 13}, {0, 2, 2, 2}, {{10, 13}}, 0},
      // Five bytes of 16-bit values: an element cut short ends the data.
      {"FinalFragment", {1, 0, 2, 0, 3}, {0, 0, 1, 3, Int16}, {{1}, {2}}, 0},
      {"FinalFragmentAfterStride", {1, 0, 2, 0, 3}, {0, 2, 1, 3, Int16}, {{1}}, 0},
      {"UnknownElementType", {1, 2, 3, 4}, {0, 0, 2, 2, static_cast<ByteType>(5)}, {}, 0},
      {"NoFile", {}, {0, 0, 1, 1}, {}, 0},  // removed since the record was made
  };
  ScratchDir dir;
  for (const auto& [name, bytes, layout, rows, result] : cases) {
    SCOPED_TRACE(name);
    RasterPtr raster =
        binaryRecord(bytes.empty() ? dir.path("missing") : dir.write("grid.bin", bytes), layout);
    int got = -1;
    const Rows read = readAllRows(raster.get(), &got);
    EXPECT_EQ(got, result);
    EXPECT_EQ(bits(read), bits(rows));
  }
}

TEST(BinaryRead, LongRowsWithoutStrideAndAcrossBlocksAndLongSkips) {
  // Element k, a little-endian signed 16-bit value, sits at offset 5 + k * (2 + stride).
  for (int stride : {0, 1, 3, 70000, 150000}) {
    const int width = stride > 1000 ? 10 : 300, height = stride > 1000 ? 3 : 400;
    const int count = width * height;
    Bytes bytes(5 + static_cast<std::size_t>(count) * (2 + stride), 0xAB);
    for (int k = 0; k < count; ++k) {
      const auto value = static_cast<std::int16_t>(k * 7 - 30000);
      std::memcpy(&bytes[5 + static_cast<std::size_t>(k) * (2 + stride)], &value, 2);
    }
    ScratchDir dir;
    RasterPtr raster = binaryRecord(dir.write("strided.bin", bytes),
                                    {5, stride, width, height, ByteType::Int16, 1, Endian::Little});
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

TEST(BinarySize, ResultAndAvailableCount) {
  // {name, file bytes, header offset, stride, width, height, byte type, fits, available}
  const std::tuple<const char*, std::size_t, int, int, int, int, int, int, int> cases[] = {
      {"Exact", 7 + 2 * 3 * 4, 7, 0, 3, 4, 1, 1, 12},
      {"OneByteShort", 7 + 2 * 3 * 4 - 1, 7, 0, 3, 4, 1, 0, 11},
      {"ExactDoubles", 8 * 10, 0, 0, 5, 2, 4, 1, 10},
      {"StrideTwo", 4, 0, 2, 2, 2, 0, 1, 2},
      {"StrideNotCountedBySizeTest", 6, 0, 5, 3, 2, 0, 1, 1},
      {"StridesPastTheEnd", 6, 0, 4, 2, 3, 0, 1, 0},
      {"HeaderPastTheEnd", 6, 10, 0, 1, 1, 0, 0, 0},
      {"HeaderAtTheEnd", 6, 6, 0, 1, 1, 0, 0, 0},
      {"NegativeHeader", 6, -1, 0, 1, 1, 0, 0, 0},
      {"NegativeStrideCountsAsNone", 6, 0, -3, 2, 3, 0, 1, 6},
      {"UnknownType", 100, 0, 0, 1, 1, 5, 0, 0},
      {"NegativeWidth", 100, 0, 0, -1, 1, 0, 0, 0},
      {"ZeroHeightNeedsOnlyTheHeader", 3, 2, 0, 4, 0, 0, 1, 1},
      {"HugeLayout", 100, 0, 0, 2147483647, 2147483647, 4, 0, 12},
      {"OddRemainderIsTruncated", 9, 0, 0, 2, 1, 1, 1, 4},
  };
  ScratchDir dir;
  for (const auto& [name, fileBytes, headerOffset, stride, width, height, type, fits, count] :
       cases) {
    const std::string path = dir.write("grid.bin", std::string(fileBytes, 'x'));
    const auto check = [&](int* available) {
      return rasterCheckBinarySize(path, headerOffset, stride, width, height,
                                   static_cast<ByteType>(type), available);
    };
    int available = -1;
    EXPECT_EQ(check(&available), fits) << name;
    EXPECT_EQ(available, count) << name;
    EXPECT_EQ(check(nullptr), fits) << name;
  }
  for (const std::string& path : {dir.path("missing"), dir.path("")}) {
    int available = -1;
    EXPECT_EQ(rasterCheckBinarySize(path, 0, 0, 1, 1, ByteType::Int8, &available), 0);
    EXPECT_EQ(available, 0);
  }
}

TEST(BinarySize, UsesTheRealSizeOfFilesBeyond4GiB) {
  ScratchDir dir;
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
