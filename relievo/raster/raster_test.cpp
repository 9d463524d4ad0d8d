#include "raster/raster.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "raster/test_files.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::readAllRows;
using testing::Rows;
using testing::TempDir;

int keepGoing(const double*, int, int, void*) {
  return 1;
}

TEST(RasterRecord, AllocateMakesAValidZeroFilledRecord) {
  RasterRec* raster = rasterAllocate("/data/grid.txt");
  ASSERT_NE(raster, nullptr);
  EXPECT_TRUE(rasterIsValid(raster));
  EXPECT_EQ(raster->self, raster);
  EXPECT_EQ(raster->magic, kRasterMagic);
  EXPECT_STREQ(raster->path, "/data/grid.txt");
  EXPECT_EQ(raster->width, 0);
  EXPECT_EQ(raster->values, nullptr);
  EXPECT_EQ(raster->openFn, nullptr);
  rasterFree(raster);
}

TEST(RasterRecord, AllocateRefusesPathsThatDoNotFitAndRefusedMemory) {
  const std::string longest(kPathSize - 1, 'a');
  RasterRec* fits = rasterAllocate(longest);
  ASSERT_NE(fits, nullptr);
  EXPECT_EQ(std::string(fits->path), longest);
  rasterFree(fits);

  const auto before = sxhost::liveAllocations();
  EXPECT_EQ(rasterAllocate(std::string(kPathSize, 'a')), nullptr);
  EXPECT_EQ(rasterAllocate(std::string_view("a\0b", 3)), nullptr);
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(rasterAllocate("grid"), nullptr);
  }
  EXPECT_EQ(sxhost::liveAllocations(), before);
}

TEST(RasterRecord, ValidityNeedsSelfAndMagic) {
  EXPECT_FALSE(rasterIsValid(nullptr));
  RasterRec* raster = rasterAllocate("");
  ASSERT_NE(raster, nullptr);
  RasterRec copy = *raster;  // self points at the original, not at the copy
  EXPECT_FALSE(rasterIsValid(&copy));
  raster->magic = kRasterMagic + 1;
  EXPECT_FALSE(rasterIsValid(raster));
  raster->magic = kRasterMagic;
  rasterFree(raster);
}

// What rasterFree leaves behind: self null and magic 0. Every operation must refuse it
// (the real freed block cannot be touched, so the cleared state is built by hand).
TEST(RasterRecord, ClearedRecordIsRefusedByEveryOperation) {
  RasterRec* raster = rasterAllocate("");
  ASSERT_NE(raster, nullptr);
  raster->width = raster->height = 2;
  raster->values = static_cast<float*>(sxMalloc(4 * sizeof(float)));
  rasterUseMemoryVariant(raster);
  ASSERT_EQ(rasterForEachRowAll(raster, keepGoing, nullptr), 1);
  raster->magic = 0;
  raster->self = nullptr;

  double low = 5, high = 6;
  EXPECT_EQ(rasterForEachRow(raster, 2, 2, keepGoing, nullptr), 0);
  EXPECT_EQ(rasterForEachRowAll(raster, keepGoing, nullptr), 0);
  EXPECT_EQ(rasterForEachRowResampled(raster, 4, 4, keepGoing, nullptr), 0);
  EXPECT_EQ(rasterSetMinMax(raster, 1, 2), 0);
  EXPECT_EQ(raster->minMaxKnown, 0);
  raster->minMaxKnown = 1;
  EXPECT_EQ(rasterGetMinMax(raster, &low, &high), 0);
  EXPECT_EQ(low, 5);
  EXPECT_EQ(rasterClearMinMax(raster), 0);
  EXPECT_EQ(raster->minMaxKnown, 1);
  raster->openFn = nullptr;
  rasterUseMemoryVariant(raster);
  EXPECT_EQ(raster->openFn, nullptr);

  const auto live = sxhost::liveAllocations();
  rasterFree(raster);  // left alone
  EXPECT_EQ(sxhost::liveAllocations(), live);

  raster->self = raster;
  raster->magic = kRasterMagic;
  rasterFree(raster);
  EXPECT_EQ(sxhost::liveAllocations(), live - 2);  // the record and its values
}

TEST(RasterRecord, RangeCache) {
  RasterRec* raster = rasterAllocate("");
  ASSERT_NE(raster, nullptr);
  double low = 0, high = 0;
  EXPECT_EQ(rasterGetMinMax(raster, &low, &high), 0);
  EXPECT_EQ(rasterSetMinMax(raster, -3.5, 12.25), 1);
  EXPECT_EQ(rasterGetMinMax(raster, &low, &high), 1);
  EXPECT_EQ(low, -3.5);
  EXPECT_EQ(high, 12.25);
  EXPECT_EQ(rasterGetMinMax(raster, nullptr, nullptr), 1);
  EXPECT_EQ(rasterClearMinMax(raster), 1);
  EXPECT_EQ(rasterGetMinMax(raster, &low, &high), 0);
  rasterFree(raster);
}

TEST(RasterRecord, ElementSizes) {
  const struct {
    int byteType;
    int size;
  } cases[] = {{0, 1}, {1, 2}, {2, 4}, {3, 4}, {4, 8}, {5, 0}, {-1, 0}, {1000, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(rasterElementSize(static_cast<ByteType>(c.byteType)), c.size) << c.byteType;
  }
}

TEST(RasterFileSize, SizesOfFilesAndNonFiles) {
  TempDir dir;
  EXPECT_EQ(rasterFileSize(dir.write("ten", "0123456789")), 10);
  EXPECT_EQ(rasterFileSize(dir.write("empty", "")), 0);
  EXPECT_EQ(rasterFileSize(dir.path("missing")), 0);
  EXPECT_EQ(rasterFileSize(dir.path("")), 0);  // the directory itself
}

TEST(RasterFileSize, SaturatesBeyond2GiB) {
  TempDir dir;
  const std::string big = dir.write("big", "");
  std::error_code error;
  std::filesystem::resize_file(big, 3ull << 30, error);  // sparse on every usual file system
  if (error) GTEST_SKIP() << "cannot make a 3 GiB sparse file: " << error.message();
  EXPECT_EQ(rasterFileSize(big), std::numeric_limits<std::int32_t>::max());
}

struct OpenCase {
  const char* name;
  SourceKind kind;
  const char* contents;  // null: no file at that path; "<dir>": a directory
  int headerOffset;
  int width;
  int height;
  int valuesRead;
};

// Parameterised tests print the case by its name.
void PrintTo(const OpenCase& c, std::ostream* os) {
  *os << c.name;
}

class RasterOpenFileFailure : public ::testing::TestWithParam<OpenCase> {};

TEST_P(RasterOpenFileFailure, GivesNullAndLeavesNothingBehind) {
  const OpenCase& c = GetParam();
  TempDir dir;
  std::string path = dir.path("source");
  if (c.contents != nullptr && std::string_view(c.contents) == "<dir>") {
    path = dir.path("");
  } else if (c.contents != nullptr) {
    dir.write("source", c.contents);
  }
  const auto live = sxhost::liveAllocations();
  int valuesRead = -1;
  RasterRec* raster =
      rasterOpenFile(path, c.headerOffset, 0, c.width, c.height, 0, c.kind, ByteType::Int8,
                     Endian::Little, ' ', nullptr, nullptr, &valuesRead, 0, 0.0);
  EXPECT_EQ(raster, nullptr);
  EXPECT_EQ(valuesRead, c.valuesRead);
  EXPECT_EQ(sxhost::liveAllocations(), live);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RasterOpenFileFailure,
    ::testing::Values(OpenCase{"AsciiMissing", SourceKind::Ascii, nullptr, 0, 2, 2, 0},
                      OpenCase{"BinaryMissing", SourceKind::Binary, nullptr, 0, 2, 2, 0},
                      OpenCase{"AsciiDirectory", SourceKind::Ascii, "<dir>", 0, 2, 2, 0},
                      OpenCase{"BinaryDirectory", SourceKind::Binary, "<dir>", 0, 2, 2, 0},
                      OpenCase{"AsciiEmpty", SourceKind::Ascii, "", 0, 2, 2, 0},
                      OpenCase{"BinaryEmpty", SourceKind::Binary, "", 0, 1, 1, 0},
                      OpenCase{"AsciiOffsetBeyondEnd", SourceKind::Ascii, "1 2 3 4", 8, 2, 2, 0},
                      OpenCase{"BinaryOffsetBeyondEnd", SourceKind::Binary, "abcd", 5, 2, 2, 0},
                      OpenCase{"AsciiNegativeOffset", SourceKind::Ascii, "1 2 3 4", -1, 2, 2, 0},
                      OpenCase{"BinaryNegativeOffset", SourceKind::Binary, "abcd", -1, 2, 2, 0},
                      OpenCase{"WidthZero", SourceKind::Ascii, "1 2 3 4", 0, 0, 2, 0},
                      OpenCase{"HeightNegative", SourceKind::Binary, "abcd", 0, 2, -2, 0},
                      OpenCase{"ImageKind", SourceKind::Image, "abcd", 0, 2, 2, 0},
                      OpenCase{"BinaryTooSmall", SourceKind::Binary, "abc", 0, 2, 2, 3},
                      OpenCase{"AsciiEndsEarly", SourceKind::Ascii, "1 2 3", 0, 2, 2, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RasterOpenFile, RefusesGridsBeyond32BitsBeforeAllocating) {
  TempDir dir;
  const std::string path = dir.write("grid", "1 2 3 4");
  for (SourceKind kind : {SourceKind::Ascii, SourceKind::Binary}) {
    const auto requests = sxhost::allocationRequests();
    int valuesRead = -1;
    EXPECT_EQ(rasterOpenFile(path, 0, 0, 65536, 65536, 0, kind, ByteType::Int8, Endian::Little, ' ',
                             nullptr, nullptr, &valuesRead, 0, 0.0),
              nullptr);
    EXPECT_EQ(rasterOpenFile(path, 0, 0, 46341, 46341, 0, kind, ByteType::Int8, Endian::Little, ' ',
                             nullptr, nullptr, &valuesRead, 0, 0.0),
              nullptr);
    EXPECT_EQ(valuesRead, 0);
    EXPECT_EQ(sxhost::allocationRequests(), requests);
  }
}

TEST(RasterOpenFile, PathThatDoesNotFitIsRefused) {
  int valuesRead = -1;
  EXPECT_EQ(
      rasterOpenFile(std::string(kPathSize, 'x'), 0, 0, 1, 1, 0, SourceKind::Ascii, ByteType::Int8,
                     Endian::Little, ' ', nullptr, nullptr, &valuesRead, 0, 0.0),
      nullptr);
  EXPECT_EQ(valuesRead, 0);
}

TEST(RasterOpenFile, TextSourceIsReadIntoMemoryWithItsRange) {
  TempDir dir;
  const std::string path = dir.write("grid.txt", "header\n1 2 3\n4 5 6\n");
  int valuesRead = -1;
  RasterRec* raster = rasterOpenFile(path, 7, 9, 3, 2, 1, SourceKind::Ascii, ByteType::Int16,
                                     Endian::Big, ',', nullptr, nullptr, &valuesRead, 0, 0.0);
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(valuesRead, 6);
  EXPECT_STREQ(raster->path, path.c_str());
  EXPECT_EQ(raster->fileSize, 19);
  EXPECT_EQ(raster->headerOffset, 7);
  EXPECT_EQ(raster->dataStride, 9);
  EXPECT_EQ(raster->width, 3);
  EXPECT_EQ(raster->height, 2);
  EXPECT_EQ(raster->isSigned, 1);
  EXPECT_EQ(raster->byteType, ByteType::Int16);
  EXPECT_EQ(raster->endianType, Endian::Big);
  EXPECT_EQ(raster->sourceKind, SourceKind::Ascii);
  EXPECT_EQ(raster->delimiter, ',');
  ASSERT_NE(raster->values, nullptr);
  double low = 0, high = 0;
  EXPECT_EQ(rasterGetMinMax(raster, &low, &high), 1);
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 6);
  EXPECT_EQ(readAllRows(raster), (Rows{{1, 2, 3}, {4, 5, 6}}));
  rasterFree(raster);
}

TEST(RasterOpenFile, BinarySourceIsStreamedWithoutRange) {
  TempDir dir;
  const std::string path = dir.write("grid.bin", "\x01\x02\x03\x04\x05\x06");
  int valuesRead = -1;
  RasterRec* raster = rasterOpenFile(path, 0, 0, 2, 2, 0, SourceKind::Binary, ByteType::Int8,
                                     Endian::Little, ' ', nullptr, nullptr, &valuesRead, 0, 0.0);
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(valuesRead, 6);  // the available count
  EXPECT_EQ(raster->values, nullptr);
  EXPECT_EQ(raster->fileSize, 6);
  EXPECT_EQ(rasterGetMinMax(raster, nullptr, nullptr), 0);
  EXPECT_EQ(readAllRows(raster), (Rows{{1, 2}, {3, 4}}));
  // Every pass starts again at the beginning.
  EXPECT_EQ(readAllRows(raster), (Rows{{1, 2}, {3, 4}}));
  rasterFree(raster);
}

TEST(RasterOpenFile, RefusedRecordMemoryReleasesTheValues) {
  TempDir dir;
  const std::string path = dir.write("grid.txt", "1 2 3 4");
  const auto live = sxhost::liveAllocations();
  {
    auto refuse = sxhost::AllocationFailure::nth(2);  // the values first, then the record
    EXPECT_EQ(rasterOpenFile(path, 0, 0, 2, 2, 0, SourceKind::Ascii, ByteType::Int8, Endian::Little,
                             ' ', nullptr, nullptr, nullptr, 0, 0.0),
              nullptr);
  }
  EXPECT_EQ(sxhost::liveAllocations(), live);
}

TEST(RasterMemoryVariant, DeliversTheFloatsAsDoubles) {
  RasterRec* raster = rasterAllocate("");
  ASSERT_NE(raster, nullptr);
  raster->width = 3;
  raster->height = 2;
  raster->values = static_cast<float*>(sxMalloc(6 * sizeof(float)));
  const float values[] = {0.1f, -2.5f, 3e38f, 7, 8, 9};
  std::copy(std::begin(values), std::end(values), raster->values);
  rasterUseMemoryVariant(raster);
  EXPECT_EQ(readAllRows(raster), (Rows{{double{0.1f}, -2.5, double{3e38f}}, {7, 8, 9}}));
  rasterFree(raster);
}

}  // namespace
}  // namespace relievo
