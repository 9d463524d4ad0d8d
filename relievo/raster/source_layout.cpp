#include "raster/source_layout.h"

#include <algorithm>
#include <cstring>

namespace relievo {

bool sourceTakeFileName(SourceLayout& source, std::string_view name) {
  // A name that does not fit the record's buffer cannot be opened as given either.
  if (name.empty() || name.size() >= kPathSize || name == source.fileName) return false;

  std::memcpy(source.fileName, name.data(), name.size());
  source.fileName[name.size()] = '\0';
  if (const auto slash = name.rfind('/'); slash != std::string_view::npos) {
    std::memcpy(source.sourceDir, name.data(), slash + 1);
    source.sourceDir[slash + 1] = '\0';
  }
  source.fileSize = rasterFileSize(name);
  source.band = 1;

  // Cut at the last '.' anywhere in the path, as the name's users expect of this rule, even
  // when the dot belongs to a directory.
  const std::string_view stem = name.substr(0, std::min(name.rfind('.'), name.size()));
  constexpr std::string_view kDed = ".ded";
  const std::size_t length = std::min(stem.size(), kPathSize - 1 - kDed.size());
  std::memcpy(source.dedFileName, stem.data(), length);
  std::memcpy(source.dedFileName + length, kDed.data(), kDed.size());
  source.dedFileName[length + kDed.size()] = '\0';
  return true;
}

}  // namespace relievo
