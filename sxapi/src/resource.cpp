// Parsing of resource files (format in sxhost/resource.h). Every check names where it
// failed, so a person fixing a resource file sees the dialog and control at once.
#include "sxhost/resource.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>

#include "sxhost/error.h"
#include "whole_file.h"

namespace sxhost {
namespace {

using nlohmann::json;

constexpr int kMaxPixmapSide = 256;
// Dialog units and view pixels stay far from int overflow when converted and multiplied.
constexpr int kMaxUnits = 32767;
constexpr int kMaxViewSide = 8192;
constexpr auto kIntMax = static_cast<std::uint64_t>(std::numeric_limits<int>::max());

constexpr std::array<std::pair<std::string_view, ControlKind>, 11> kKinds{{
    {"label", ControlKind::Label},
    {"group", ControlKind::Group},
    {"text", ControlKind::Text},
    {"push", ControlKind::Push},
    {"check", ControlKind::Check},
    {"radio", ControlKind::Radio},
    {"option", ControlKind::Option},
    {"list", ControlKind::List},
    {"scale", ControlKind::Scale},
    {"progress", ControlKind::Progress},
    {"gl", ControlKind::Gl},
}};

// Where in the file a check is: "name: dialog 100, control 3 (id 1087)".
class Where {
 public:
  explicit Where(std::string text) : text_(std::move(text)) {}
  Where within(const std::string& part) const { return Where(text_ + ", " + part); }
  [[noreturn]] void fail(const std::string& what) const { throw Error(text_ + ": " + what); }

 private:
  std::string text_;
};

std::string inQuotes(std::string_view s) {
  std::string out(1, '"');
  out.append(s);
  out.push_back('"');
  return out;
}

const json& required(const json& object, const char* key, const Where& where) {
  auto it = object.find(key);
  if (it == object.end()) where.fail("missing " + inQuotes(key));
  return *it;
}

void onlyKeys(const json& object, std::initializer_list<std::string_view> allowed,
              const Where& where) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (std::find(allowed.begin(), allowed.end(), it.key()) == allowed.end()) {
      where.fail("unknown key " + inQuotes(it.key()));
    }
  }
}

int integer(const json& value, const char* key, const Where& where) {
  if (!value.is_number_integer()) where.fail(inQuotes(key) + " must be an integer");
  // Numbers from 0 up are held unsigned; read as signed, 2^64 - 1 would pass as -1.
  const bool inRange = value.is_number_unsigned()
                           ? value.get<std::uint64_t>() <= kIntMax
                           : value.get<std::int64_t>() >= std::numeric_limits<int>::min();
  if (!inRange) where.fail(inQuotes(key) + " is out of range");
  return static_cast<int>(value.get<std::int64_t>());
}

std::string text(const json& value, const char* key, const Where& where) {
  if (!value.is_string()) where.fail(inQuotes(key) + " must be a text");
  return value.get<std::string>();
}

bool boolean(const json& value, const char* key, const Where& where) {
  if (!value.is_boolean()) where.fail(inQuotes(key) + " must be true or false");
  return value.get<bool>();
}

// An array of two integers, each in least ... most.
std::pair<int, int> pair(const json& value, const char* key, int least, int most,
                         const Where& where) {
  if (!value.is_array() || value.size() != 2 || !value[0].is_number_integer() ||
      !value[1].is_number_integer()) {
    where.fail(inQuotes(key) + " must be two integers");
  }
  const int a = integer(value[0], key, where);
  const int b = integer(value[1], key, where);
  if (a < least || b < least || a > most || b > most) {
    where.fail(inQuotes(key) + " must be " + std::to_string(least) + " ... " +
               std::to_string(most));
  }
  return {a, b};
}

Rect rect(const json& value, const Where& where) {
  if (!value.is_array() || value.size() != 4 ||
      !std::all_of(value.begin(), value.end(),
                   [](const json& v) { return v.is_number_integer(); })) {
    where.fail("\"rect\" must be four integers");
  }
  Rect r{integer(value[0], "rect", where), integer(value[1], "rect", where),
         integer(value[2], "rect", where), integer(value[3], "rect", where)};
  if (r.width < 0 || r.height < 0) where.fail("\"rect\" has a negative size");
  const auto beyond = [](int v) { return v < -kMaxUnits || v > kMaxUnits; };
  if (beyond(r.x) || beyond(r.y) || beyond(r.width) || beyond(r.height)) {
    where.fail("\"rect\" lies beyond 32767 dialog units");
  }
  return r;
}

std::vector<std::string> texts(const json& value, const char* key, const Where& where) {
  if (!value.is_array()) where.fail(inQuotes(key) + " must be an array of texts");
  std::vector<std::string> out;
  for (const auto& item : value) {
    if (!item.is_string()) where.fail(inQuotes(key) + " must be an array of texts");
    out.push_back(item.get<std::string>());
  }
  return out;
}

ControlKind kind(const json& value, const Where& where) {
  const std::string name = text(value, "kind", where);
  for (const auto& [n, k] : kKinds) {
    if (n == name) return k;
  }
  where.fail("unknown kind " + inQuotes(name));
}

ControlTemplate control(const json& value, const Where& where, const std::set<int>& pixmapIds) {
  if (!value.is_object()) where.fail("not an object");
  onlyKeys(value,
           {"id", "kind", "label", "rect", "items", "group", "readOnly", "enabled", "visible",
            "range", "view", "pixmap"},
           where);
  ControlTemplate c;
  c.kind = kind(required(value, "kind", where), where);
  c.rect = rect(required(value, "rect", where), where);
  if (auto it = value.find("id"); it != value.end()) {
    c.id = integer(*it, "id", where);
    if (c.id < -1) where.fail("\"id\" must be -1 or more");
  }
  if (auto it = value.find("label"); it != value.end()) c.label = text(*it, "label", where);
  if (auto it = value.find("enabled"); it != value.end())
    c.enabled = boolean(*it, "enabled", where);
  if (auto it = value.find("visible"); it != value.end())
    c.visible = boolean(*it, "visible", where);

  auto only = [&](const char* key, std::initializer_list<ControlKind> kinds) {
    auto it = value.find(key);
    if (it == value.end()) return it;
    if (std::find(kinds.begin(), kinds.end(), c.kind) == kinds.end()) {
      where.fail(inQuotes(key) + " does not apply to a " + std::string(kindName(c.kind)));
    }
    return it;
  };
  if (auto it = only("items", {ControlKind::Option, ControlKind::List}); it != value.end()) {
    c.items = texts(*it, "items", where);
  }
  if (auto it = only("group", {ControlKind::Radio}); it != value.end()) {
    c.group = text(*it, "group", where);
  }
  if (auto it = only("readOnly", {ControlKind::Text}); it != value.end()) {
    c.readOnly = boolean(*it, "readOnly", where);
  }
  c.rangeMin = 0.0;
  c.rangeMax = c.kind == ControlKind::Progress ? 100.0 : 1.0;
  if (auto it = only("range", {ControlKind::Scale, ControlKind::Progress}); it != value.end()) {
    if (!it->is_array() || it->size() != 2 || !(*it)[0].is_number() || !(*it)[1].is_number()) {
      where.fail("\"range\" must be two numbers");
    }
    c.rangeMin = (*it)[0].get<double>();
    c.rangeMax = (*it)[1].get<double>();
    if (!(c.rangeMin <= c.rangeMax)) where.fail("\"range\" minimum is above its maximum");
  }
  c.viewWidth = unitsToPixelsX(c.rect.width);
  c.viewHeight = unitsToPixelsY(c.rect.height);
  if (auto it = only("view", {ControlKind::Gl}); it != value.end()) {
    std::tie(c.viewWidth, c.viewHeight) = pair(*it, "view", 1, kMaxViewSide, where);
  }
  if (auto it = only("pixmap", {ControlKind::Push, ControlKind::Label}); it != value.end()) {
    c.pixmap = integer(*it, "pixmap", where);
    if (!pixmapIds.contains(*c.pixmap)) {
      where.fail("pixmap " + std::to_string(*c.pixmap) + " is not in the file");
    }
  }
  return c;
}

DialogTemplate dialog(const json& value, const Where& file, std::size_t position,
                      const std::set<int>& pixmapIds) {
  Where where = file.within("dialog at position " + std::to_string(position));
  if (!value.is_object()) where.fail("not an object");
  const int id = integer(required(value, "id", where), "id", where);
  where = file.within("dialog " + std::to_string(id));
  onlyKeys(value, {"id", "caption", "helpContext", "size", "controls"}, where);
  DialogTemplate d;
  d.id = id;
  if (auto it = value.find("caption"); it != value.end()) d.caption = text(*it, "caption", where);
  if (auto it = value.find("helpContext"); it != value.end()) {
    d.helpContext = text(*it, "helpContext", where);
  }
  std::tie(d.width, d.height) = pair(required(value, "size", where), "size", 1, kMaxUnits, where);
  const json& controls = required(value, "controls", where);
  if (!controls.is_array()) where.fail("\"controls\" must be an array");
  std::set<int> ids;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    std::string name = "control " + std::to_string(i + 1);
    if (auto id = controls[i].is_object() ? controls[i].find("id") : controls[i].end();
        controls[i].is_object() && id != controls[i].end() && id->is_number_integer()) {
      name += " (id " + std::to_string(id->get<std::int64_t>()) + ")";
    }
    const Where at = where.within(name);
    ControlTemplate c = control(controls[i], at, pixmapIds);
    if (c.id != -1 && !ids.insert(c.id).second) at.fail("the id is used twice in the dialog");
    d.controls.push_back(std::move(c));
  }
  return d;
}

std::optional<std::array<std::uint8_t, 4>> colour(const std::string& s) {
  if ((s.size() != 7 && s.size() != 9) || s[0] != '#') return std::nullopt;
  std::array<std::uint8_t, 4> c{0, 0, 0, 255};
  for (std::size_t i = 1; i < s.size(); i += 2) {
    unsigned v = 0;
    for (std::size_t j = i; j < i + 2; ++j) {
      const char h = s[j];
      const int d = (h >= '0' && h <= '9')   ? h - '0'
                    : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                    : (h >= 'A' && h <= 'F') ? h - 'A' + 10
                                             : -1;
      if (d < 0) return std::nullopt;
      v = v * 16 + static_cast<unsigned>(d);
    }
    c[(i - 1) / 2] = static_cast<std::uint8_t>(v);
  }
  return c;
}

Pixmap pixmap(const json& value, const Where& file, std::size_t position) {
  Where where = file.within("pixmap at position " + std::to_string(position));
  if (!value.is_object()) where.fail("not an object");
  Pixmap p;
  p.id = integer(required(value, "id", where), "id", where);
  where = file.within("pixmap " + std::to_string(p.id));
  onlyKeys(value, {"id", "palette", "rows"}, where);
  const json& palette = required(value, "palette", where);
  if (!palette.is_object()) where.fail("\"palette\" must be an object");
  std::array<std::optional<std::array<std::uint8_t, 4>>, 256> colours;
  for (auto it = palette.begin(); it != palette.end(); ++it) {
    if (it.key().size() != 1)
      where.fail("palette key " + inQuotes(it.key()) + " is not one character");
    if (!it->is_string()) where.fail("palette colour of " + inQuotes(it.key()) + " must be a text");
    auto c = colour(it->get<std::string>());
    if (!c)
      where.fail("palette colour " + inQuotes(it->get<std::string>()) +
                 " is not #rrggbb or #rrggbbaa");
    colours[static_cast<unsigned char>(it.key()[0])] = c;
  }
  const std::vector<std::string> rows = texts(required(value, "rows", where), "rows", where);
  if (rows.empty() || rows[0].empty()) where.fail("\"rows\" is empty");
  if (rows.size() > kMaxPixmapSide || rows[0].size() > kMaxPixmapSide) {
    where.fail("larger than 256 x 256 pixels");
  }
  p.width = static_cast<int>(rows[0].size());
  p.height = static_cast<int>(rows.size());
  for (std::size_t y = 0; y < rows.size(); ++y) {
    if (rows[y].size() != rows[0].size()) {
      where.fail("row " + std::to_string(y + 1) + " is not as long as the first");
    }
    for (char ch : rows[y]) {
      const auto& c = colours[static_cast<unsigned char>(ch)];
      if (!c)
        where.fail("row " + std::to_string(y + 1) + " uses " + inQuotes(std::string(1, ch)) +
                   ", which the palette lacks");
      p.rgba.insert(p.rgba.end(), c->begin(), c->end());
    }
  }
  return p;
}

std::string position(std::string_view json, std::size_t byte) {
  // nlohmann reports the byte after the one that broke the parse.
  const std::size_t end = std::min(byte == 0 ? 0 : byte - 1, json.size());
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < end; ++i) {
    if (json[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

std::string_view kindName(ControlKind kind) {
  for (const auto& [n, k] : kKinds) {
    if (k == kind) return n;
  }
  return "control";
}

const DialogTemplate* Resource::dialog(int id) const {
  for (const auto& d : dialogs) {
    if (d.id == id) return &d;
  }
  return nullptr;
}

const Pixmap* Resource::pixmap(int id) const {
  for (const auto& p : pixmaps) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

Resource parseResource(std::string_view text, std::string_view name) {
  const Where file{std::string(name)};
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& e) {
    file.fail("not valid JSON (" + position(text, e.byte) + ")");
  } catch (const json::out_of_range&) {
    file.fail("not valid JSON (a number is out of range)");
  }
  if (!root.is_object()) file.fail("not a JSON object");
  onlyKeys(root, {"dialogs", "pixmaps"}, file);

  Resource r;
  std::set<int> pixmapIds;
  if (auto it = root.find("pixmaps"); it != root.end()) {
    if (!it->is_array()) file.fail("\"pixmaps\" must be an array");
    for (std::size_t i = 0; i < it->size(); ++i) {
      Pixmap p = pixmap((*it)[i], file, i + 1);
      if (!pixmapIds.insert(p.id).second) {
        file.fail("pixmap " + std::to_string(p.id) + " is defined twice");
      }
      r.pixmaps.push_back(std::move(p));
    }
  }
  if (auto it = root.find("dialogs"); it != root.end()) {
    if (!it->is_array()) file.fail("\"dialogs\" must be an array");
    std::set<int> dialogIds;
    for (std::size_t i = 0; i < it->size(); ++i) {
      DialogTemplate d = dialog((*it)[i], file, i + 1, pixmapIds);
      if (!dialogIds.insert(d.id).second) {
        file.fail("dialog " + std::to_string(d.id) + " is defined twice");
      }
      r.dialogs.push_back(std::move(d));
    }
  }
  return r;
}

Resource readResourceFile(const std::string& path) {
  const detail::WholeFile file = detail::readWholeFile(path);
  if (file.error != 0) throw Error(detail::cannotBeRead(path, file.error));
  return parseResource(file.bytes, path);
}

}  // namespace sxhost
