// Files and encoded images for the tests: a temporary folder, and stb_image_write's encoders
// writing into memory. Pixels are given top row first, as stb writes them.
#ifndef SXAPI_IMAGE_TEST_IMAGES_H
#define SXAPI_IMAGE_TEST_IMAGES_H

#include <filesystem>
#include <string>
#include <vector>

namespace sxhost::image::testing {

using Bytes = std::vector<unsigned char>;

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::string path(const std::string& name) const;
  // Writes the file (replacing it) and returns its path.
  std::string write(const std::string& name, const Bytes& bytes) const;

 private:
  std::filesystem::path root_;
};

Bytes readFile(const std::string& path);

enum class TgaStorage { kRaw, kRunLength };

Bytes encodePng(int width, int height, int channels, const Bytes& topFirst);
Bytes encodeBmp(int width, int height, int channels, const Bytes& topFirst);
Bytes encodeTga(int width, int height, int channels, const Bytes& topFirst, TgaStorage storage);
Bytes encodeJpeg(int width, int height, int channels, const Bytes& topFirst, int quality);

// A Huffman table segment (marker, length, class, 16 code counts) whose counts add up to
// more than 256 codes.
Bytes oversizedHuffmanSegment();

// The JPEG with the code counts of its first Huffman table raised beyond 256 codes.
Bytes withOversizedHuffmanTable(Bytes jpeg);

}  // namespace sxhost::image::testing

#endif  // SXAPI_IMAGE_TEST_IMAGES_H
