// Test helpers for code that talks to the host: a stand-in host with one shown dialog 100
// that holds only the controls a test names, a ToolState wired to it the way the dialog's
// init event wires the real one, and small in-memory sources.
#ifndef RELIEVO_PLUGIN_TEST_HOST_H
#define RELIEVO_PLUGIN_TEST_HOST_H

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ded/units.h"
#include "dialog/main_dialog.h"
#include "fractal/fractal_source.h"
#include "plugin/delimiters.h"
#include "plugin/tool_state.h"
#include "raster/image_reader.h"
#include "raster/raster.h"
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
// settings defaults that matter to the converter's core (metres, DED NULL, DMS display).
class HostedState {
 public:
  explicit HostedState(std::string_view extraControls = "") {
    const std::string json = R"({"dialogs": [{"id": 100, "size": [300, 300], "controls": [)" +
                             std::string(kBaseControls) + std::string(extraControls) + "]}]}";
    state.resource = host.loadResourceJson(json);
    state.topColor = kDefaultTopColor;
    state.bottomColor = kDefaultBottomColor;
    state.imageComponent = ImageComponent::Intensity;
    state.componentMask = componentBit(ImageComponent::Intensity);
    state.units = kUnitsMeters;
    state.delimiterType = 5;
    state.replaceNullKind = ReplaceNullKind::DedNull;
    state.replaceNullValue = kDedNull;
    state.displayDms = 1;
    state.sourceKind = SourceKind::Binary;
    state.dialog =
        sxResourceGetDialog(nullptr, state.resource, kMainDialogTemplate, 0, nullptr, nullptr);
    buildMainDialog(&state);
    sxShowDialog(state.dialog);
  }
  ~HostedState() {
    discardRaster(&state);
    previewBuffersFree(&state);
    fractalFreeCache();
    rasterFreeImageCache();
    unitsReset();
    delimitersReset();
  }
  HostedState(const HostedState&) = delete;
  HostedState& operator=(const HostedState&) = delete;

  sxhost::Dialog& dialog() { return host.dialog(kMainDialogTemplate); }
  sxhost::Control& control(int id) { return dialog().control(id); }
  sxhost::ScriptedResponder& responder() { return host.responder(); }
  std::string status() { return control(kStatusLine).text(); }

  sxhost::Host host;
  ToolState state{};
};

// An in-memory source of width x height values in row order, first row first, as the text,
// image and fractal readers leave one: no stored range unless a test sets it.
inline RasterRec* memoryRaster(int width, int height, std::span<const float> values) {
  RasterRec* raster = rasterAllocate("");
  if (raster == nullptr) return nullptr;
  raster->width = width;
  raster->height = height;
  // One spare value keeps the block non-empty for a source without values.
  raster->values =
      static_cast<float*>(sxMalloc((static_cast<std::size_t>(width) * height + 1) * sizeof(float)));
  std::copy(values.begin(), values.end(), raster->values);
  rasterUseMemoryVariant(raster);
  return raster;
}

// Same, from rows of equal length.
inline RasterRec* memoryRaster(std::initializer_list<std::initializer_list<float>> rows) {
  std::vector<float> values;
  for (const auto& row : rows)
    values.insert(values.end(), row.begin(), row.end());
  const int width = rows.size() == 0 ? 0 : static_cast<int>(rows.begin()->size());
  return memoryRaster(width, static_cast<int>(rows.size()), values);
}

// Puts a source into the state as the loader would leave the dimensions.
inline void attach(ToolState& state, RasterRec* raster) {
  state.raster = raster;
  state.width = raster->width;
  state.height = raster->height;
  state.latPosts = static_cast<float>(raster->height);
  state.longPosts = static_cast<float>(raster->width);
}

}  // namespace relievo::testing

#endif  // RELIEVO_PLUGIN_TEST_HOST_H
