// Per-tool preferences: typed values (integer, float, double, text) under a tool's name and
// a key, held in memory and optionally in a JSON file.
//
// The file keeps the four types apart, so a value reads back as it was stored:
//   { "version": 1,
//     "tools": { "Relievo": { "Width": {"integer": 256}, "LatStart": {"float": 1.5},
//                             "Fractal Noise": {"double": 0.25},
//                             "FileName": {"text": "/data/grid.txt"} } } }
// Floats and doubles that are not finite are stored as the texts "inf", "-inf" and "nan".
// Saving writes a temporary file in the same folder, flushes it to the disk and renames it
// over the old one, so the file is always either the old or the new whole.
#ifndef SXHOST_PREFERENCES_H
#define SXHOST_PREFERENCES_H

#include <map>
#include <optional>
#include <string>
#include <variant>

namespace sxhost {

using PrefValue = std::variant<int, float, double, std::string>;

class [[gnu::visibility("default")]] Preferences {
 public:
  using ToolPrefs = std::map<std::string, PrefValue, std::less<>>;

  std::optional<PrefValue> get(const std::string& tool, const std::string& key) const;
  void set(const std::string& tool, const std::string& key, PrefValue value);
  void clear() {
    tools_.clear();
  }
  const std::map<std::string, ToolPrefs, std::less<>>& tools() const {
    return tools_;
  }

  // The typed reads of the host API: a number converts to the number type asked for
  // (integers truncate toward zero); a text asked for as a number, a number asked for as
  // a text, or a number that the type cannot hold (NaN or beyond the range of int or
  // float) is not held.
  std::optional<int> getInteger(const std::string& tool, const std::string& key) const;
  std::optional<float> getFloat(const std::string& tool, const std::string& key) const;
  std::optional<double> getDouble(const std::string& tool, const std::string& key) const;
  std::optional<std::string> getText(const std::string& tool, const std::string& key) const;

  // JSON of the file format above, and back. fromJson throws sxhost::Error saying what is
  // wrong when the text is not JSON or not of that shape.
  std::string toJson() const;
  static Preferences fromJson(const std::string& json);

 private:
  std::map<std::string, ToolPrefs, std::less<>> tools_;
};

// Writes `content` to `path` atomically (temporary file beside it, flush, sync, rename); a
// file replaced keeps its permissions, a new one gets 0666 less the umask. Throws sxhost::Error naming the path and the system's
// reason when it cannot: "<path>: cannot be written: <reason>".
[[gnu::visibility("default")]] void writeFileAtomically(const std::string& path,
                                                        const std::string& content);

}  // namespace sxhost

#endif  // SXHOST_PREFERENCES_H
