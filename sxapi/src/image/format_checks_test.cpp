#include "format_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "relievo_testing/scratch_dir.h"
#include "test_images.h"
#include "test_sgi_writer.h"

namespace sxhost::image::testing {
namespace {

class FormatChecks : public ::testing::Test {
 protected:
  ImageFile open(const std::string& name, const Bytes& bytes) const {
    auto file = ImageFile::open(dir_.write(name, bytes).c_str());
    EXPECT_TRUE(file.has_value()) << name;
    return std::move(*file);
  }

  relievo::testing::ScratchDir dir_;
};

TEST_F(FormatChecks, PngChunksMustAllEndInsideTheFile) {
  const Bytes png = encodePng(4, 3, 3, Bytes(4 * 3 * 3, 9));
  EXPECT_TRUE(pngChunksComplete(open("whole.png", png)));

  Bytes trailing = png;
  trailing.insert(trailing.end(), {1, 2, 3});
  EXPECT_TRUE(pngChunksComplete(open("trailing.png", trailing)));

  for (std::size_t size = 0; size < png.size(); ++size) {
    EXPECT_FALSE(pngChunksComplete(open("cut.png", Bytes(png.begin(), png.begin() + size))))
        << "cut at " << size;
  }

  Bytes longChunk = png;
  constexpr std::size_t kFirstChunkLength = 8;
  putBigEndian32(longChunk, kFirstChunkLength, 0xFFFFFFF0u);
  EXPECT_FALSE(pngChunksComplete(open("long.png", longChunk)));
}

TEST_F(FormatChecks, JpegHuffmanTablesAreCheckedInThePartStbReads) {
  const Bytes jpeg = encodeJpeg(8, 8, 3, Bytes(8 * 8 * 3, 50), 90);
  Bytes beforeFrame = jpeg;
  const Bytes oversized = oversizedHuffmanSegment();
  beforeFrame.insert(beforeFrame.begin() + 2, oversized.begin(), oversized.end());
  // A segment whose length ends inside its table: stb would read the table's codes from
  // whatever follows.
  Bytes shortSegment = jpeg;
  const Bytes shortTable{0xFF, 0xC4, 0x00, 0x05, 0x00, 1, 0, 0, 0, 0, 0,
                         0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 7};
  shortSegment.insert(shortSegment.begin() + 2, shortTable.begin(), shortTable.end());

  // Without its table segment the scan would decode with tables nobody defined.
  Bytes noTables = jpeg;
  constexpr unsigned char kTableMarker[] = {0xFF, 0xC4};
  const auto tables = std::search(noTables.begin(), noTables.end(), std::begin(kTableMarker),
                                  std::end(kTableMarker));
  ASSERT_NE(tables, noTables.end());
  noTables.erase(tables, tables + 2 + (tables[2] << 8 | tables[3]));

  struct Case {
    const char* name;
    Bytes file;
    bool header;
    bool whole;
  };
  const Case cases[] = {
      {"as written", jpeg, true, true},
      // stb's writer puts its tables after the frame header.
      {"oversized table after the frame", withOversizedHuffmanTable(jpeg), true, false},
      {"oversized table before the frame", beforeFrame, false, false},
      {"table longer than its segment", shortSegment, false, false},
      {"scan without tables", noTables, true, false},
  };
  for (const Case& c : cases) {
    const ImageFile file = open("tables.jpg", c.file);
    EXPECT_EQ(jpegHuffmanTablesFit(file, JpegPart::kHeader), c.header) << c.name;
    EXPECT_EQ(jpegHuffmanTablesFit(file, JpegPart::kWholeFile), c.whole) << c.name;
  }
}

}  // namespace
}  // namespace sxhost::image::testing
