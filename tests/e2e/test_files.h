// Files the end-to-end tests of the plug-in and of the command make and read back: grids,
// pictures, and DED files read with nothing but their format (big-endian, a
// 200-byte preamble, then one record of posts per terrain column from west to east, each
// from south to north).
#ifndef RELIEVO_TESTS_E2E_TEST_FILES_H
#define RELIEVO_TESTS_E2E_TEST_FILES_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "relievo_testing/files.h"
#include "relievo_testing/scratch_dir.h"
#include "test_sgi_writer.h"

namespace relievo::e2e {

using relievo::testing::readFile;
using relievo::testing::ScratchDir;
using relievo::testing::writeFile;
using sxhost::image::testing::sgiVerbatim;  // a verbatim SGI file, as the host's decoder reads them

// One byte per value, and 16-bit values in either byte order.
std::string bytesOf(const std::vector<int>& values);
std::string int16Bytes(const std::vector<int>& values, bool bigEndian);

struct DedFile {
  std::string bytes;

  // Throws std::runtime_error for a file shorter than the preamble.
  static DedFile read(const std::string& path);
  std::int32_t int32At(std::size_t offset) const;
  std::int16_t int16At(std::size_t offset) const;
  // The range record's lowest and highest elevation.
  std::pair<int, int> range() const { return {int16At(132), int16At(134)}; }
  // Extents value i in file order: SW lat, NE lat, SW lon, NE lon, lat and lon spacing,
  // posts per record, records, lon feet, lat feet.
  float extent(int i) const;
  // Every post, record after record.
  std::vector<std::int16_t> posts() const;
};

// The file without its creation time, which is all that may differ between two conversions
// of the same settings.
std::string withoutCreationTime(std::string bytes);

// What a DED file's records hold besides the posts.
struct DedRecords {
  std::pair<int, int> range;
  std::array<float, 4> corners;  // SW lat, NE lat, SW lon, NE lon
  float latSpacing, lonSpacing;  // tenths of an arc-second
  int postsPerRecord, records;
};

// Checks the range record, the extents record up to the counts, and a length that fits the
// counts. The header and the feet are the DED writer's unit tests' case.
void expectDed(const DedFile& ded, const DedRecords& records);

}  // namespace relievo::e2e

#endif  // RELIEVO_TESTS_E2E_TEST_FILES_H
