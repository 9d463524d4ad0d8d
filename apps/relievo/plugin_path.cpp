#include "plugin_path.h"

#include <system_error>

namespace relievo::cli {

namespace fs = std::filesystem;

std::vector<fs::path> pluginCandidates(const std::string& envPath, const fs::path& programDir,
                                       const std::string& libDir) {
  std::vector<fs::path> out;
  if (!envPath.empty()) {
    std::error_code ec;
    const fs::path p(envPath);
    out.push_back(fs::is_directory(p, ec) ? p / kPluginFileName : p);
  }
  out.push_back(programDir / kPluginFileName);
  out.push_back(programDir / ".." / "plugins" / kPluginFileName);
  out.push_back(programDir / ".." / "lib" / "relievo" / kPluginFileName);
  if (!libDir.empty() && libDir != "lib") {
    out.push_back(programDir / ".." / libDir / "relievo" / kPluginFileName);
  }
  return out;
}

std::optional<fs::path> findPlugin(const std::vector<fs::path>& candidates) {
  for (const fs::path& p : candidates) {
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) return p.lexically_normal();
  }
  return std::nullopt;
}

fs::path programDirectory() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : exe.parent_path();
}

}  // namespace relievo::cli
