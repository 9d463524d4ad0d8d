// What the command writes itself besides the files the host writes for it: a DED file passed
// on to standard output. Every write and flush is checked; a failure is a RunError
// "<file>: cannot be written: <the system's reason>".
#ifndef RELIEVO_APPS_FILE_OUTPUT_H
#define RELIEVO_APPS_FILE_OUTPUT_H

#include <cstdio>
#include <string>
#include <string_view>

namespace relievo::cli {

// Copies the file at `path` to `out`, flushed; `outName` names `out` in messages. A reader that
// went away is a failure too ("Broken pipe"), not a signal that ends the command.
void copyFileTo(const std::string& path, std::FILE* out, std::string_view outName);

// A folder of the command's own under the system's temporary folder ($TMPDIR, else /tmp),
// removed with everything in it when the object goes.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // The path of `name` inside the folder.
  std::string path(std::string_view name) const;

 private:
  std::string folder_;
};

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_FILE_OUTPUT_H
