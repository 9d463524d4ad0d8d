#include "raster/detect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "raster/test_images.h"
#include "relievo_testing/scratch_dir.h"
#include "sxhost/host.h"

namespace relievo {
namespace {

using Bytes = std::vector<unsigned char>;

// Only the first 2000 bytes are examined; an image is told by its content, not by its name, and
// a cut-off one by its bytes as any other file.
TEST(Detect, TextBinaryImageAndNone) {
  sxhost::Host host;
  testing::ScratchDir dir;
  Bytes text(3000, 'a');
  text[2500] = 0xE9;
  Bytes lastExamined = text;
  lastExamined[1999] = 0x80;
  Bytes firstNotExamined = text;
  firstNotExamined[2000] = 0xFF;
  const Bytes png = testing::pngImage(2, 1, 3, {1, 2, 3, 4, 5, 6});
  const Bytes sgi = testing::sgiImage(2, 1, 1, {7, 9});
  const std::pair<std::string, FileKind> cases[] = {
      {dir.write("late.txt", text), FileKind::Text},
      {dir.write("zeros.bin", Bytes(64, 0)), FileKind::Text},
      {dir.write("ff.bin", Bytes{0xFF}), FileKind::Binary},
      {dir.write("edge.txt", lastExamined), FileKind::Binary},
      {dir.write("after.txt", firstNotExamined), FileKind::Text},
      {dir.write("short.txt", Bytes{'1', ' ', '2', '\n', 0x01, 0x7F}), FileKind::Text},
      {dir.write("grid.txt", png), FileKind::Image},
      {dir.write("grid", sgi), FileKind::Image},
      {dir.write("cut.png", Bytes(png.begin(), png.begin() + 20)), FileKind::Binary},
      {dir.write("text.png", "1 2\n"), FileKind::Text},
      {dir.write("empty.png", ""), FileKind::None},
      {dir.path("missing"), FileKind::None},
      {dir.path(""), FileKind::None},
  };
  for (const auto& [path, kind] : cases)
    EXPECT_EQ(rasterDetectFileKind(path), kind) << path;
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

SourceLayout layout(int fileSize, int width, int height, ByteType type, int offset = 0) {
  SourceLayout source{};
  source.fileSize = fileSize;
  source.width = width;
  source.height = height;
  source.byteType = type;
  source.headerOffset = offset;
  return source;
}

TEST(LargestFit, NumbersOfTheFileSizes) {
  // {layout, data size, dimension, suggested type}
  const std::tuple<SourceLayout, int, int, ByteType> cases[] = {
      {layout(1000, 10, 10, ByteType::Int16), 10, 22, ByteType::Float64},
      {layout(1000, 10, 10, ByteType::Int8), 10, 31, ByteType::Float64},
      {layout(150, 10, 10, ByteType::Int16), 1, 8, ByteType::Int8},
      {layout(99, 10, 10, ByteType::Int8), 0, 9, ByteType::Int8},
      {layout(400, 10, 10, ByteType::Float32), 4, 10, ByteType::Int32},
      {layout(300, 10, 10, ByteType::Int8), 3, 17, ByteType::Int16},
      {layout(1000, 10, 10, ByteType::Int16, 200), 8, 20, ByteType::Float64},  // the header
      {layout(1000, 0, 10, ByteType::Int16), 0, 22, ByteType::Int8},           // no finite size
      {layout(1000, 10, 10, static_cast<ByteType>(9)), 10, 0, ByteType::Float64},
  };
  for (const auto& [source, dataSize, dimension, suggested] : cases) {
    const LargestFit fit = largestFitForFile(source);
    EXPECT_EQ(std::tie(fit.dataSize, fit.dimension, fit.suggestedByteType),
              std::tie(dataSize, dimension, suggested))
        << source.fileSize << " " << source.width << " " << source.headerOffset;
  }
  // Whatever stored preferences hold, the numbers stay defined.
  const SourceLayout hostile[] = {
      layout(100, 10, 10, ByteType::Int8, 500),        layout(1000, -10, 10, ByteType::Int16),
      layout(1000, 10, -10, ByteType::Int16),          layout(1000, INT32_MIN, -1, ByteType::Int16),
      layout(1000, 1, 1, ByteType::Int8, INT32_MIN),   layout(INT32_MAX, 1, 1, ByteType::Int8, -5),
      layout(1000, 10, 10, static_cast<ByteType>(-1)),
  };
  for (const SourceLayout& source : hostile) {
    const LargestFit fit = largestFitForFile(source);
    EXPECT_GE(fit.dimension, 0);
    EXPECT_EQ(fit.suggestedByteType, byteTypeForSize(fit.dataSize));
    if (&source == hostile) {  // the header past the end of the file: nothing fits
      EXPECT_EQ(std::make_pair(fit.dimension, fit.dataSize <= 0), std::make_pair(0, true));
    }
  }
}

TEST(BinaryLayoutMessage, ExactTexts) {
  const std::pair<SourceLayout, const char*> cases[] = {
      {layout(1000, 10, 10, ByteType::Float64),
       "This file is not large enough to contain 10 x 10 x 8-byte elements.\n\n"
       "The largest data size for these dimensions is 10 bytes.\n"
       "The largest dimensions for this data size is 11 x 11.\n"},
      {layout(150, 10, 10, ByteType::Int16),
       "This file is not large enough to contain 10 x 10 x 2-byte elements.\n\n"
       "The largest data size for these dimensions is 1 byte. \n"
       "The largest dimensions for this data size is 8 x 8.\n"},
      {layout(99, 10, 10, ByteType::Int8),
       "This file is not large enough to contain 10 x 10 x 1-byte elements.\n\n"
       "The largest dimensions for this data size is 9 x 9.\n"},
      {layout(1000, 0, 10, static_cast<ByteType>(7)),
       "This file is not large enough to contain 0 x 10 x 0-byte elements.\n\n"
       "The largest dimensions for this data size is 0 x 0.\n"},
  };
  for (const auto& [source, text] : cases)
    EXPECT_EQ(binaryLayoutMessage(source), text);
}

}  // namespace
}  // namespace relievo
