#include "settings_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "errors.h"
#include "sxhost/error.h"

namespace relievo::cli {

namespace fs = std::filesystem;

sxhost::Preferences readSettingsFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) throw UsageError("--settings: " + path + " is a folder");
  if (!fs::exists(status)) return {};
  if (!fs::is_regular_file(status)) {
    throw UsageError("--settings: " + path + " is not a regular file");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RunError(path + ": cannot be read: " + std::strerror(errno));
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) throw RunError(path + ": cannot be read: " + std::strerror(errno));
  try {
    return sxhost::Preferences::fromJson(content.str());
  } catch (const sxhost::Error& e) {
    const std::string aside = path + ".corrupt";
    const std::string what = path + " is not a valid settings file (" + e.what() + "); ";
    fs::rename(path, aside, ec);
    if (ec) throw RunError(what + "it could not be set aside: " + ec.message());
    throw RunError(what + "it was set aside as " + aside);
  }
}

void saveSettingsFile(const std::string& path, const sxhost::Preferences& settings) {
  sxhost::writeFileAtomically(path, settings.toJson());
}

}  // namespace relievo::cli
