// The passes of the core give the same results on one thread and on several: the reading of a
// text grid, the decoding of an image, the fractal terrain, the range scan, the preview's
// samples and the conversion into posts, for every kind of source.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "ded/export.h"
#include "fractal/fractal_random.h"
#include "preview/preview_image.h"
#include "raster/ascii_reader.h"
#include "raster/image_reader.h"
#include "ded/transpose.h"
#include "raster/parallel.h"
#include "raster/test_files.h"
#include "raster/test_images.h"
#include "relievo_testing/scratch_dir.h"
#include "sxhost/host.h"

namespace relievo {
namespace {

struct Recorder final : PostWriter {
  std::vector<std::int16_t> posts;
  int open(const char*) override { return 0; }
  int begin(const DedFrame&) override { return 0; }
  int write(std::int32_t, std::span<const std::int16_t> run) override {
    for (const std::int16_t post : run) posts.push_back(bigEndianPost(post));
    return 0;
  }
  int finish(bool) override { return 0; }
};

// Everything a source gives through the passes.
struct Outcome {
  int valuesRead = 0;
  double readLow = 0, readHigh = 0;  // the range the reader brought, if any
  double low = 0, high = 0;          // the range the scan finds
  std::uint32_t generator = 0;       // the fractal generator's state afterwards
  std::vector<unsigned char> samples;
  ExportStatus rowsStatus{}, colsStatus{};
  std::vector<std::int16_t> rowsPosts, colsPosts;

  bool operator==(const Outcome&) const = default;
};

// Rows from the north, then columns from the south with undefined data and a linear mapping.
std::vector<std::int16_t> convert(RasterRec* raster, SourceLayout source, ElevationRanges ranges,
                                  bool rows, ExportStatus& status) {
  source.dataOrder = rows ? DataOrder::Rows : DataOrder::Cols;
  source.dataOrigin = rows ? DataOrigin::UpperLeft : DataOrigin::LowerLeft;
  if (!rows) {
    source.undefined = {1, static_cast<std::int32_t>(std::trunc(ranges.data.dataMin + 1))};
    ranges.replaceNullValue = 77;
    ranges.dedMin = -100;
    ranges.dedMax = 2000;
  }
  selectMapping(ranges);
  const Extents extents{0, 1, 0, 1, 30, 30, 1, 1};
  Recorder writer;
  status = exportDed({raster, source, ranges, extents}, writer, "out.ded", {}).status;
  return writer.posts;
}

using Open = std::function<RasterRec*(int* valuesRead)>;

Outcome passes(const Open& open) {
  Outcome out;
  testing::RasterPtr raster(open(&out.valuesRead));
  out.generator = fractalRandomState();
  if (raster == nullptr) return out;
  SourceLayout source{};
  source.width = raster->width;
  source.height = raster->height;
  ElevationRanges ranges{};
  ranges.units = 4;  // metres
  rasterGetMinMax(raster.get(), &out.readLow, &out.readHigh);
  rasterClearMinMax(raster.get());
  scanDataRange(raster.get(), source, ranges.data, {});
  out.low = ranges.data.dataMin;
  out.high = ranges.data.dataMax;
  ranges.dataMinMeters = ranges.dedMin = ranges.data.dataMin;
  ranges.dataMaxMeters = ranges.dedMax = ranges.data.dataMax;
  PreviewBuffers preview{};
  previewBuildSamples(preview, raster.get(), source, ranges.data, {210, 260}, {});
  const ImageBuf& samples = preview.previewSamples;
  out.samples.assign(samples.pixels,
                     samples.pixels + std::size_t{1} * samples.width * samples.height);
  previewBuffersFree(preview);
  out.rowsPosts = convert(raster.get(), source, ranges, true, out.rowsStatus);
  out.colsPosts = convert(raster.get(), source, ranges, false, out.colsStatus);
  return out;
}

// Text of `count` numbers, one token each: first a run of one-digit tokens chained by '-', with no
// byte that belongs to no token, longer than a chunk of the text pass holds; then numbers of every
// form, separated every way. Token `tooLong`, if any, has 40 digits.
std::string textGrid(int count, int tooLong = -1) {
  std::string text = "ncols 12\n";
  const char* forms[] = {"-%d.25", "%de-2", "%dD1", "+%d.", "%d"};
  const char* separators[] = {" ", ", ", "\t", ";", "\n"};
  for (int k = 0; k < count; ++k) {
    char token[64];
    if (k == tooLong) {
      std::snprintf(token, sizeof token, "%s ", std::string(40, '7').c_str());
    } else if (k < 150000) {
      std::snprintf(token, sizeof token, "%d-", k % 9 + 1);
    } else {
      std::snprintf(token, sizeof token, forms[k % 5], (k * 37) % 4001);
      std::strcat(token, separators[(k / 7) % 5]);
    }
    text += token;
  }
  return text;
}

// A binary grid of big-endian 16-bit values w(r, c) = ((r * 131 + c * 71) % 4001) - 1000.
std::int16_t gridValue(int r, int c) {
  return static_cast<std::int16_t>((r * 131 + c * 71) % 4001 - 1000);
}
std::string binaryGrid(int width, int height) {
  std::string bytes;
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      const auto v = static_cast<std::uint16_t>(gridValue(r, c));
      bytes += static_cast<char>(v >> 8);
      bytes += static_cast<char>(v & 0xFF);
    }
  }
  return bytes;
}

// Doubles, little-endian, three bytes apart, a tenth of them not finite.
std::string doubleGrid(int width, int height) {
  std::string bytes;
  for (int k = 0; k < width * height; ++k) {
    const double v = k % 10 == 0 ? (k % 20 == 0 ? NAN : INFINITY) : (k % 977) * 1.5 - 300;
    bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    bytes += "pad";
  }
  return bytes;
}

class ParallelPasses : public ::testing::Test {
 protected:
  ~ParallelPasses() override {
    setWorkerThreads(0);
    rasterFreeImageCache(&imageCache);
    fractalFreeCache(&fractalCache);
  }

  // The outcome on one thread and on four, which must not differ.
  Outcome onOneAndFour(const Open& open) {
    setWorkerThreads(1);
    const Outcome one = passes(open);
    setWorkerThreads(4);
    const Outcome four = passes(open);
    EXPECT_TRUE(one == four);
    return four;
  }

  Open file(const std::string& path, int width, int height, SourceKind kind, ByteType type,
            Endian order, int stride = 0, int offset = 0) {
    return [=](int* read) {
      return rasterOpenFile(path, offset, stride, width, height, 1, kind, type, order, ' ', nullptr,
                            nullptr, read, 0, 0.0);
    };
  }

  sxhost::Host host;
  testing::ScratchDir dir;
  ImageCache* imageCache = nullptr;
  FractalCache* fractalCache = nullptr;
};

TEST_F(ParallelPasses, EveryKindOfSourceGivesTheSameOnOneThreadOrSeveral) {
  constexpr int kWidth = 500, kHeight = 400;
  testing::Bytes rgb(std::size_t{512} * 400 * 3);
  for (std::size_t i = 0; i < rgb.size(); ++i)
    rgb[i] = static_cast<unsigned char>((i * 7 + i / 1536) % 251);
  const std::string png = dir.write("rgb.png", testing::pngImage(512, 400, 3, rgb));

  const struct {
    const char* what;
    Open open;
    int valuesRead;
  } cases[] = {
      {"binary",
       file(dir.write("grid.bin", binaryGrid(kWidth, kHeight)), kWidth, kHeight, SourceKind::Binary,
            ByteType::Int16, Endian::Big),
       kWidth * kHeight},
      {"doubles with a stride",
       file(dir.write("doubles.bin", doubleGrid(300, 257)), 300, 257, SourceKind::Binary,
            ByteType::Float64, Endian::Little, 3),
       (300 * 257 * 11 - 3 * 256) / 8},
      {"text",
       file(dir.write("grid.txt", textGrid(600 * 400)), 600, 400, SourceKind::Ascii, ByteType::Int8,
            Endian::Little, 0, 9),
       600 * 400},
      {"image",
       [&](int* read) {
         return rasterOpenImage(&imageCache, png, ImageComponent::Intensity, nullptr, nullptr,
                                nullptr, nullptr, read);
       },
       512 * 400},
      {"fractal",
       [&](int* read) {
         fractalFreeCache(&fractalCache);
         testing::RasterPtr first(rasterOpenFractal(&fractalCache, 512, 3, 0.2f, 0.1f, 0.3f, 0.5f,
                                                    1, nullptr, nullptr, read));
         // The same map generated again for a new seed.
         return rasterOpenFractal(&fractalCache, 512, 4, 0.2f, 0.1f, 0.3f, 0.5f, 1, nullptr,
                                  nullptr, read);
       },
       512 * 512},
  };
  Outcome binary;  // the first case's
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome out = onOneAndFour(c.open);
    EXPECT_EQ(out.valuesRead, c.valuesRead);
    EXPECT_EQ(std::make_pair(out.rowsStatus, out.colsStatus),
              std::make_pair(ExportStatus::Done, ExportStatus::Done));
    EXPECT_LT(out.low, out.high);
    if (&c == cases) binary = out;
  }
  // The binary grid's posts are its values: record c holds column c, north row first.
  ASSERT_EQ(binary.rowsPosts.size(), std::size_t{kWidth} * kHeight);
  for (const auto& [r, c] : {std::pair{0, 0}, {399, 0}, {123, 457}, {399, 499}})
    EXPECT_EQ(binary.rowsPosts[static_cast<std::size_t>(c * kHeight + (kHeight - 1 - r))],
              gridValue(r, c));
  EXPECT_EQ(std::make_pair(binary.low, binary.high), std::make_pair(-1000.0, 3000.0));
}

// A file shorter than its strides call for: the rows before its end are scanned and the
// conversion fails, on any number of threads alike.
TEST_F(ParallelPasses, ASourceThatEndsEarlyEndsAtTheSameRow) {
  const Outcome out = onOneAndFour(file(dir.write("cut.bin", binaryGrid(500, 400)), 500, 400,
                                        SourceKind::Binary, ByteType::Int16, Endian::Big, 2));
  EXPECT_EQ(std::make_pair(out.rowsStatus, out.colsStatus),
            std::make_pair(ExportStatus::CannotRead, ExportStatus::CannotRead));
  EXPECT_LT(out.low, out.high);
}

// The text pass ends at a token too long, or where the progress stops it, wherever the
// chunks lie: the values before it are read, on one thread or several.
TEST_F(ParallelPasses, TheTextPassEndsWhereASingleReadingEnds) {
  const std::string path = dir.write("long.txt", textGrid(600 * 400, 200000));
  struct Stop {
    int calls = 0;
    int at = 0;
  };
  for (const int threads : {1, 4}) {
    setWorkerThreads(threads);
    AsciiTextResult result = asciiReadText(path.c_str(), 9, 600, 400, nullptr, nullptr, 0, 0.0);
    EXPECT_EQ(result.valuesRead, 200000);
    Stop stop{0, 250};
    const ProgressCallback progress = [](int, int, void* s) {
      auto& state = *static_cast<Stop*>(s);
      return ++state.calls == state.at ? 0 : 1;
    };
    result = asciiReadText(path.c_str(), 9, 600, 400, progress, &stop, 0, 0.0);
    EXPECT_EQ(std::make_pair(result.valuesRead, stop.calls), std::make_pair(250 * 600, 250));
  }
}

}  // namespace
}  // namespace relievo
