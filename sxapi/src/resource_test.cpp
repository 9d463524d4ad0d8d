#include "sxhost/resource.h"

#include <gtest/gtest.h>

#include <tuple>

#include "relievo_testing/error_of.h"
#include "sxapilib.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace {

using relievo::testing::errorOf;
using sxhost::ControlKind;
using sxhost::parseResource;

// Only what relievo's own resource file does not show in the end-to-end tests.
constexpr const char* kGood = R"({
  "dialogs": [
    { "id": 7, "caption": "Seven", "size": [100, 80], "helpContext": "77",
      "controls": [
        { "kind": "label", "label": "Name:", "rect": [1, 2, 30, 8] },
        { "id": 6, "kind": "gl", "rect": [0, 0, 20, 16] },
        { "id": 9, "kind": "progress", "rect": [0, 0, 20, 8], "enabled": false },
        { "id": 10, "kind": "scale", "range": [-1.5, 2], "rect": [0, 0, 20, 8], "visible": false },
        { "id": 11, "kind": "push", "pixmap": 1, "rect": [0, 0, 8, 8] }
      ] }
  ],
  "pixmaps": [ { "id": 1, "palette": { "r": "#ff0000", "t": "#00ff0080" }, "rows": ["rt", "tr"] } ]
})";

TEST(Resource, ParsesDefaultsAndPixmaps) {
  const sxhost::Resource r = parseResource(kGood, "good.rsrc.json");
  ASSERT_NE(r.dialog(7), nullptr);
  const auto& c = r.dialog(7)->controls;
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(std::tie(c[0].id, c[0].kind, c[0].rect.x, c[0].rect.height),
            std::tuple(-1, ControlKind::Label, 1, 8));
  // A GL view defaults to its rectangle in pixels (3/2 across, 13/8 down).
  EXPECT_EQ(std::tie(c[1].viewWidth, c[1].viewHeight), std::tuple(30, 26));
  EXPECT_EQ(std::tie(c[2].enabled, c[2].rangeMax, c[3].visible, c[3].rangeMin, c[3].rangeMax),
            std::tuple(false, 100.0, false, -1.5, 2.0));
  const sxhost::Pixmap* p = r.pixmap(1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::tie(p->width, p->height), std::tuple(2, 2));
  // Top row first, RGBA; colours without alpha are opaque.
  EXPECT_EQ(p->rgba, (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 255, 0, 128,  //
                                                0, 255, 0, 128, 255, 0, 0, 255}));
}

#define DIALOG(controls) \
  R"({"dialogs": [{"id": 100, "size": [10, 10], "controls": [)" controls "]}]}"
#define C5 "x.rsrc.json, dialog 100, control 1 (id 5): "

TEST(Resource, BadFilesFailWithAMessageNamingFileDialogAndControl) {
  const struct {
    const char* json;
    const char* message;
  } cases[] = {
      // clang-format off
      {"{\"dialogs\": [\n  {\"id\": 1,, }]}", "x.rsrc.json: not valid JSON (line 2, column 12)"},
      {R"({"dialogs": [{"id": 1e400}]})", "x.rsrc.json: not valid JSON (a number is out of range)"},
      {"[1]", "x.rsrc.json: not a JSON object"},
      {R"({"dialog": []})", "x.rsrc.json: unknown key \"dialog\""},
      {R"({"dialogs": {}})", "x.rsrc.json: \"dialogs\" must be an array"},
      {R"({"dialogs": [{"size": [1, 1], "controls": []}]})", "x.rsrc.json, dialog at position 1: missing \"id\""},
      {R"({"dialogs": [{"id": 100, "size": [0, 5], "controls": []}]})", "x.rsrc.json, dialog 100: \"size\" must be 1 ... 32767"},
      {R"({"dialogs": [{"id": 1, "size": [5, 5], "controls": []}, {"id": 1, "size": [5, 5], "controls": []}]})", "x.rsrc.json: dialog 1 is defined twice"},
      {DIALOG(R"({"kind": "label", "rect": [0, 0, 1, 1]}, {"id": 1087, "kind": "slider", "rect": [0, 0, 1, 1]})"), "x.rsrc.json, dialog 100, control 2 (id 1087): unknown kind \"slider\""},
      {DIALOG(R"({"id": 5, "rect": [0, 0, 1, 1]})"), C5 "missing \"kind\""},
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1]})"), C5 "\"rect\" must be four integers"},
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, -1, 1]})"), C5 "\"rect\" has a negative size"},
      {DIALOG(R"({"id": "5", "kind": "push", "rect": [0, 0, 1, 1]})"), "x.rsrc.json, dialog 100, control 1: \"id\" must be an integer"},
      {DIALOG(R"({"id": -2, "kind": "push", "rect": [0, 0, 1, 1]})"), "x.rsrc.json, dialog 100, control 1 (id -2): \"id\" must be -1 or more"},
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1, 1], "lable": "x"})"), C5 "unknown key \"lable\""},
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1, 1], "items": []})"), C5 "\"items\" does not apply to a push"},
      {DIALOG(R"({"id": 5, "kind": "list", "rect": [0, 0, 1, 1], "items": [1]})"), C5 "\"items\" must be an array of texts"},
      {DIALOG(R"({"id": 5, "kind": "scale", "rect": [0, 0, 1, 1], "range": [2, 1]})"), C5 "\"range\" minimum is above its maximum"},
      {DIALOG(R"({"id": 5, "kind": "gl", "rect": [0, 0, 1, 1], "view": [8193, 1]})"), C5 "\"view\" must be 1 ... 8192"},
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, -40000, 1, 1]})"), C5 "\"rect\" lies beyond 32767 dialog units"},
      // x + width overflows an int.
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 2147483647, 1]})"), C5 "\"rect\" lies beyond 32767 dialog units"},
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 2147483648, 1]})"), C5 "\"rect\" is out of range"},
      {DIALOG(R"({"id": 5, "kind": "text", "rect": [0, 0, 1, 1], "readOnly": 1})"), C5 "\"readOnly\" must be true or false"},
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1, 1], "pixmap": 9})"), C5 "pixmap 9 is not in the file"},
      {DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1, 1]}, {"id": 5, "kind": "push", "rect": [0, 0, 1, 1]})"), "x.rsrc.json, dialog 100, control 2 (id 5): the id is used twice in the dialog"},
      {R"({"pixmaps": [{"id": 3, "palette": {"ab": "#000000"}, "rows": ["a"]}]})", "x.rsrc.json, pixmap 3: palette key \"ab\" is not one character"},
      {R"({"pixmaps": [{"id": 3, "palette": {"a": "red"}, "rows": ["a"]}]})", "x.rsrc.json, pixmap 3: palette colour \"red\" is not #rrggbb or #rrggbbaa"},
      {R"({"pixmaps": [{"id": 3, "palette": {"a": "#000000"}, "rows": ["ab"]}]})", "x.rsrc.json, pixmap 3: row 1 uses \"b\", which the palette lacks"},
      {R"({"pixmaps": [{"id": 3, "palette": {"a": "#000000"}, "rows": ["aa", "a"]}]})", "x.rsrc.json, pixmap 3: row 2 is not as long as the first"},
      {R"({"pixmaps": [{"id": 3, "palette": {"a": "#000000"}, "rows": []}]})", "x.rsrc.json, pixmap 3: \"rows\" is empty"},
      {R"({"pixmaps": [{"id": 3, "palette": {}}]})", "x.rsrc.json, pixmap 3: missing \"rows\""},
      // clang-format on
  };
  for (const auto& c : cases)
    EXPECT_EQ(errorOf<sxhost::Error>([&] { parseResource(c.json, "x.rsrc.json"); }), c.message);
  EXPECT_EQ(errorOf<sxhost::Error>([&] { sxhost::readResourceFile("/nonexistent/x.rsrc.json"); }),
            "/nonexistent/x.rsrc.json: cannot be read: No such file or directory");
}

// The newest dialog of a template answers for it; dialogs outlive the resource they were
// made from, its pixmaps do not.
TEST(Resource, HostMakesDialogsThatOutliveTheResource) {
  sxhost::Host host;
  SxResource resource = host.loadResourceJson(kGood);
  ASSERT_NE(sxResourceGetDialog(nullptr, resource, 7, 0, nullptr, nullptr), nullptr);
  SxDialog d = sxResourceGetDialog(nullptr, resource, 7, 0, nullptr, nullptr);
  EXPECT_EQ(host.dialog(7).handle(), d);
  SxPixmap p = sxResourceGetPixmap(resource, 1);
  ASSERT_NE(p, nullptr);
  sxUnloadResource(resource);
  EXPECT_EQ(host.dialogOf(d)->caption(), "Seven");
  EXPECT_NE(sxSetPixmap(sxFindGuiById(d, 11), p), 0);
  EXPECT_EQ(sxResourceGetDialog(nullptr, resource, 7, 0, nullptr, nullptr), nullptr);
}

}  // namespace
