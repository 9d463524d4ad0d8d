// Resource files of plug-ins: dialog templates and pixmaps, read from JSON.
//
// sxLoadResource(module) reads "<module file name without extension>.rsrc.json" beside the
// module; Host::loadResource and Host::loadResourceJson read one from a path or a string.
// The file is one JSON object:
//
//   {
//     "dialogs": [
//       { "id": 100, "caption": "Example", "size": [404, 428], "helpContext": "130022",
//         "controls": [
//           { "kind": "label", "label": "Source:", "rect": [8, 8, 40, 10] },
//           { "id": 1087, "kind": "option", "rect": [50, 8, 90, 12],
//             "items": ["ASCII File", "Binary File"] },
//           { "id": 1014, "kind": "text", "label": "", "readOnly": true, "rect": [...] },
//           { "id": 1018, "kind": "radio", "label": "Rows", "group": "order", "rect": [...] },
//           { "id": 1096, "kind": "push", "label": "<<-", "pixmap": 109, "rect": [...] },
//           { "id": 1098, "kind": "scale", "range": [0, 1], "rect": [...] },
//           { "id": 1036, "kind": "gl", "view": [210, 260], "rect": [...] }
//         ] }
//     ],
//     "pixmaps": [
//       { "id": 109, "palette": { ".": "#00000000", "#": "#000000" },
//         "rows": ["..#", ".##", "..#"] }
//     ]
//   }
//
// Dialogs: "id" (integer, unique in the file), "size" [width, height] in dialog units (both
// 1 ... 32767) and "controls" (array) are required; "caption" and "helpContext" are optional
// texts. Sizes and rectangles are in dialog units; a dialog unit is 3/2 pixel across and
// 13/8 pixel down.
//
// Controls: "kind" is one of label, group, text, push, check, radio, option, list, scale,
// progress, gl; "rect" [x, y, width, height] (integers within 32767 of 0, width and height at
// least 0) is required. "id" is optional: a control without one, or with -1, is static (no program
// can find it); other ids are unique within the dialog and at least 0. Optional, for every kind:
// "label" (the text: a caption, or the initial content of a text control), "enabled" and
// "visible" (booleans, default true). Only for some kinds: "items" (texts; option, list),
// "group" (text naming the radio group; radio; radio buttons without one share a group), "readOnly"
// (boolean; text), "range" [min, max] with min <= max (scale, progress; default [0, 1] and [0,
// 100]), "view" [width, height] in pixels, both at least 1 (gl; default the rectangle in pixels),
// "pixmap" (the id of a pixmap of the file; push, label).
//
// Pixmaps: "id" (integer, unique), "palette" (object: one-character keys, values "#rrggbb" or
// "#rrggbbaa") and "rows" (texts of equal length, top row first, each character a palette
// key) are required; at most 256 x 256 pixels.
//
// Any other key, a missing or mistyped field, or an unknown kind is an error; the message
// names the file, the dialog and the control (by position from 1 and id), for instance
//   relievo.rsrc.json: dialog 100, control 3 (id 1087): unknown kind "slider"
#ifndef SXHOST_RESOURCE_H
#define SXHOST_RESOURCE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sxhost {

enum class ControlKind {
  Label,
  Group,
  Text,
  Push,
  Check,
  Radio,
  Option,
  List,
  Scale,
  Progress,
  Gl
};

// The name of a kind as resource files write it ("label", "gl", ...).
[[gnu::visibility("default")]] std::string_view kindName(ControlKind kind);

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

struct ControlTemplate {
  int id = -1;  // -1: static
  ControlKind kind = ControlKind::Label;
  std::string label;
  Rect rect;
  std::vector<std::string> items;
  std::string group;
  bool readOnly = false;
  bool enabled = true;
  bool visible = true;
  double rangeMin = 0.0, rangeMax = 0.0;
  int viewWidth = 0, viewHeight = 0;
  std::optional<int> pixmap;
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  std::string helpContext;
  int width = 0, height = 0;
  std::vector<ControlTemplate> controls;
};

// RGBA pixels, row 0 at the top (as the resource file writes them).
struct Pixmap {
  int id = 0;
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
};

struct [[gnu::visibility("default")]] Resource {
  std::vector<DialogTemplate> dialogs;
  std::vector<Pixmap> pixmaps;

  // Null when the resource has no such template or pixmap.
  const DialogTemplate* dialog(int id) const;
  const Pixmap* pixmap(int id) const;
};

// Dialog units to pixels.
inline int unitsToPixelsX(int units) {
  return units * 3 / 2;
}
inline int unitsToPixelsY(int units) {
  return units * 13 / 8;
}

// Parse a resource; `name` is what messages call it (the file name). Throws sxhost::Error
// with the message described above.
[[gnu::visibility("default")]] Resource parseResource(std::string_view json, std::string_view name);
// Read and parse a file; a file that cannot be read is an Error naming it.
[[gnu::visibility("default")]] Resource readResourceFile(const std::string& path);

}  // namespace sxhost

#endif  // SXHOST_RESOURCE_H
