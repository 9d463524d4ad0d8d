#include "test_sgi_writer.h"

namespace sxhost::image::testing {

namespace {

constexpr std::size_t kHeaderSize = 512;
constexpr int kMaxRun = 127;
constexpr int kShortestRepeat = 3;

void putBigEndian16(std::vector<unsigned char>& bytes, std::size_t at, unsigned value) {
  bytes[at] = static_cast<unsigned char>(value >> 8);
  bytes[at + 1] = static_cast<unsigned char>(value);
}

int repeatLength(const unsigned char* row, int from, int width) {
  int length = 1;
  while (from + length < width && length < kMaxRun && row[from + length] == row[from])
    ++length;
  return length;
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

namespace {

SgiFields fieldsOf(const SgiPicture& picture, unsigned storage) {
  SgiFields fields;
  fields.storage = storage;
  fields.width = static_cast<unsigned>(picture.width);
  fields.height = static_cast<unsigned>(picture.height);
  fields.channels = static_cast<unsigned>(picture.channels);
  return fields;
}

// One row encoded as SGI's tools do: repeats of three or more, literal runs between them.
std::vector<unsigned char> encodeRunLengthRow(const unsigned char* row, int width) {
  std::vector<unsigned char> out;
  int x = 0;
  while (x < width) {
    const int repeat = repeatLength(row, x, width);
    if (repeat >= kShortestRepeat) {
      out.push_back(static_cast<unsigned char>(repeat));
      out.push_back(row[x]);
      x += repeat;
      continue;
    }
    int literal = 0;
    while (x + literal < width && literal < kMaxRun &&
           repeatLength(row, x + literal, width) < kShortestRepeat) {
      ++literal;
    }
    out.push_back(static_cast<unsigned char>(0x80 | literal));
    out.insert(out.end(), row + x, row + x + literal);
    x += literal;
  }
  out.push_back(0);
  return out;
}

}  // namespace

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
    rows.push_back(encodeRunLengthRow(
        picture.planes.data() + static_cast<std::size_t>(index) * picture.width, picture.width));
  }
  return sgiFromRows(fieldsOf(picture, 1), rows);
}

}  // namespace sxhost::image::testing
