#include "sxhost/resource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sxapilib.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace {

using sxhost::ControlKind;
using sxhost::parseResource;

constexpr const char* kGood = R"({
  "dialogs": [
    { "id": 7, "caption": "Seven", "size": [100, 80], "helpContext": "77",
      "controls": [
        { "kind": "label", "label": "Name:", "rect": [1, 2, 30, 8] },
        { "id": 3, "kind": "text", "label": "abc", "readOnly": true, "rect": [0, 0, 10, 8] },
        { "id": 4, "kind": "option", "items": ["a", "b"], "rect": [0, 0, 10, 8] },
        { "id": 5, "kind": "radio", "group": "g", "label": "R", "rect": [0, 0, 10, 8] },
        { "id": 6, "kind": "gl", "rect": [0, 0, 20, 16] },
        { "id": 8, "kind": "gl", "view": [210, 260], "rect": [0, 0, 20, 16] },
        { "id": 9, "kind": "progress", "rect": [0, 0, 20, 8], "enabled": false },
        { "id": 10, "kind": "scale", "range": [-1.5, 2], "rect": [0, 0, 20, 8], "visible": false },
        { "id": 11, "kind": "push", "pixmap": 1, "rect": [0, 0, 8, 8] },
        { "id": -1, "kind": "group", "label": "G", "rect": [0, 0, 50, 50] }
      ] }
  ],
  "pixmaps": [ { "id": 1, "palette": { "r": "#ff0000", "t": "#00ff0080" }, "rows": ["rt", "tr"] } ]
})";

TEST(Resource, ParsesDialogsControlsAndPixmaps) {
  const sxhost::Resource r = parseResource(kGood, "good.rsrc.json");
  ASSERT_EQ(r.dialogs.size(), 1u);
  const sxhost::DialogTemplate* d = r.dialog(7);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(r.dialog(8), nullptr);
  EXPECT_EQ(d->caption, "Seven");
  EXPECT_EQ(d->helpContext, "77");
  EXPECT_EQ(d->width, 100);
  EXPECT_EQ(d->height, 80);
  ASSERT_EQ(d->controls.size(), 10u);

  const auto& label = d->controls[0];
  EXPECT_EQ(label.id, -1);
  EXPECT_EQ(label.kind, ControlKind::Label);
  EXPECT_EQ(label.rect.x, 1);
  EXPECT_EQ(label.rect.height, 8);
  EXPECT_TRUE(d->controls[1].readOnly);
  EXPECT_EQ(d->controls[1].label, "abc");
  EXPECT_EQ(d->controls[2].items, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(d->controls[3].group, "g");
  // A GL view defaults to its rectangle in pixels (3/2 across, 13/8 down).
  EXPECT_EQ(d->controls[4].viewWidth, 30);
  EXPECT_EQ(d->controls[4].viewHeight, 26);
  EXPECT_EQ(d->controls[5].viewWidth, 210);
  EXPECT_EQ(d->controls[5].viewHeight, 260);
  EXPECT_FALSE(d->controls[6].enabled);
  EXPECT_EQ(d->controls[6].rangeMax, 100.0);
  EXPECT_FALSE(d->controls[7].visible);
  EXPECT_EQ(d->controls[7].rangeMin, -1.5);
  EXPECT_EQ(d->controls[7].rangeMax, 2.0);
  EXPECT_EQ(d->controls[8].pixmap, 1);
  EXPECT_EQ(d->controls[9].id, -1);

  const sxhost::Pixmap* p = r.pixmap(1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->width, 2);
  EXPECT_EQ(p->height, 2);
  // Top row first, RGBA; colours without alpha are opaque.
  EXPECT_EQ(p->rgba, (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 255, 0, 128,  //
                                                0, 255, 0, 128, 255, 0, 0, 255}));
}

struct BadCase {
  const char* json;
  const char* message;
};

// Test names show the expected message rather than the bytes of the case.
void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.message;
}

class BadResource : public testing::TestWithParam<BadCase> {};

TEST_P(BadResource, FailsWithAMessageNamingFileAndControl) {
  try {
    parseResource(GetParam().json, "x.rsrc.json");
    FAIL() << "parsed";
  } catch (const sxhost::Error& e) {
    EXPECT_STREQ(e.what(), GetParam().message);
  }
}

#define DIALOG(controls) \
  R"({"dialogs": [{"id": 100, "size": [10, 10], "controls": [)" controls "]}]}"

INSTANTIATE_TEST_SUITE_P(
    Cases, BadResource,
    testing::Values(
        BadCase{"{\"dialogs\": [\n  {\"id\": 1,, }]}",
                "x.rsrc.json: not valid JSON (line 2, column 12)"},
        BadCase{"", "x.rsrc.json: not valid JSON (line 1, column 1)"},
        BadCase{"[1]", "x.rsrc.json: not a JSON object"},
        BadCase{R"({"dialog": []})", "x.rsrc.json: unknown key \"dialog\""},
        BadCase{R"({"dialogs": {}})", "x.rsrc.json: \"dialogs\" must be an array"},
        BadCase{R"({"dialogs": [{"size": [1, 1], "controls": []}]})",
                "x.rsrc.json, dialog at position 1: missing \"id\""},
        BadCase{R"({"dialogs": [{"id": 100, "controls": []}]})",
                "x.rsrc.json, dialog 100: missing \"size\""},
        BadCase{R"({"dialogs": [{"id": 100, "size": [0, 5], "controls": []}]})",
                "x.rsrc.json, dialog 100: \"size\" must be 1 ... 32767"},
        BadCase{R"({"dialogs": [{"id": 100, "size": [5, 5]}]})",
                "x.rsrc.json, dialog 100: missing \"controls\""},
        BadCase{R"({"dialogs": [{"id": 1, "size": [5, 5], "controls": []},
                                {"id": 1, "size": [5, 5], "controls": []}]})",
                "x.rsrc.json: dialog 1 is defined twice"},
        BadCase{DIALOG(R"({"kind": "label", "rect": [0, 0, 1, 1]},
                          {"id": 1087, "kind": "slider", "rect": [0, 0, 1, 1]})"),
                "x.rsrc.json, dialog 100, control 2 (id 1087): unknown kind \"slider\""},
        BadCase{DIALOG(R"({"id": 5, "rect": [0, 0, 1, 1]})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): missing \"kind\""},
        BadCase{DIALOG(R"({"id": 5, "kind": "push"})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): missing \"rect\""},
        BadCase{DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1]})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): \"rect\" must be four integers"},
        BadCase{DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, -1, 1]})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): \"rect\" has a negative size"},
        BadCase{DIALOG(R"({"id": "5", "kind": "push", "rect": [0, 0, 1, 1]})"),
                "x.rsrc.json, dialog 100, control 1: \"id\" must be an integer"},
        BadCase{DIALOG(R"({"id": -2, "kind": "push", "rect": [0, 0, 1, 1]})"),
                "x.rsrc.json, dialog 100, control 1 (id -2): \"id\" must be -1 or more"},
        BadCase{DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1, 1], "lable": "x"})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): unknown key \"lable\""},
        BadCase{DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1, 1], "items": []})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): \"items\" does not apply to a push"},
        BadCase{DIALOG(R"({"id": 5, "kind": "list", "rect": [0, 0, 1, 1], "items": [1]})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): \"items\" must be an array of texts"},
        BadCase{
            DIALOG(R"({"id": 5, "kind": "scale", "rect": [0, 0, 1, 1], "range": [2, 1]})"),
            "x.rsrc.json, dialog 100, control 1 (id 5): \"range\" minimum is above its maximum"},
        BadCase{DIALOG(R"({"id": 5, "kind": "gl", "rect": [0, 0, 1, 1], "view": [0, 1]})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): \"view\" must be 1 ... 8192"},
        BadCase{DIALOG(R"({"id": 5, "kind": "gl", "rect": [0, 0, 1, 1], "view": [8193, 1]})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): \"view\" must be 1 ... 8192"},
        BadCase{
            DIALOG(R"({"id": 5, "kind": "push", "rect": [0, -40000, 1, 1]})"),
            "x.rsrc.json, dialog 100, control 1 (id 5): \"rect\" lies beyond 32767 dialog units"},
        BadCase{
            DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 2147483647, 1]})"),
            "x.rsrc.json, dialog 100, control 1 (id 5): \"rect\" lies beyond 32767 dialog units"},
        BadCase{DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 2147483648, 1]})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): \"rect\" is out of range"},
        BadCase{DIALOG(R"({"id": 5, "kind": "text", "rect": [0, 0, 1, 1], "readOnly": 1})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): \"readOnly\" must be true or false"},
        BadCase{DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1, 1], "pixmap": 9})"),
                "x.rsrc.json, dialog 100, control 1 (id 5): pixmap 9 is not in the file"},
        BadCase{DIALOG(R"({"id": 5, "kind": "push", "rect": [0, 0, 1, 1]},
                          {"id": 5, "kind": "push", "rect": [0, 0, 1, 1]})"),
                "x.rsrc.json, dialog 100, control 2 (id 5): the id is used twice in the dialog"},
        BadCase{R"({"pixmaps": [{"id": 3, "palette": {"ab": "#000000"}, "rows": ["a"]}]})",
                "x.rsrc.json, pixmap 3: palette key \"ab\" is not one character"},
        BadCase{R"({"pixmaps": [{"id": 3, "palette": {"a": "red"}, "rows": ["a"]}]})",
                "x.rsrc.json, pixmap 3: palette colour \"red\" is not #rrggbb or #rrggbbaa"},
        BadCase{R"({"pixmaps": [{"id": 3, "palette": {"a": "#000000"}, "rows": ["ab"]}]})",
                "x.rsrc.json, pixmap 3: row 1 uses \"b\", which the palette lacks"},
        BadCase{R"({"pixmaps": [{"id": 3, "palette": {"a": "#000000"}, "rows": ["aa", "a"]}]})",
                "x.rsrc.json, pixmap 3: row 2 is not as long as the first"},
        BadCase{R"({"pixmaps": [{"id": 3, "palette": {"a": "#000000"}, "rows": []}]})",
                "x.rsrc.json, pixmap 3: \"rows\" is empty"},
        BadCase{R"({"pixmaps": [{"id": 3, "palette": {}}]})",
                "x.rsrc.json, pixmap 3: missing \"rows\""}));

TEST(Resource, FileThatCannotBeReadIsNamed) {
  EXPECT_THROW(
      {
        try {
          sxhost::readResourceFile("/nonexistent/x.rsrc.json");
        } catch (const sxhost::Error& e) {
          EXPECT_STREQ(e.what(), "/nonexistent/x.rsrc.json: cannot be read");
          throw;
        }
      },
      sxhost::Error);
}

TEST(Resource, HostLoadsFromStringAndFileAndMakesDialogs) {
  sxhost::Host host;
  SxResource fromString = host.loadResourceJson(kGood);
  ASSERT_NE(fromString, nullptr);
  SxDialog d = sxResourceGetDialog(nullptr, fromString, 7, 0, nullptr, nullptr);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(host.dialog(7).caption(), "Seven");
  EXPECT_EQ(host.dialog(7).helpContext(), "77");
  EXPECT_EQ(sxResourceGetDialog(nullptr, fromString, 8, 0, nullptr, nullptr), nullptr);
  EXPECT_EQ(host.lastError(), "<string>: no dialog 8");

  const auto path = std::filesystem::temp_directory_path() / "sxapi_resource_test.rsrc.json";
  std::ofstream(path) << kGood;
  SxResource fromFile = host.loadResource(path.string());
  ASSERT_NE(fromFile, nullptr);
  EXPECT_NE(sxResourceGetDialog(nullptr, fromFile, 7, 0, nullptr, nullptr), nullptr);
  std::filesystem::remove(path);
  // The newest dialog of a template answers for it.
  EXPECT_NE(host.dialog(7).handle(), d);

  // Dialogs outlive the resource they were made from; its pixmaps do not.
  SxPixmap p = sxResourceGetPixmap(fromString, 1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(sxResourceGetPixmap(fromString, 1), p);
  EXPECT_EQ(sxResourceGetPixmap(fromString, 2), nullptr);
  sxUnloadResource(fromString);
  EXPECT_EQ(host.dialogOf(d)->caption(), "Seven");
  EXPECT_NE(sxSetPixmap(sxFindGuiById(d, 11), p), 0);
  EXPECT_EQ(sxResourceGetDialog(nullptr, fromString, 7, 0, nullptr, nullptr), nullptr);
}

TEST(Resource, HostReportsBadResourceInItsLog) {
  sxhost::Host host;
  EXPECT_THROW(host.loadResourceJson(DIALOG(R"({"id": 5, "kind": "knob", "rect": [0, 0, 1, 1]})"),
                                     "bad.rsrc.json"),
               sxhost::Error);
  EXPECT_EQ(host.lastError(), "bad.rsrc.json, dialog 100, control 1 (id 5): unknown kind \"knob\"");
  ASSERT_FALSE(host.log().empty());
  EXPECT_EQ(host.log().back(), host.lastError());
}

}  // namespace
