// Test helpers for the dialog's code: a stand-in host with one shown dialog 100 that holds
// only the controls a test names, and a ToolState wired to it the way the dialog's init event
// wires the real one (the in-memory sources are raster/test_files.h's).
#ifndef RELIEVO_DIALOG_TEST_HOST_H
#define RELIEVO_DIALOG_TEST_HOST_H

#include <string>
#include <string_view>

#include "ded/units.h"
#include "dialog/main_dialog.h"
#include "dialog/tool_state.h"
#include "raster/delimiters.h"
#include "raster/test_files.h"
#include "sxapilib.h"
#include "sxhost/host.h"

namespace relievo::testing {

// Controls that most tests need: status line, progress bar, the preview GL control with a
// view whose smaller side is 210 (as in the product's dialog) and "Generate DED".
inline constexpr std::string_view kBaseControls = R"(
  {"id": 5, "kind": "label", "rect": [0, 0, 10, 10]},
  {"id": 1068, "kind": "progress", "rect": [0, 0, 10, 10]},
  {"id": 1036, "kind": "gl", "view": [210, 260], "rect": [0, 0, 10, 10]},
  {"id": 1044, "kind": "push", "label": "Generate DED", "rect": [0, 0, 10, 10]})";

// A text control of dialog 100, for building control lists.
inline std::string textControl(int id) {
  return R"(, {"id": )" + std::to_string(id) + R"(, "kind": "text", "rect": [0, 0, 10, 10]})";
}

// Host, dialog and state for one test. The state starts with the creation values and the
// settings defaults that matter to the converter (metres, DED NULL, DMS display).
class HostedState {
 public:
  explicit HostedState(std::string_view extraControls = "")
      : record(toolStateAllocate(nullptr, nullptr)), state(*record) {
    const std::string json = R"({"dialogs": [{"id": 100, "size": [300, 300], "controls": [)" +
                             std::string(kBaseControls) + std::string(extraControls) + "]}]}";
    state.resource = host.loadResourceJson(json);
    state.ranges.units = kUnitsMeters;
    state.source.delimiterType = kDelimiterSpace;
    state.ranges.replaceNullKind = ReplaceNullKind::DedNull;
    state.ranges.replaceNullValue = kDedNull;
    state.ui.displayDms = 1;
    state.source.sourceKind = SourceKind::Binary;
    state.ui.dialog =
        sxResourceGetDialog(nullptr, state.resource, kMainDialogTemplate, 0, nullptr, nullptr);
    buildMainDialog(&state);
    sxShowDialog(state.ui.dialog);
  }
  ~HostedState() { toolStateFree(record); }
  HostedState(const HostedState&) = delete;
  HostedState& operator=(const HostedState&) = delete;

  sxhost::Dialog& dialog() { return host.dialog(kMainDialogTemplate); }
  sxhost::Control& control(int id) { return dialog().control(id); }
  sxhost::ScriptedResponder& responder() { return host.responder(); }
  std::string status() { return control(kStatusLine).text(); }

  sxhost::Host host;
  ToolState* record;
  ToolState& state;
};

// Puts a source into the state as the loader would leave the dimensions.
inline void attach(ToolState& state, RasterRec* raster) {
  state.raster = raster;
  state.source.width = raster->width;
  state.source.height = raster->height;
  state.extents.latPosts = static_cast<float>(raster->height);
  state.extents.longPosts = static_cast<float>(raster->width);
}

}  // namespace relievo::testing

#endif  // RELIEVO_DIALOG_TEST_HOST_H
