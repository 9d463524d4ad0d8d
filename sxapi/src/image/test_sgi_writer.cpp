#include "test_sgi_writer.h"

namespace sxhost::image::testing {

namespace {

constexpr std::size_t kHeaderSize = 512;

void putBigEndian16(std::vector<unsigned char>& bytes, std::size_t at, unsigned value) {
  bytes[at] = static_cast<unsigned char>(value >> 8);
  bytes[at + 1] = static_cast<unsigned char>(value);
}

SgiFields fieldsOf(const SgiPicture& picture, unsigned storage) {
  return {.storage = storage,
          .width = static_cast<unsigned>(picture.width),
          .height = static_cast<unsigned>(picture.height),
          .channels = static_cast<unsigned>(picture.channels)};
}

}  // namespace

void putBigEndian32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
  putBigEndian16(bytes, at, value >> 16);
  putBigEndian16(bytes, at + 2, value & 0xFFFF);
}

std::vector<unsigned char> sgiHeader(const SgiFields& fields) {
  std::vector<unsigned char> header(kHeaderSize);
  putBigEndian16(header, 0, fields.magic);
  header[2] = static_cast<unsigned char>(fields.storage);
  header[3] = static_cast<unsigned char>(fields.bytesPerChannel);
  putBigEndian16(header, 4, fields.dimension);
  putBigEndian16(header, 6, fields.width);
  putBigEndian16(header, 8, fields.height);
  putBigEndian16(header, 10, fields.channels);
  putBigEndian32(header, 16, 255);  // largest pixel value
  putBigEndian32(header, 104, fields.colorMap);
  return header;
}

std::vector<unsigned char> sgiVerbatim(const SgiPicture& picture) {
  std::vector<unsigned char> file = sgiHeader(fieldsOf(picture, 0));
  file.insert(file.end(), picture.planes.begin(), picture.planes.end());
  return file;
}

std::vector<unsigned char> sgiFromRows(const SgiFields& fields,
                                       const std::vector<std::vector<unsigned char>>& rows) {
  SgiFields runLength = fields;
  runLength.storage = 1;
  std::vector<unsigned char> file = sgiHeader(runLength);
  const std::size_t tables = file.size();
  file.resize(tables + 8 * rows.size());
  for (std::size_t index = 0; index < rows.size(); ++index) {
    putBigEndian32(file, tables + 4 * index, static_cast<std::uint32_t>(file.size()));
    putBigEndian32(file, tables + 4 * (rows.size() + index),
                   static_cast<std::uint32_t>(rows[index].size()));
    file.insert(file.end(), rows[index].begin(), rows[index].end());
  }
  return file;
}

std::vector<unsigned char> sgiRunLength(const SgiPicture& picture) {
  std::vector<std::vector<unsigned char>> rows;
  for (int index = 0; index < picture.channels * picture.height; ++index) {
    const auto row = picture.planes.begin() + static_cast<std::ptrdiff_t>(index) * picture.width;
    std::vector<unsigned char> runs{1, row[0],
                                    static_cast<unsigned char>(0x80 | (picture.width - 1))};
    runs.insert(runs.end(), row + 1, row + picture.width);
    runs.push_back(0);
    rows.push_back(std::move(runs));
  }
  return sgiFromRows(fieldsOf(picture, 1), rows);
}

}  // namespace sxhost::image::testing
