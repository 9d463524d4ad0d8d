// Whole files and whole streams for tests: writing bytes to a file, reading a file or
// everything a stream holds back. Bytes come as std::string or as a vector of bytes.
#ifndef RELIEVO_TESTING_FILES_H
#define RELIEVO_TESTING_FILES_H

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace relievo::testing {

// Writes `bytes` to the file at `path`, replacing it. Throws std::runtime_error when the
// file cannot be written.
inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

inline void writeFile(const std::filesystem::path& path, std::span<const unsigned char> bytes) {
  writeFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The bytes of the file at `path`; none when it cannot be read (a missing file reads as
// empty). `Bytes` is std::string or a vector of bytes.
template <class Bytes = std::string>
Bytes readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string s = std::move(text).str();
  return Bytes(s.begin(), s.end());
}

// Everything `stream` holds from its start, read through the stream itself after flushing
// it; the stream is left at its end. Throws std::runtime_error when it cannot be read.
template <class Bytes = std::string>
Bytes streamContents(std::FILE* stream) {
  const bool sized = std::fflush(stream) == 0 && std::fseek(stream, 0, SEEK_END) == 0;
  const long size = sized ? std::ftell(stream) : -1;
  Bytes bytes(static_cast<std::size_t>(std::max(size, 0L)), 0);
  if (size < 0 || std::fseek(stream, 0, SEEK_SET) != 0 ||
      std::fread(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
    throw std::runtime_error("cannot read the stream back");
  }
  return bytes;
}

}  // namespace relievo::testing

#endif  // RELIEVO_TESTING_FILES_H
