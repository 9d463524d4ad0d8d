// Dialog creation, events, showing, hiding and refreshing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "relievo_testing/error_of.h"
#include "sxapilib.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace {

using relievo::testing::errorOf;

constexpr const char* kResource = R"({"dialogs": [{"id": 100, "caption": "Main", "size": [50, 50],
  "controls": [
    {"id": 1, "kind": "push", "label": "Close", "rect": [0, 0, 10, 10]},
    {"kind": "label", "label": "static", "rect": [0, 0, 10, 10]},
    {"id": 2, "kind": "text", "rect": [0, 0, 10, 10]},
    {"id": 3, "kind": "check", "label": "On", "rect": [0, 0, 10, 10]},
    {"id": -1, "kind": "label", "label": "static too", "rect": [0, 0, 10, 10]}]}]})";

// Dialog events as "4", "8", ...; control callbacks as "id:reason".
using Log = std::vector<std::string>;

int recordEvent(SxDialog dialog, int id, int event, void* data) {
  EXPECT_EQ(id, 100);
  static_cast<Log*>(data)->push_back(std::to_string(event));
  // A dialog whose caption asks for it hides again at its show event.
  if (event == SX_EVENT_SHOW && sxhost::Host::current()->dialogOf(dialog)->caption() == "Hide")
    sxHideDialog(dialog);
  return 0;
}

int recordCall(SxGui, int id, int reason, void* data, void* callData) {
  EXPECT_EQ(callData, nullptr);
  static_cast<Log*>(data)->push_back(std::to_string(id) + ":" + std::to_string(reason));
  return 0;
}

class DialogTest : public testing::Test {
 protected:
  SxDialog make(int mask) {
    return sxResourceGetDialog(nullptr, resource, 100, mask, recordEvent, &log);
  }
  sxhost::Host host;
  SxResource resource = host.loadResourceJson(kResource);
  Log log;
};

// The show event loads what the controls show; the host then refreshes them all before the
// dialog becomes active, so a user never sees stale values.
TEST_F(DialogTest, EventsFollowTheMaskAndShowingRefreshesBeforeActivating) {
  SxDialog d = make(SX_EVENT_INIT | SX_EVENT_SHOW | SX_EVENT_CLOSE | SX_EVENT_ACTIVATE);
  ASSERT_NE(d, nullptr);
  // Init arrives before creation returns; the dialog starts hidden.
  EXPECT_EQ(log, (Log{"4"}));
  EXPECT_FALSE(host.dialog(100).visible());
  sxSetGuiCallback(sxFindGuiById(d, 2), SX_MASK_ACTIVATE_REFRESH, recordCall, &log);
  sxSetGuiCallback(sxFindGuiById(d, 3), SX_MASK_REFRESH, recordCall, &log);
  EXPECT_EQ(sxShowDialog(d), 0);
  EXPECT_TRUE(host.dialog(100).visible());
  // Showing a shown dialog only activates it again; hiding a hidden one is no event.
  EXPECT_EQ(sxShowDialog(d), 0);
  EXPECT_EQ(sxHideDialog(d), 0);
  EXPECT_EQ(sxHideDialog(d), 0);
  host.dialog(100).close();
  EXPECT_EQ(sxSetVisible(d, 1), 0);
  host.dialog(100).close();
  EXPECT_EQ(log, (Log{"4", "8", "2:2", "3:2", "32", "32", "16", "8", "2:2", "3:2", "32", "16"}));

  // A dialog hidden by its own show event is neither refreshed nor activated.
  log.clear();
  sxSetCaption(d, "Hide");
  sxShowDialog(d);
  EXPECT_EQ(log, (Log{"8", "16"}));
  EXPECT_FALSE(host.dialog(100).visible());
}

// Refresh runs the refresh callbacks in control order; masks, parents and ids are checked.
TEST_F(DialogTest, RefreshOrderMasksCreationAndLookups) {
  SxDialog d = make(0);
  SxGui push = sxFindGuiById(d, 1);
  sxSetGuiCallback(sxFindGuiById(d, 3), SX_MASK_ACTIVATE_REFRESH, recordCall, &log);
  sxSetGuiCallback(push, SX_MASK_ACTIVATE, recordCall, &log);
  sxSetGuiCallback(sxFindGuiById(d, 2), SX_MASK_REFRESH, recordCall, &log);
  EXPECT_EQ(sxRefreshDialog(d), 0);
  EXPECT_EQ(sxRefreshControl(sxFindGuiById(d, 3)), 0);
  EXPECT_EQ(sxRefreshControl(push), 0);
  // A new registration replaces the old one.
  sxSetGuiCallback(sxFindGuiById(d, 3), SX_MASK_ACTIVATE, recordCall, &log);
  sxRefreshDialog(d);
  EXPECT_EQ(log, (Log{"2:2", "3:2", "3:2", "2:2"}));

  EXPECT_NE(sxSetGuiCallback(push, 4, recordCall, &log), 0);
  EXPECT_EQ(
      host.lastError(),
      "sxSetGuiCallback: control 1 of dialog 100: mask 4 is not a combination of 1, 2 and 64");
  EXPECT_NE(sxSetGuiCallback(push, SX_MASK_GL_DRAW, recordCall, &log), 0);
  EXPECT_EQ(host.lastError(),
            "sxSetGuiCallback: control 1 of dialog 100 is no GL control and cannot draw");

  EXPECT_EQ(sxResourceGetDialog(nullptr, nullptr, 100, 0, nullptr, nullptr), nullptr);
  EXPECT_EQ(host.lastError(), "sxResourceGetDialog: not a loaded resource");
  EXPECT_EQ(sxResourceGetDialog(nullptr, resource, 5, 0, nullptr, nullptr), nullptr);
  EXPECT_EQ(host.lastError(), "<string>: no dialog 5");
  // Only a dialog or control may be the parent.
  EXPECT_EQ(
      sxResourceGetDialog(reinterpret_cast<SxGui>(resource), resource, 100, 0, nullptr, nullptr),
      nullptr);
  EXPECT_EQ(host.lastError(), "sxResourceGetDialog: the parent is not a dialog or control");

  // Controls without an id of their own are there but cannot be found.
  EXPECT_EQ(host.dialog(100).controls().size(), 5u);
  EXPECT_EQ(sxFindGuiById(d, -1), nullptr);
  EXPECT_EQ(errorOf<sxhost::Error>([&] { host.dialog(100).control(99); }),
            "dialog 100 has no control 99");
  EXPECT_EQ(errorOf<sxhost::Error>([&] { host.dialog(101); }), "no dialog of template 101 exists");
}

// Dialogs of no plug-in go with the host, shown or not, without an event: their callbacks'
// data may be gone by then. A front end hears each change through the dialog listener, as
// the windowed host's tests see.
TEST(DialogLifetime, DialogsGoWithTheHostWithoutAnEventAndTheirHandlesGoStale) {
  Log log;
  SxDialog d = nullptr;
  SxGui control = nullptr;
  {
    sxhost::Host host;
    d = sxResourceGetDialog(nullptr, host.loadResourceJson(kResource), 100, 60, recordEvent, &log);
    control = sxFindGuiById(d, 2);
    sxShowDialog(d);
    host.setDialogListener([&](sxhost::Dialog&, sxhost::DialogChange change) {
      log.push_back("L:" + std::to_string(static_cast<int>(change)));
    });
  }
  EXPECT_EQ(log, (Log{"4", "8", "32", "L:5"}));
  // No host: every call fails without touching anything.
  EXPECT_NE(sxShowDialog(d), 0);
  sxhost::Host next;
  EXPECT_NE(sxTextSetString(control, "x"), 0);
  EXPECT_EQ(next.lastError(), "sxTextSetString: not a control");
  EXPECT_THROW(sxhost::Host another, sxhost::Error);
}

}  // namespace
