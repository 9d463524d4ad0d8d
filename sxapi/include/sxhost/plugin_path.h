// Where a front end finds a plug-in module (its resource file lies beside it).
//
// For a module file name such as "relievo.so", in this order: a path given by the user (the
// module itself or the folder that holds it); beside the program; the build tree's plugins/
// folder (../plugins/ from bin/); ../lib/<stem>/ and ../<libdir>/<stem>/ of an installed
// tree, <stem> being the file name without its extension. The first candidate that is a
// regular file wins.
#ifndef SXHOST_PLUGIN_PATH_H
#define SXHOST_PLUGIN_PATH_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sxhost {

// The places looked at, in order. userPath is "" when the user gave none; programDir the
// folder of the running program; libDir the install's library folder relative to its prefix
// (for example "lib" or "lib/x86_64-linux-gnu").
[[gnu::visibility("default")]] std::vector<std::filesystem::path> pluginCandidates(
    const std::string& fileName, const std::string& userPath,
    const std::filesystem::path& programDir, const std::string& libDir);

// The first candidate that exists as a regular file.
[[gnu::visibility("default")]] std::optional<std::filesystem::path> findPlugin(
    const std::vector<std::filesystem::path>& candidates);

// The folder of the running program (from /proc/self/exe).
[[gnu::visibility("default")]] std::filesystem::path programDirectory();

// The module for the running program, the user's path being the value of the environment
// variable envVariable. Throws sxhost::Error when there is none:
//   cannot find relievo.so (set RELIEVO_PLUGIN_PATH); looked at:
//     <each candidate on a line of its own>
[[gnu::visibility("default")]] std::filesystem::path locatePlugin(const std::string& fileName,
                                                                  const char* envVariable,
                                                                  const std::string& libDir);

}  // namespace sxhost

#endif  // SXHOST_PLUGIN_PATH_H
