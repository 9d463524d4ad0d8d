#include "raster/detect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "raster/test_images.h"
#include "sxhost/host.h"

namespace relievo {
namespace {

class Detect : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path;
  }
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("relievo-detect-" + std::to_string(::getpid()));
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
  text[1999] = 'a';
  text[2000] = 0xFF;  // the first byte not examined
  EXPECT_EQ(rasterDetectFileKind(write("after.txt", text)), FileKind::Text);
  EXPECT_EQ(rasterDetectFileKind(write("short.txt", {'1', ' ', '2', '\n', 0x01, 0x7F})),
            FileKind::Text);
}

TEST_F(Detect, ImagesAreToldByTheirContent) {
  const std::vector<unsigned char> png = testing::pngImage(2, 1, 3, {1, 2, 3, 4, 5, 6});
  const std::vector<unsigned char> sgi = testing::sgiImage(2, 1, 1, {7, 9});
  EXPECT_EQ(rasterDetectFileKind(write("grid.png", png)), FileKind::Image);
  EXPECT_EQ(rasterDetectFileKind(write("grid.txt", png)), FileKind::Image);
  EXPECT_EQ(rasterDetectFileKind(write("grid.bw", sgi)), FileKind::Image);
  EXPECT_EQ(rasterDetectFileKind(write("grid", sgi)), FileKind::Image);
  // A cut-off image is examined as any other file: its bytes say binary.
  EXPECT_EQ(rasterDetectFileKind(write("cut.png", {png.begin(), png.begin() + 20})),
            FileKind::Binary);
  // An image name does not make a text an image.
  EXPECT_EQ(rasterDetectFileKind(write("text.png", {'1', ' ', '2', '\n'})), FileKind::Text);
}

TEST(ByteTypeForSize, SuggestsTheTypeOfTheSize) {
  const std::pair<int, ByteType> cases[] = {
      {-5, ByteType::Int8}, {0, ByteType::Int8},    {1, ByteType::Int8},
      {2, ByteType::Int16}, {3, ByteType::Int16},   {4, ByteType::Int32},
      {7, ByteType::Int32}, {8, ByteType::Float64}, {100, ByteType::Float64},
  };
  for (const auto& [size, type] : cases)
    EXPECT_EQ(byteTypeForSize(size), type) << size;
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

TEST(LargestFit, MessageNumbersOfTheThreeFileSizes) {
  struct Case {
    int fileSize;
    ByteType type;
    int dataSize;
    int dimension;
    ByteType suggested;
  };
  const Case cases[] = {
      {1000, ByteType::Int16, 10, 22, ByteType::Float64},
      {1000, ByteType::Int8, 10, 31, ByteType::Float64},
      {150, ByteType::Int16, 1, 8, ByteType::Int8},
      {99, ByteType::Int8, 0, 9, ByteType::Int8},
      {400, ByteType::Float32, 4, 10, ByteType::Int32},
      {300, ByteType::Int8, 3, 17, ByteType::Int16},
  };
  for (const Case& c : cases) {
    const ToolState state = layout(c.fileSize, 10, 10, c.type);
    const LargestFit fit = largestFitForFile(&state);
    EXPECT_EQ(fit.dataSize, c.dataSize) << c.fileSize;
    EXPECT_EQ(fit.dimension, c.dimension) << c.fileSize;
    EXPECT_EQ(fit.suggestedByteType, c.suggested) << c.fileSize;
  }
  // The header is not data.
  const ToolState withHeader = layout(1000, 10, 10, ByteType::Int16, 200);
  EXPECT_EQ(largestFitForFile(&withHeader).dataSize, 8);
  EXPECT_EQ(largestFitForFile(&withHeader).dimension, 20);
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
  // Whatever stored preferences hold, the numbers stay defined.
  const ToolState hostile[] = {
      layout(1000, -10, 10, ByteType::Int16),       layout(1000, 10, -10, ByteType::Int16),
      layout(1000, INT32_MIN, -1, ByteType::Int16), layout(1000, 1, 1, ByteType::Int8, INT32_MIN),
      layout(INT32_MAX, 1, 1, ByteType::Int8, -5),  layout(1000, 10, 10, static_cast<ByteType>(-1)),
  };
  for (const ToolState& state : hostile) {
    const LargestFit fit = largestFitForFile(&state);
    EXPECT_GE(fit.dimension, 0);
    EXPECT_EQ(fit.suggestedByteType, byteTypeForSize(fit.dataSize));
  }
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
  const ToolState twoBytes = layout(1000, 10, 10, ByteType::Int16);
  EXPECT_EQ(binaryLayoutMessage(&twoBytes),
            "This file is not large enough to contain 10 x 10 x 2-byte elements.\n\n"
            "The largest data size for these dimensions is 10 bytes.\n"
            "The largest dimensions for this data size is 22 x 22.\n");
  const ToolState noWidth = layout(1000, 0, 10, static_cast<ByteType>(7));
  EXPECT_EQ(binaryLayoutMessage(&noWidth),
            "This file is not large enough to contain 0 x 10 x 0-byte elements.\n\n"
            "The largest dimensions for this data size is 0 x 0.\n");
}

}  // namespace
}  // namespace relievo
