// Whole files as the host reads them (resource and preferences files): the bytes, or the
// system's reason they cannot be read.
#ifndef SXHOST_SRC_WHOLE_FILE_H
#define SXHOST_SRC_WHOLE_FILE_H

#include <string>

namespace sxhost::detail {

struct WholeFile {
  std::string bytes;
  int error = 0;  // errno of the open or read that failed; 0 when the file was read whole
};

WholeFile readWholeFile(const std::string& path);

// "<path>: cannot be read: <the system's reason>".
std::string cannotBeRead(const std::string& path, int error);

}  // namespace sxhost::detail

#endif  // SXHOST_SRC_WHOLE_FILE_H
