#include "sgi_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "sxapilib.h"
#include "sxhost/memory.h"
#include "test_sgi_writer.h"

namespace sxhost::image {
namespace {

using testing::SgiFields;
using testing::SgiPicture;
using Bytes = std::vector<unsigned char>;

// A 3 x 2 picture of four channels as SGI stores it (channel after channel, each bottom row
// first).
const Bytes kPlanes{7,  7,  7,  1,  2,  3,  8,  8,  9,  4,  4,  4,
                    10, 11, 12, 13, 13, 14, 20, 20, 20, 21, 22, 23};
// Its four channels interleaved pixel by pixel, as the host keeps RGBA.
const Bytes kInterleaved{7, 8, 10, 20, 7, 8, 11, 20, 7, 9, 12, 20,
                         1, 4, 13, 21, 2, 4, 13, 22, 3, 4, 14, 23};

SgiPicture firstChannels(int channels) {
  return {3, 2, channels, Bytes(kPlanes.begin(), kPlanes.begin() + 6 * channels)};
}

struct Decoded {
  SgiStatus status;
  DecodedImage image;
};

Decoded decode(const Bytes& file) {
  Decoded result{SgiStatus::kOk, {}};
  result.status = sgiDecode(file, result.image);
  return result;
}

// The run-length walk over channels and rows; how the layout of every kind takes SGI's planes
// is what the plug-in's image reader tests read from verbatim files through the host.
TEST(SgiDecoder, DecodesEveryRunLengthPixel) {
  const Decoded decoded = decode(testing::sgiRunLength(firstChannels(4)));
  ASSERT_EQ(decoded.status, SgiStatus::kOk);
  const auto& header = decoded.image.header;
  EXPECT_EQ(std::tuple(header.kind, header.width, header.height), std::tuple(SX_IMAGE_RGBA, 3, 2));
  EXPECT_EQ(Bytes(decoded.image.pixels.get(), decoded.image.pixels.get() + kInterleaved.size()),
            kInterleaved);
}

// Dimension 1 is one row of one channel and dimension 2 one channel, whatever the other size
// fields say.
TEST(SgiDecoder, DimensionFieldLimitsRowsAndChannels) {
  const std::tuple<unsigned, int, int> cases[] = {
      {1, 1, SX_IMAGE_INTENSITY}, {2, 2, SX_IMAGE_INTENSITY}, {3, 2, SX_IMAGE_RGB}};
  for (const auto& [dimension, height, kind] : cases) {
    SgiFields fields{.width = 2, .height = 2, .channels = 3};
    fields.dimension = dimension;
    Bytes file = testing::sgiHeader(fields);
    file.resize(file.size() + 12, 9);
    const Decoded decoded = decode(file);
    EXPECT_EQ(std::tuple(decoded.status, decoded.image.header.height, decoded.image.header.kind),
              std::tuple(SgiStatus::kOk, height, kind))
        << "dimension " << dimension;
  }
}

TEST(SgiDecoder, HeaderFieldsOutsideWhatTheHostReadsAreRefused) {
  using Field = unsigned SgiFields::*;
  // magic; bytes a channel, channels, storage, colour map, dimension; width, height, channels
  // clang-format off
  const std::tuple<Field, unsigned, SgiStatus> cases[] = {
      {&SgiFields::magic, 475, SgiStatus::kNotSgi},
      {&SgiFields::bytesPerChannel, 2, SgiStatus::kUnsupported},
      {&SgiFields::channels, 5, SgiStatus::kUnsupported},
      {&SgiFields::storage, 2, SgiStatus::kUnsupported},
      {&SgiFields::colorMap, 3, SgiStatus::kUnsupported},
      {&SgiFields::dimension, 4, SgiStatus::kUnsupported},
      {&SgiFields::width, 0, SgiStatus::kBadSize},
      {&SgiFields::channels, 0, SgiStatus::kBadSize}};
  // clang-format on
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& [field, value, status] = cases[i];
    SgiFields fields{.width = 2, .height = 2, .channels = 1};
    fields.*field = value;
    Bytes file = testing::sgiHeader(fields);
    file.resize(file.size() + 64, 1);
    const Decoded decoded = decode(file);
    EXPECT_EQ(std::tuple(decoded.status, decoded.image.pixels.get()), std::tuple(status, nullptr))
        << "case " << i;
  }
}

// Sizes and run-length tables are checked against the file before anything is allocated.
TEST(SgiDecoder, WhatLiesBeyondTheFileIsRefused) {
  SgiFields fields{.width = 4000, .height = 4000, .channels = 4};
  for (const unsigned storage : {0u, 1u}) {
    fields.storage = storage;
    Bytes file = testing::sgiHeader(fields);
    file.resize(file.size() + 100, 1);
    const auto requests = allocationRequests();
    EXPECT_EQ(decode(file).status, SgiStatus::kTruncated) << "storage " << storage;
    EXPECT_EQ(allocationRequests(), requests) << "storage " << storage;
  }
  const Bytes good = testing::sgiRunLength(firstChannels(1));
  const auto size = static_cast<std::uint32_t>(good.size());
  constexpr std::size_t kFirstOffset = 512;
  constexpr std::size_t kFirstLength = 512 + 2 * 4;
  // A row that starts beyond the file; one whose length, added to its start, wraps around.
  const std::pair<std::size_t, std::uint32_t> tables[] = {{kFirstOffset, size + 1},
                                                          {kFirstLength, 0xFFFFFFFFu}};
  for (const auto& [field, value] : tables) {
    Bytes file = good;
    testing::putBigEndian32(file, field, value);
    EXPECT_EQ(decode(file).status, SgiStatus::kBadRleTable) << field << " = " << value;
  }
}

TEST(SgiDecoder, RunsAreCheckedAgainstTheRowLength) {
  // Rows of a 4-pixel grey image, one row tall.
  struct Case {
    const char* name;
    Bytes row;
    SgiStatus status;
  };
  const Case cases[] = {
      {"repeat and literal", {0x02, 7, 0x82, 8, 9, 0x00}, SgiStatus::kOk},
      {"full row without the closing 0", {0x04, 7}, SgiStatus::kOk},
      {"bytes after the closing 0 are ignored", {0x04, 7, 0x00, 0x05, 1}, SgiStatus::kOk},
      {"repeat past the row end", {0x05, 7, 0x00}, SgiStatus::kBadRleRow},
      {"literal past the row end", {0x85, 1, 2, 3, 4, 5, 0x00}, SgiStatus::kBadRleRow},
      {"literal bytes beyond the row's length", {0x84, 1, 2}, SgiStatus::kBadRleRow},
      {"repeat without its value", {0x03, 7, 0x01}, SgiStatus::kBadRleRow},
      {"row ends before it is full", {0x03, 7, 0x00}, SgiStatus::kBadRleRow},
  };
  const SgiFields fields{.width = 4, .height = 1};
  for (const Case& c : cases) {
    const Decoded decoded = decode(testing::sgiFromRows(fields, {c.row}));
    EXPECT_EQ(decoded.status, c.status) << c.name;
  }
  const Decoded decoded = decode(testing::sgiFromRows(fields, {cases[0].row}));
  ASSERT_EQ(decoded.status, SgiStatus::kOk);
  EXPECT_EQ(Bytes(decoded.image.pixels.get(), decoded.image.pixels.get() + 4), (Bytes{7, 7, 8, 9}));
  // A bad row after a good one frees the block.
  const auto live = liveAllocations();
  const Decoded bad =
      decode(testing::sgiFromRows({.width = 2, .height = 2}, {{0x02, 1, 0x00}, {0x01, 1, 0x00}}));
  EXPECT_EQ(std::tuple(bad.status, bad.image.pixels.get(), liveAllocations()),
            std::tuple(SgiStatus::kBadRleRow, nullptr, live));
}

}  // namespace
}  // namespace sxhost::image
