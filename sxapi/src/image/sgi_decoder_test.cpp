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

enum class Storage { kVerbatim, kRunLength };

Bytes encode(const SgiPicture& picture, Storage storage) {
  return storage == Storage::kVerbatim ? testing::sgiVerbatim(picture)
                                       : testing::sgiRunLength(picture);
}

// A 3 x 2 picture of four channels as SGI stores it (channel after channel, each bottom row
// first), with repeats and changes so that run-length rows hold both kinds of run.
const Bytes kPlanes{7,  7,  7,  1,  2,  3,  8,  8,  9,  4,  4,  4,
                    10, 11, 12, 13, 13, 14, 20, 20, 20, 21, 22, 23};
// Its four channels interleaved pixel by pixel, as the host keeps RGBA.
const Bytes kInterleaved{7, 8, 10, 20, 7, 8, 11, 20, 7, 9, 12, 20,
                         1, 4, 13, 21, 2, 4, 13, 22, 3, 4, 14, 23};

SgiPicture firstChannels(int channels) {
  return {3, 2, channels, Bytes(kPlanes.begin(), kPlanes.begin() + 6 * channels)};
}

SgiFields sized(unsigned width, unsigned height, unsigned channels) {
  SgiFields fields;
  fields.width = width;
  fields.height = height;
  fields.channels = channels;
  return fields;
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

// Kinds of one to three channels keep SGI's planes as they are.
TEST(SgiDecoder, DecodesEveryPixelIntoTheLayoutOfItsKind) {
  const int kinds[] = {SX_IMAGE_INTENSITY, SX_IMAGE_INTENSITY_ALPHA, SX_IMAGE_RGB, SX_IMAGE_RGBA};
  for (int channels = 1; channels <= 4; ++channels) {
    const SgiPicture picture = firstChannels(channels);
    const Bytes& expected = channels == 4 ? kInterleaved : picture.planes;
    for (const Storage storage : {Storage::kVerbatim, Storage::kRunLength}) {
      const std::string name = std::to_string(channels) + " channels, " +
                               (storage == Storage::kVerbatim ? "verbatim" : "run-length");
      const Decoded decoded = decode(encode(picture, storage));
      ASSERT_EQ(decoded.status, SgiStatus::kOk) << name;
      const auto& header = decoded.image.header;
      EXPECT_EQ(std::tuple(header.kind, header.width, header.height),
                std::tuple(kinds[channels - 1], 3, 2))
          << name;
      const unsigned char* block = decoded.image.pixels.get();
      ASSERT_NE(block, nullptr) << name;
      EXPECT_EQ(Bytes(block, block + expected.size()), expected) << name;
    }
  }
}

TEST(SgiDecoder, LongRowsUseRunsOfAtMost127) {
  SgiPicture picture{300, 1, 1, {}};
  for (int x = 0; x < 300; ++x)
    picture.planes.push_back(x < 200 ? 5 : static_cast<unsigned char>(x));
  const Decoded decoded = decode(testing::sgiRunLength(picture));
  ASSERT_EQ(decoded.status, SgiStatus::kOk);
  EXPECT_EQ(Bytes(decoded.image.pixels.get(), decoded.image.pixels.get() + 300), picture.planes);
}

TEST(SgiDecoder, DimensionFieldLimitsRowsAndChannels) {
  // Dimension 1 is one row of one channel and dimension 2 one channel, whatever the other
  // size fields say.
  struct Case {
    unsigned dimension;
    int height;
    int kind;
  };
  for (const Case& c :
       {Case{1, 1, SX_IMAGE_INTENSITY}, Case{2, 2, SX_IMAGE_INTENSITY}, Case{3, 2, SX_IMAGE_RGB}}) {
    SgiFields fields = sized(2, 2, 3);
    fields.dimension = c.dimension;
    Bytes file = testing::sgiHeader(fields);
    file.resize(file.size() + 12, 9);
    const Decoded decoded = decode(file);
    EXPECT_EQ(std::tuple(decoded.status, decoded.image.header.height, decoded.image.header.kind),
              std::tuple(SgiStatus::kOk, c.height, c.kind))
        << "dimension " << c.dimension;
  }
}

TEST(SgiDecoder, HeaderFieldsOutsideWhatTheHostReadsAreRefused) {
  struct Case {
    const char* name;
    SgiFields fields;
    SgiStatus status;
  };
  const auto with = [](auto change) {
    SgiFields fields = sized(2, 2, 1);
    change(fields);
    return fields;
  };
  const Case cases[] = {
      {"wrong magic", with([](SgiFields& f) { f.magic = 475; }), SgiStatus::kNotSgi},
      {"2-byte channels", with([](SgiFields& f) { f.bytesPerChannel = 2; }),
       SgiStatus::kUnsupported},
      {"0-byte channels", with([](SgiFields& f) { f.bytesPerChannel = 0; }),
       SgiStatus::kUnsupported},
      {"five channels", with([](SgiFields& f) { f.channels = 5; }), SgiStatus::kUnsupported},
      {"unknown storage", with([](SgiFields& f) { f.storage = 2; }), SgiStatus::kUnsupported},
      {"colour map file", with([](SgiFields& f) { f.colorMap = 3; }), SgiStatus::kUnsupported},
      {"dimension 0", with([](SgiFields& f) { f.dimension = 0; }), SgiStatus::kUnsupported},
      {"dimension 4", with([](SgiFields& f) { f.dimension = 4; }), SgiStatus::kUnsupported},
      {"zero width", with([](SgiFields& f) { f.width = 0; }), SgiStatus::kBadSize},
      {"zero height", with([](SgiFields& f) { f.height = 0; }), SgiStatus::kBadSize},
      {"zero channels", with([](SgiFields& f) { f.channels = 0; }), SgiStatus::kBadSize},
  };
  for (const Case& c : cases) {
    Bytes file = testing::sgiHeader(c.fields);
    file.resize(file.size() + 64, 1);
    SgiHeader header;
    EXPECT_EQ(sgiReadHeader(file, header), c.status) << c.name;
    const Decoded decoded = decode(file);
    EXPECT_EQ(decoded.status, c.status) << c.name;
    EXPECT_EQ(decoded.image.pixels, nullptr) << c.name;
  }
}

TEST(SgiDecoder, LargeImageOnATinyFileIsTruncatedBeforeAnythingIsAllocated) {
  SgiFields fields = sized(4000, 4000, 4);
  for (const unsigned storage : {0u, 1u}) {
    fields.storage = storage;
    Bytes file = testing::sgiHeader(fields);
    file.resize(file.size() + 100, 1);
    const auto requests = allocationRequests();
    EXPECT_EQ(decode(file).status, SgiStatus::kTruncated) << "storage " << storage;
    EXPECT_EQ(allocationRequests(), requests) << "storage " << storage;
  }
}

TEST(SgiDecoder, RunLengthTablesPointingOutsideTheFileAreRefused) {
  const SgiPicture picture = firstChannels(1);
  const Bytes good = testing::sgiRunLength(picture);
  const auto size = static_cast<std::uint32_t>(good.size());
  constexpr std::size_t kFirstOffset = 512;
  constexpr std::size_t kFirstLength = 512 + 2 * 4;
  struct Case {
    const char* name;
    std::size_t field;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"offset past the end", kFirstOffset, size + 1},
      {"offset at the largest value", kFirstOffset, 0xFFFFFFFFu},
      {"length past the end", kFirstLength, size},
      {"length at the largest value", kFirstLength, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    testing::putBigEndian32(file, c.field, c.value);
    EXPECT_EQ(decode(file).status, SgiStatus::kBadRleTable) << c.name;
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
      {"second run past the row end", {0x03, 7, 0x82, 1, 2, 0x00}, SgiStatus::kBadRleRow},
      {"literal bytes beyond the row's length", {0x84, 1, 2}, SgiStatus::kBadRleRow},
      {"repeat without its value", {0x03, 7, 0x01}, SgiStatus::kBadRleRow},
      {"row ends before it is full", {0x03, 7, 0x00}, SgiStatus::kBadRleRow},
      {"empty row", {}, SgiStatus::kBadRleRow},
  };
  const SgiFields fields = sized(4, 1, 1);
  for (const Case& c : cases) {
    const Decoded decoded = decode(testing::sgiFromRows(fields, {c.row}));
    EXPECT_EQ(decoded.status, c.status) << c.name;
  }
  const Decoded decoded = decode(testing::sgiFromRows(fields, {cases[0].row}));
  ASSERT_EQ(decoded.status, SgiStatus::kOk);
  EXPECT_EQ(Bytes(decoded.image.pixels.get(), decoded.image.pixels.get() + 4), (Bytes{7, 7, 8, 9}));
}

TEST(SgiDecoder, BadRowLaterInTheImageFreesTheBlock) {
  const auto live = liveAllocations();
  const Decoded decoded =
      decode(testing::sgiFromRows(sized(2, 2, 1), {{0x02, 1, 0x00}, {0x01, 1, 0x00}}));
  EXPECT_EQ(decoded.status, SgiStatus::kBadRleRow);
  EXPECT_EQ(decoded.image.pixels, nullptr);
  EXPECT_EQ(liveAllocations(), live);
}

}  // namespace
}  // namespace sxhost::image
