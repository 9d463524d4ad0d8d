// The passes of the core give the same results on one thread and on several: the reading of a
// text grid, the decoding of an image, the fractal terrain, the range scan, the preview's
// samples and the conversion into posts, for every kind of source.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "ded/export.h"
#include "ded/transpose.h"
#include "fractal/fractal_random.h"
#include "preview/preview_image.h"
#include "raster/ascii_reader.h"
#include "raster/image_reader.h"
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
    for (const std::int16_t post : run)
      posts.push_back(bigEndianPost(post));
    return 0;
  }
  int finish(bool) override { return 0; }
};

// Everything a source gives through the passes: the range the reader brought, if any, and the
// one the scan finds, the fractal generator's state afterwards, the preview's samples, and the
// conversion of rows from the north, then of columns from the south with undefined data.
struct Outcome {
  int valuesRead = 0;
  double readLow = 0, readHigh = 0, low = 0, high = 0;
  std::uint32_t generator = 0;
  std::vector<unsigned char> samples;
  ExportStatus status[2]{};
  std::vector<std::int16_t> posts[2];

  bool operator==(const Outcome&) const = default;
};

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
  out.low = ranges.dataMinMeters = ranges.dedMin = ranges.data.dataMin;
  out.high = ranges.dataMaxMeters = ranges.dedMax = ranges.data.dataMax;
  PreviewBuffers preview{};
  previewBuildSamples(preview, raster.get(), source, ranges.data, {210, 260}, {});
  const ImageBuf& samples = preview.previewSamples;
  out.samples.assign(samples.pixels, samples.pixels + samples.width * samples.height);
  previewBuffersFree(preview);
  for (const int cols : {0, 1}) {
    source.dataOrder = cols != 0 ? DataOrder::Cols : DataOrder::Rows;
    source.dataOrigin = cols != 0 ? DataOrigin::LowerLeft : DataOrigin::UpperLeft;
    if (cols != 0) {
      source.undefined = {1, static_cast<std::int32_t>(std::trunc(ranges.data.dataMin + 1))};
      ranges.replaceNullValue = 77;
      ranges.dedMin = -100;
      ranges.dedMax = 2000;
    }
    selectMapping(ranges);
    Recorder writer;
    const ExportSource job{raster.get(), source, ranges, {0, 1, 0, 1, 30, 30, 1, 1}};
    out.status[cols] = exportDed(job, writer, "out.ded", {}).status;
    out.posts[cols] = std::move(writer.posts);
  }
  return out;
}

// Text of `count` numbers, one token each: first a run of one-digit tokens chained by '-', with no
// byte that belongs to no token, longer than a chunk of the text pass holds; then numbers of every
// form, separated every way. Token `tooLong`, if any, has 40 digits.
std::string textGrid(int count, int tooLong = -1) {
  std::string text = "ncols 12\n";
  const char* forms[] = {"-%d.25 ", "%de-2, ", "%dD1\t", "+%d.;", "%d\n"};
  for (int k = 0; k < count; ++k) {
    char token[64];
    std::snprintf(token, sizeof token, k < 150000 ? "%d-" : forms[k % 5],
                  k < 150000 ? k % 9 + 1 : (k * 37) % 4001);
    text += k == tooLong ? std::string(40, '7') + ' ' : token;
  }
  return text;
}

class ParallelPasses : public ::testing::Test {
 protected:
  ~ParallelPasses() override {
    setWorkerThreads(0);
    rasterFreeImageCache(&imageCache);
    fractalFreeCache(&fractalCache);
  }

  Open file(const std::string& path, int width, SourceKind kind, ByteType type, int stride = 0,
            int offset = 0) {
    return [=](int* read) {
      return rasterOpenFile(path, offset, stride, width, 400, 1, kind, type, Endian::Big, ' ',
                            nullptr, nullptr, read, 0, 0.0);
    };
  }

  sxhost::Host host;
  testing::ScratchDir dir;
  ImageCache* imageCache = nullptr;
  FractalCache* fractalCache = nullptr;
};

// Each source is 400 rows high. The binary grid holds the big-endian 16-bit values
// ((131 r + 71 c) mod 4001) - 1000 at row r, column c. The last case is a file shorter than its
// strides call for: the rows before its end are scanned and the conversion fails.
TEST_F(ParallelPasses, EveryKindOfSourceGivesTheSameOnOneThreadOrSeveral) {
  testing::Bytes rgb(std::size_t{512} * 400 * 3), grid;
  for (std::size_t i = 0; i < rgb.size(); ++i)
    rgb[i] = static_cast<unsigned char>((i * 7 + i / 1536) % 251);
  for (int k = 0; k < 500 * 400; ++k) {
    const int v = (k / 500 * 131 + k % 500 * 71) % 4001 - 1000;
    grid.insert(grid.end(), {static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)});
  }
  const std::string png = dir.write("rgb.png", testing::pngImage(512, 400, 3, rgb));
  const std::string bin = dir.write("grid.bin", grid);
  const std::string txt = dir.write("grid.txt", textGrid(600 * 400));
  constexpr auto kDone = ExportStatus::Done, kCannotRead = ExportStatus::CannotRead;
  const auto image = [&](int* read) {
    return rasterOpenImage(&imageCache, png, ImageComponent::Intensity, nullptr, nullptr, nullptr,
                           nullptr, read);
  };
  const auto fractal = [&](int* read) {  // the same map generated again for a new seed
    fractalFreeCache(&fractalCache);
    testing::RasterPtr first(rasterOpenFractal(&fractalCache, 512, 3, 0.2f, 0.1f, 0.3f, 0.5f, 1,
                                               nullptr, nullptr, read));
    return rasterOpenFractal(&fractalCache, 512, 4, 0.2f, 0.1f, 0.3f, 0.5f, 1, nullptr, nullptr,
                             read);
  };
  // clang-format off
  const struct { const char* what; Open open; ExportStatus status; } cases[] = {
      {"binary", file(bin, 500, SourceKind::Binary, ByteType::Int16), kDone},
      {"text", file(txt, 600, SourceKind::Ascii, ByteType::Int8, 0, 9), kDone},
      {"image", image, kDone},
      {"fractal", fractal, kDone},
      {"ends early", file(bin, 500, SourceKind::Binary, ByteType::Int16, 2), kCannotRead},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    setWorkerThreads(1);
    const Outcome one = passes(c.open);
    setWorkerThreads(4);
    const Outcome four = passes(c.open);
    EXPECT_TRUE(one == four);
    EXPECT_EQ(std::make_pair(four.status[0], four.status[1]), std::make_pair(c.status, c.status));
    if (&c != cases) continue;
    // Record c holds column c, north row first: post 400 c + 399 - r is the value at (r, c).
    ASSERT_EQ(four.posts[0].size(), std::size_t{500} * 400);
    const auto post = [&](int r, int c) { return four.posts[0][400 * c + 399 - r]; };
    EXPECT_EQ(std::tuple(post(0, 0), post(399, 0), post(123, 457), post(399, 499)),
              std::tuple(-1000, -744, -452, 2677));
    EXPECT_EQ(std::make_pair(four.low, four.high), std::make_pair(-1000.0, 3000.0));
  }
}

// The text pass ends at a token too long, or where the progress stops it, wherever the
// chunks lie: the values before it are read, on one thread or several.
TEST_F(ParallelPasses, TheTextPassEndsWhereASingleReadingEnds) {
  const std::string path = dir.write("long.txt", textGrid(600 * 400, 200000));
  for (const int threads : {1, 4}) {
    setWorkerThreads(threads);
    EXPECT_EQ(asciiReadText(path.c_str(), 9, 600, 400, nullptr, nullptr, 0, 0.0).valuesRead,
              200000);
    int calls = 0;  // the progress stops the reading at its 250th call
    const ProgressCallback progress = [](int, int, void* n) -> int {
      return ++*static_cast<int*>(n) != 250;
    };
    const int read = asciiReadText(path.c_str(), 9, 600, 400, progress, &calls, 0, 0.0).valuesRead;
    EXPECT_EQ(std::make_pair(read, calls), std::make_pair(250 * 600, 250));
  }
}

}  // namespace
}  // namespace relievo
