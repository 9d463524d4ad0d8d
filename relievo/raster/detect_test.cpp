#include "raster/detect.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sxhost/host.h"

namespace relievo {
namespace {

class Detect : public testing::Test {
 protected:
  std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path;
  }
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("relievo-detect-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  sxhost::Host host;
  std::filesystem::path dir;
};

TEST_F(Detect, TextBinaryAndNone) {
  std::vector<unsigned char> text(3000, 'a');
  text[2500] = 0xE9;  // beyond the bytes examined
  EXPECT_EQ(rasterDetectFileKind(write("late.txt", text)), FileKind::Text);
  EXPECT_EQ(rasterDetectFileKind(write("zeros.bin", std::vector<unsigned char>(64, 0))),
            FileKind::Text);
  EXPECT_EQ(rasterDetectFileKind(write("ff.bin", {0xFF})), FileKind::Binary);
  text[1999] = 0x80;
  EXPECT_EQ(rasterDetectFileKind(write("edge.txt", text)), FileKind::Binary);
  EXPECT_EQ(rasterDetectFileKind(write("empty.png", {})), FileKind::None);
  EXPECT_EQ(rasterDetectFileKind((dir / "missing").string()), FileKind::None);
  EXPECT_EQ(rasterDetectFileKind(dir.string()), FileKind::None);
}

TEST(ByteTypeForSize, SuggestsTheTypeOfTheSize) {
  const std::pair<int, ByteType> cases[] = {
      {-5, ByteType::Int8},  {0, ByteType::Int8},    {1, ByteType::Int8},
      {2, ByteType::Int16},  {3, ByteType::Int16},   {4, ByteType::Int32},
      {7, ByteType::Int32},  {8, ByteType::Float64}, {100, ByteType::Float64},
  };
  for (const auto& [size, type] : cases) EXPECT_EQ(byteTypeForSize(size), type) << size;
}

ToolState layout(int fileSize, int width, int height, ByteType type, int offset = 0) {
  ToolState state{};
  state.fileSize = fileSize;
  state.width = width;
  state.height = height;
  state.byteType = type;
  state.headerOffset = offset;
  return state;
}

TEST(LargestFit, ThousandBytesForTenByTen) {
  const ToolState state = layout(1000, 10, 10, ByteType::Int16);
  const LargestFit fit = largestFitForFile(&state);
  EXPECT_EQ(fit.dataSize, 10);
  EXPECT_EQ(fit.suggestedByteType, ByteType::Float64);
  EXPECT_EQ(fit.dimension, 22);
}

TEST(LargestFit, DegenerateLayouts) {
  const ToolState noWidth = layout(1000, 0, 10, ByteType::Int16);
  EXPECT_EQ(largestFitForFile(&noWidth).dataSize, 0);
  EXPECT_EQ(largestFitForFile(&noWidth).suggestedByteType, ByteType::Int8);
  const ToolState unknownType = layout(1000, 10, 10, static_cast<ByteType>(9));
  EXPECT_EQ(largestFitForFile(&unknownType).dimension, 0);
  const ToolState pastEnd = layout(100, 10, 10, ByteType::Int8, 500);
  EXPECT_EQ(largestFitForFile(&pastEnd).dimension, 0);
  EXPECT_LE(largestFitForFile(&pastEnd).dataSize, 0);
}

TEST(BinaryLayoutMessage, ExactTexts) {
  const ToolState tenBytes = layout(1000, 10, 10, ByteType::Float64);
  EXPECT_EQ(binaryLayoutMessage(&tenBytes),
            "This file is not large enough to contain 10 x 10 x 8-byte elements.\n\n"
            "The largest data size for these dimensions is 10 bytes.\n"
            "The largest dimensions for this data size is 11 x 11.\n");
  const ToolState oneByte = layout(150, 10, 10, ByteType::Int16);
  EXPECT_EQ(binaryLayoutMessage(&oneByte),
            "This file is not large enough to contain 10 x 10 x 2-byte elements.\n\n"
            "The largest data size for these dimensions is 1 byte. \n"
            "The largest dimensions for this data size is 8 x 8.\n");
  const ToolState tooSmall = layout(99, 10, 10, ByteType::Int8);
  EXPECT_EQ(binaryLayoutMessage(&tooSmall),
            "This file is not large enough to contain 10 x 10 x 1-byte elements.\n\n"
            "The largest dimensions for this data size is 9 x 9.\n");
}

}  // namespace
}  // namespace relievo
