#include "sxhost/preferences.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <utility>

#include "sxhost/error.h"

namespace sxhost {
namespace {

using nlohmann::json;

constexpr int kFileVersion = 1;
constexpr auto kIntMax = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
constexpr mode_t kNewFileMode = 0666;

// What the process's umask leaves of kNewFileMode; umask can only be read by setting it.
mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return kNewFileMode & ~mask;
}

json number(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  return v;
}

double readNumber(const json& v, const std::string& where) {
  if (v.is_number()) return v.get<double>();
  if (v.is_string()) {
    const auto s = v.get<std::string>();
    if (s == "nan") return std::numeric_limits<double>::quiet_NaN();
    if (s == "inf") return std::numeric_limits<double>::infinity();
    if (s == "-inf") return -std::numeric_limits<double>::infinity();
  }
  throw Error(where + " is not a number");
}

PrefValue readValue(const json& entry, const std::string& where) {
  if (!entry.is_object() || entry.size() != 1) {
    throw Error(where + " must be an object with one of integer, float, double or text");
  }
  const auto first = entry.begin();
  const std::string type = first.key();
  const json& v = first.value();
  if (type == "integer") {
    if (!v.is_number_integer()) throw Error(where + " is not an integer");
    // Numbers from 0 up are held unsigned; read as signed, 2^64 - 1 would pass as -1.
    const bool inRange = v.is_number_unsigned()
                             ? v.get<std::uint64_t>() <= kIntMax
                             : v.get<std::int64_t>() >= std::numeric_limits<int>::min();
    if (!inRange) throw Error(where + " is out of range");
    return static_cast<int>(v.get<std::int64_t>());
  }
  if (type == "float") return static_cast<float>(readNumber(v, where));
  if (type == "double") return readNumber(v, where);
  if (type == "text") {
    if (!v.is_string()) throw Error(where + " is not a text");
    return v.get<std::string>();
  }
  throw Error(where + " has the unknown type \"" + type + "\"");
}

template <class T>
std::optional<T> toNumber(double v) {
  if (std::isnan(v)) return std::nullopt;
  if constexpr (std::is_same_v<T, int>) {
    const double t = std::trunc(v);
    if (t < std::numeric_limits<int>::min() || t > std::numeric_limits<int>::max()) {
      return std::nullopt;
    }
    return static_cast<int>(t);
  } else if constexpr (std::is_same_v<T, float>) {
    if (std::isfinite(v) && std::fabs(v) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(v);
  } else {
    return v;
  }
}

template <class T>
std::optional<T> number(const std::optional<PrefValue>& value) {
  if (!value) return std::nullopt;
  if (const int* i = std::get_if<int>(&*value)) {
    if constexpr (std::is_same_v<T, int>) return *i;
    return static_cast<T>(*i);
  }
  if (const float* f = std::get_if<float>(&*value)) return toNumber<T>(*f);
  if (const double* d = std::get_if<double>(&*value)) return toNumber<T>(*d);
  return std::nullopt;
}

}  // namespace

std::optional<PrefValue> Preferences::get(const std::string& tool, const std::string& key) const {
  auto t = tools_.find(tool);
  if (t == tools_.end()) return std::nullopt;
  auto k = t->second.find(key);
  if (k == t->second.end()) return std::nullopt;
  return k->second;
}

void Preferences::set(const std::string& tool, const std::string& key, PrefValue value) {
  tools_[tool][key] = std::move(value);
}

std::optional<int> Preferences::getInteger(const std::string& tool, const std::string& key) const {
  return number<int>(get(tool, key));
}

std::optional<float> Preferences::getFloat(const std::string& tool, const std::string& key) const {
  return number<float>(get(tool, key));
}

std::optional<double> Preferences::getDouble(const std::string& tool,
                                             const std::string& key) const {
  return number<double>(get(tool, key));
}

std::optional<std::string> Preferences::getText(const std::string& tool,
                                                const std::string& key) const {
  auto v = get(tool, key);
  if (!v) return std::nullopt;
  if (const auto* s = std::get_if<std::string>(&*v)) return *s;
  return std::nullopt;
}

std::string Preferences::toJson() const {
  json tools = json::object();
  for (const auto& [tool, prefs] : tools_) {
    json entries = json::object();
    for (const auto& [key, value] : prefs) {
      if (const int* i = std::get_if<int>(&value)) {
        entries[key] = {{"integer", *i}};
      } else if (const float* f = std::get_if<float>(&value)) {
        entries[key] = {{"float", number(*f)}};
      } else if (const double* d = std::get_if<double>(&value)) {
        entries[key] = {{"double", number(*d)}};
      } else {
        entries[key] = {{"text", std::get<std::string>(value)}};
      }
    }
    tools[tool] = std::move(entries);
  }
  // Texts come from plug-ins and need not be UTF-8: replace what is not, never throw.
  return json{{"version", kFileVersion}, {"tools", tools}}.dump(2, ' ', false,
                                                                json::error_handler_t::replace) +
         "\n";
}

Preferences Preferences::fromJson(const std::string& text) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::exception&) {  // a syntax error, or a number beyond a double's range
    throw Error("not valid JSON");
  }
  if (!root.is_object()) throw Error("not a JSON object");
  auto version = root.find("version");
  if (version == root.end() || !version->is_number_integer() ||
      version->get<std::int64_t>() != kFileVersion) {
    throw Error("\"version\" is not 1");
  }
  auto tools = root.find("tools");
  if (tools == root.end() || !tools->is_object()) throw Error("\"tools\" is not an object");
  Preferences prefs;
  for (auto t = tools->begin(); t != tools->end(); ++t) {
    const std::string tool = t.key();
    if (!t->is_object()) throw Error("tool \"" + tool + "\" is not an object");
    for (auto k = t->begin(); k != t->end(); ++k) {
      const std::string key = k.key();
      prefs.set(tool, key, readValue(k.value(), "\"" + tool + "\" / \"" + key + "\""));
    }
  }
  return prefs;
}

void writeFileAtomically(const std::string& path, const std::string& content) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::string name = ".";
  name += target.filename().string();
  name += ".XXXXXX";
  std::string temp = (folder / name).string();
  const auto fail = [&path] {
    throw Error(path + ": cannot be written: " + std::strerror(errno != 0 ? errno : EIO));
  };
  // Owns the temporary file until it has taken the target's name.
  struct Temporary {
    std::string path;
    int fd = -1;
    bool renamed = false;
    ~Temporary() {
      if (fd >= 0) ::close(fd);
      if (!renamed) std::remove(path.c_str());
    }
  } file{temp, mkstemp(temp.data())};
  file.path = temp;
  if (file.fd < 0) {
    file.renamed = true;  // nothing was made
    fail();
  }
  // A file replaced keeps its permissions; a new one gets what the umask leaves of 0666, as
  // any file the process creates (mkstemp would leave it 0600).
  struct stat existing {};
  ::fchmod(file.fd,
           ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : newFileMode());
  std::size_t done = 0;
  while (done < content.size()) {
    errno = 0;
    const ssize_t n = ::write(file.fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail();
    done += static_cast<std::size_t>(n);
  }
  const int fd = std::exchange(file.fd, -1);
  if (::fsync(fd) != 0) {
    ::close(fd);
    fail();
  }
  if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) fail();
  file.renamed = true;
}

}  // namespace sxhost
