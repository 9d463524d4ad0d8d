// Controls through the host calls and through the user actions of sxhost::Control. What
// relievo's dialogs do with them runs in the end-to-end tests; here the limits and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "relievo_testing/error_of.h"
#include "sxapilib.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace {

using relievo::testing::errorOf;
using Strings = std::vector<std::string>;

constexpr const char* kResource = R"({"dialogs": [{"id": 50, "size": [100, 100], "controls": [
  {"id": 1, "kind": "push", "label": "Go", "rect": [0, 0, 10, 10]},
  {"id": 2, "kind": "text", "label": "start", "rect": [0, 0, 10, 10]},
  {"id": 3, "kind": "text", "readOnly": true, "rect": [0, 0, 10, 10]},
  {"id": 4, "kind": "check", "label": "On", "rect": [0, 0, 10, 10]},
  {"id": 5, "kind": "radio", "group": "a", "rect": [0, 0, 10, 10]},
  {"id": 6, "kind": "radio", "group": "a", "rect": [0, 0, 10, 10]},
  {"id": 7, "kind": "radio", "group": "b", "rect": [0, 0, 10, 10]},
  {"id": 8, "kind": "option", "rect": [0, 0, 10, 10]},
  {"id": 9, "kind": "list", "items": ["x", "y", "z"], "rect": [0, 0, 10, 10]},
  {"id": 10, "kind": "scale", "range": [0, 10], "rect": [0, 0, 10, 10]},
  {"id": 11, "kind": "progress", "rect": [0, 0, 10, 10]},
  {"id": 12, "kind": "gl", "rect": [0, 0, 40, 30]}]}]})";

class ControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    resource = host.loadResourceJson(kResource);
    d = sxResourceGetDialog(nullptr, resource, 50, 0, nullptr, nullptr);
    for (int id = 1; id <= 12; ++id)
      sxSetGuiCallback(gui(id), 3, record, this);
    sxShowDialog(d);
    activations.clear();  // showing ran every refresh callback once
  }
  // Each callback as "id:reason".
  static int record(SxGui, int id, int reason, void* data, void*) {
    static_cast<ControlsTest*>(data)->activations.push_back(std::to_string(id) + ":" +
                                                            std::to_string(reason));
    return 0;
  }
  SxGui gui(int id) { return sxFindGuiById(d, id); }
  sxhost::Control& control(int id) { return host.dialog(50).control(id); }

  sxhost::Host host;
  SxResource resource = nullptr;
  SxDialog d = nullptr;
  Strings activations;
};

TEST_F(ControlsTest, UsersCannotDoWhatThePersonInFrontOfTheDialogCouldNot) {
  const auto refusal = [](auto act) { return errorOf<sxhost::Error>(act); };
  EXPECT_EQ(refusal([&] { control(3).type("x"); }),
            "control 3 of dialog 50 cannot be typed into: it is read-only");
  EXPECT_EQ(refusal([&] { control(1).type("x"); }),
            "control 1 of dialog 50 is a push: it cannot be typed into");
  EXPECT_EQ(refusal([&] { control(5).setChecked(false); }),
            "control 5 of dialog 50 is a radio button: a user cannot uncheck it");
  EXPECT_EQ(refusal([&] { control(9).select(4); }),
            "control 9 of dialog 50 has no position 4 (it has 3 items)");
  EXPECT_EQ(refusal([&] { control(10).slide(0.1, 3); }),
            "control 10 of dialog 50: drag state 3 is not 0, 1 or 2");
  sxSetEnabled(gui(2), 0);
  EXPECT_EQ(refusal([&] { control(2).type("x"); }),
            "control 2 of dialog 50 cannot be typed into: it is disabled");
  sxSetVisible(gui(1), 0);
  EXPECT_EQ(refusal([&] { control(1).press(); }),
            "control 1 of dialog 50 cannot be pressed: it is hidden");
  sxSetEnabled(d, 0);
  EXPECT_EQ(refusal([&] { control(4).press(); }),
            "control 4 of dialog 50 cannot be pressed: the dialog is disabled");
  sxSetEnabled(d, 1);
  sxHideDialog(d);
  EXPECT_EQ(refusal([&] { control(10).slide(1.0); }),
            "control 10 of dialog 50 cannot be slid: the dialog is hidden");
  EXPECT_EQ(control(2).text(), "start");
  EXPECT_TRUE(activations.empty());
}

// Relievo's dialogs press radio buttons and toggles in the end-to-end tests; what they never do
// is set all of a group themselves, which a user's click then clears.
TEST_F(ControlsTest, AUsersClickClearsTheRestOfItsRadioGroup) {
  for (int id : {5, 6, 7})
    sxToggleButtonSetState(gui(id), 1);
  control(5).press();
  EXPECT_EQ(std::tuple(control(5).checked(), control(6).checked(), control(7).checked()),
            std::tuple(true, false, true));
  EXPECT_EQ(activations, Strings{"5:1"});
  EXPECT_NE(sxToggleButtonSetState(gui(1), 1), 0);
  EXPECT_EQ(host.lastError(), "sxToggleButtonSetState: control 1 of dialog 50 is a push");
}

// Positions count from 1; emptying a list resets its selection and its top.
TEST_F(ControlsTest, OptionMenusAndListsKeepTheirPositionsInRange) {
  for (const char* item : {"a", "b", "c"})
    sxOptionMenuAddItem(gui(8), item);
  EXPECT_EQ(sxOptionMenuSelectItemAtPos(gui(8), 3), 0);
  EXPECT_NE(sxOptionMenuSelectItemAtPos(gui(8), 4), 0);
  EXPECT_EQ(host.lastError(),
            "sxOptionMenuSelectItemAtPos: control 8 of dialog 50 has no position 4");
  EXPECT_EQ(control(8).selectedPos(), 3);

  EXPECT_EQ(sxListSelectItemAtPos(gui(9), 3), 0);
  EXPECT_EQ(sxListSetTopPos(gui(9), 3), 0);
  EXPECT_EQ(sxListDeleteAllItems(gui(9)), 0);
  EXPECT_EQ(std::tuple(control(9).items(), control(9).selectedPos(), control(9).topPos()),
            std::tuple(Strings{}, 0, 1));
  EXPECT_EQ(sxListSetTopPos(gui(9), 1), 0);  // an empty list still shows position 1
  EXPECT_NE(sxListSelectItemAtPos(gui(9), 1), 0);
}

TEST_F(ControlsTest, ScalesClampToTheirRange) {
  EXPECT_EQ(sxScaleSetValue(gui(10), 12.0), 0);
  EXPECT_EQ(control(10).value(), 10.0);
  EXPECT_EQ(sxScaleSetMinMax(gui(10), 0.0001, 0.5), 0);
  EXPECT_EQ(control(10).value(), 0.5);
  // Refusals leave the range alone, as the clamp to 0.0001 below shows.
  const auto refused = [&](int result) { return result != 0 ? host.lastError() : "accepted"; };
  EXPECT_EQ(refused(sxScaleSetValue(gui(10), std::nan(""))),
            "sxScaleSetValue: control 10 of dialog 50: not a number");
  EXPECT_EQ(refused(sxScaleSetMinMax(gui(10), 1.0, 0.0)),
            "sxScaleSetMinMax: control 10 of dialog 50: not a range");
  EXPECT_EQ(refused(sxScaleSetSpinIncrement(gui(10), 0.0)),
            "sxScaleSetSpinIncrement: control 10 of dialog 50: not a positive increment");
  EXPECT_EQ(refused(sxScaleGetValue(gui(10), nullptr)), "sxScaleGetValue: no output");
  EXPECT_EQ(sxScaleSetValue(gui(10), -3.0), 0);
  double v = -1;
  EXPECT_EQ(sxScaleGetValue(gui(10), &v), 0);
  EXPECT_EQ(v, 0.0001);
  control(10).slide(9.0);
  EXPECT_EQ(control(10).value(), 0.5);
}

// Pixmaps: relievo's buttons in the end-to-end tests, their colours in resource_test.cpp.
TEST_F(ControlsTest, CursorsAndAttributes) {
  // The listener hears a change of cursor once.
  std::vector<bool> cursors;
  host.setCursorListener([&](bool wait) { cursors.push_back(wait); });
  sxSetCursor(sxResourceGetCursor(nullptr, SX_CURSOR_WAIT));
  sxSetCursor(sxResourceGetCursor(nullptr, SX_CURSOR_WAIT));
  EXPECT_TRUE(host.waitCursorShown());
  EXPECT_EQ(cursors, std::vector<bool>{true});

  EXPECT_NE(sxControlSetAttribute(gui(12), 5, 1), 0);
  EXPECT_EQ(host.lastError(),
            "sxControlSetAttribute: control 12 of dialog 50: unknown attribute 5");
}

// Every call finds its dialog or control through one lookup of each kind; a handle of another
// type (here a resource) is as unknown as none. Stale handles: DialogLifetime in dialog_test.cpp.
TEST_F(ControlsTest, NullAndForeignHandlesFailWithoutEffect) {
  for (SxGui bad : {static_cast<SxGui>(nullptr), reinterpret_cast<SxGui>(resource)}) {
    EXPECT_NE(sxSetEnabled(bad, 1), 0);
    EXPECT_EQ(sxFindGuiById(bad, 1), nullptr);
    EXPECT_EQ(host.lastError(), "sxFindGuiById: not a dialog");
  }
  EXPECT_TRUE(activations.empty());
}

}  // namespace
