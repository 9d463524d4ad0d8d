// Checks of the files a run of `relievo` writes, made before any host starts: none of them may
// be a file that another option names (a preview written over the source would lose it), and
// none may be a fifo or a device, where opening it could block for ever.
#ifndef RELIEVO_APPS_OUTPUT_PATHS_H
#define RELIEVO_APPS_OUTPUT_PATHS_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relievo::cli {

struct NamedPath {
  const char* option;
  std::optional<std::string> path;
  bool written;
};

// "-" and "/dev/stdout": the output goes to standard output.
bool namesStandardOutput(std::string_view path);

// The path made absolute, with "." and ".." and symbolic links resolved as far as the path
// exists; the path itself when that cannot be done.
std::string absolutePath(const std::string& path);

// UsageError when a written path is the same file as another named path; RunError when a
// written path exists and is neither a regular file nor a folder. The source file and the DED
// output are not compared with each other: the dialog itself refuses that pair.
void checkOutputPaths(const std::vector<NamedPath>& paths);

// RunError when the source file does not exist or is not a regular file: a file prompt lists
// existing files only, and a fifo or a device could block or never end.
void checkSourceFile(const std::string& path);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_OUTPUT_PATHS_H
