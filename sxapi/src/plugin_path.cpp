#include "sxhost/plugin_path.h"

#include <cstdlib>
#include <system_error>

#include "sxhost/error.h"

namespace sxhost {

namespace fs = std::filesystem;

std::vector<fs::path> pluginCandidates(const std::string& fileName, const std::string& userPath,
                                       const fs::path& programDir, const std::string& libDir) {
  std::vector<fs::path> out;
  if (!userPath.empty()) {
    std::error_code ec;
    const fs::path p(userPath);
    out.push_back(fs::is_directory(p, ec) ? p / fileName : p);
  }
  const std::string stem = fs::path(fileName).stem().string();
  out.push_back(programDir / fileName);
  out.push_back(programDir / ".." / "plugins" / fileName);
  out.push_back(programDir / ".." / "lib" / stem / fileName);
  if (!libDir.empty() && libDir != "lib") {
    out.push_back(programDir / ".." / libDir / stem / fileName);
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

fs::path locatePlugin(const std::string& fileName, const char* envVariable,
                      const std::string& libDir) {
  const char* userPath = std::getenv(envVariable);
  const auto candidates =
      pluginCandidates(fileName, userPath != nullptr ? userPath : "", programDirectory(), libDir);
  if (auto found = findPlugin(candidates)) return *found;
  std::string looked;
  for (const auto& c : candidates)
    looked += "\n  " + c.lexically_normal().string();
  throw Error("cannot find " + fileName + " (set " + envVariable + "); looked at:" + looked);
}

}  // namespace sxhost
