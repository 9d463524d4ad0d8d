// Where `relievo` finds the plug-in module relievo.so (its resource file lies beside it).
//
// In this order: RELIEVO_PLUGIN_PATH (the module itself or the folder that holds it); beside
// the program; the build tree's plugins/ folder (../plugins/ from bin/); ../lib/relievo/ and
// ../<libdir>/relievo/ of an installed tree. The first candidate that is a regular file wins.
#ifndef RELIEVO_APPS_PLUGIN_PATH_H
#define RELIEVO_APPS_PLUGIN_PATH_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace relievo::cli {

inline constexpr char kPluginFileName[] = "relievo.so";

// The places looked at, in order. envPath is RELIEVO_PLUGIN_PATH ("" when unset);
// programDir the folder of the running program; libDir the install's library folder
// relative to its prefix (for example "lib" or "lib/x86_64-linux-gnu").
std::vector<std::filesystem::path> pluginCandidates(const std::string& envPath,
                                                    const std::filesystem::path& programDir,
                                                    const std::string& libDir);

// The first candidate that exists as a regular file.
std::optional<std::filesystem::path> findPlugin(
    const std::vector<std::filesystem::path>& candidates);

// The folder of the running program (from /proc/self/exe).
std::filesystem::path programDirectory();

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_PLUGIN_PATH_H
