#include "dialog/zscale_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "ded/mapping.h"
#include "ded/units.h"
#include "dialog/source_loader.h"
#include "dialog/test_host.h"

namespace relievo {
namespace {

std::string zScaleControls() {
  std::string controls;
  for (int id : {kRawMinField, kRawMaxField, kDedMinField, kDedMaxField, kMetersMinField,
                 kMetersMaxField, kUnitsScaleField}) {
    controls += testing::textControl(id);
  }
  return controls + R"(, {"id": 1071, "kind": "label", "rect": [0, 0, 10, 10]})";
}

class ZScaleFields : public ::testing::Test {
 protected:
  // A source of the raw range [lo, hi] in `units`, loaded as the loader leaves it.
  void loadRange(double lo, double hi, int units) {
    testing::attach(state, testing::memoryRaster({{static_cast<float>(lo)}}));
    state.ranges.units = units;
    state.ranges.data.dataMin = lo;
    state.ranges.data.dataMax = hi;
    convertRange(&state);
    sxRefreshDialog(state.ui.dialog);
  }
  std::string text(int id) { return hosted.control(id).text(); }

  testing::HostedState hosted{zScaleControls()};
  ToolState& state = hosted.state;
};

TEST_F(ZScaleFields, FeetShowTheThreeRanges) {
  loadRange(0.0, 1000.0, 2);
  EXPECT_EQ(text(kRawMinField), "0");
  EXPECT_EQ(text(kRawMaxField), "1000");
  EXPECT_EQ(text(kMetersMinField), "0");
  EXPECT_EQ(text(kMetersMaxField), "304.8000038");  // the single-precision scale, widened
  EXPECT_EQ(text(kDedMinField), "0");
  EXPECT_EQ(text(kDedMaxField), "304");
  EXPECT_EQ(text(kRawDataLabel), "Raw Data (Feet)");
  EXPECT_EQ(text(kUnitsScaleField), "0.3048");
  // The scale is enabled while a source is loaded, and editable only for "Other Units".
  EXPECT_TRUE(hosted.control(kUnitsScaleField).enabled());
  EXPECT_FALSE(hosted.control(kUnitsScaleField).editable());
  EXPECT_EQ(state.ranges.dedMapFn, &mapLinear);  // the raw range differs from the DED range
  EXPECT_EQ(valueToPost(state.ranges, state.source.undefined, 1000.0, unitsScale(state.ranges)),
            304);
}

TEST_F(ZScaleFields, UnknownUnitsShowMetresAndScaleOne) {
  for (int units : {0, 9, -3}) {
    state.ranges.units = units;
    sxRefreshDialog(state.ui.dialog);
    EXPECT_EQ(text(kRawDataLabel), "Raw Data (Meters)") << units;
    EXPECT_EQ(text(kUnitsScaleField), "1") << units;
    EXPECT_FALSE(hosted.control(kUnitsScaleField).enabled());  // no source
    EXPECT_FALSE(hosted.control(kUnitsScaleField).editable());
  }
}

// Entries typed one after the other; each field shows its value truncated toward zero.
TEST_F(ZScaleFields, DedRangeEntriesAreClampedAndAReversedRangeIsIgnored) {
  // {water (-1 for a file source; else the fractal source's "Water"), field, typed, DED range}
  const std::tuple<int, int, const char*, double, double> steps[] = {
      {-1, kDedMinField, "-40000", -32767, 100},
      {-1, kDedMaxField, "40000", -32767, 32767},
      {-1, kDedMaxField, "500", -32767, 500},
      {-1, kDedMinField, "600", -32767, 500},  // above the maximum: ignored
      {-1, kDedMinField, "not a number", -32767, 500},
      {-1, kDedMinField, "-12.9", -12.9, 500},
      {-1, kDedMaxField, "-20", -12.9, 500},  // below the minimum: ignored
      {1, kDedMinField, "50", 0, 500},        // water: the floor stays at 0
      {0, kDedMinField, "0", 0, 500},         // the current value: nothing happens
      {0, kDedMinField, "20", 20, 500},       // dry: any other value is taken
      {0, kDedMinField, "0", 1, 500},         // dry: 0 becomes 1
      {0, kDedMaxField, "300", 1, 300},
      {1, kDedMinField, "7", 0, 300},
  };
  loadRange(0.0, 100.0, kUnitsMeters);
  for (const auto& [water, field, typed, dedMin, dedMax] : steps) {
    SCOPED_TRACE(typed);
    state.source.sourceKind = water < 0 ? SourceKind::Binary : SourceKind::Fractal;
    state.fractal.fractalWater = water;
    hosted.control(field).type(typed);
    EXPECT_EQ(std::tie(state.ranges.dedMin, state.ranges.dedMax), std::tie(dedMin, dedMax));
    EXPECT_EQ(std::make_pair(text(kDedMinField), text(kDedMaxField)),
              std::make_pair(std::to_string(int(dedMin)), std::to_string(int(dedMax))));
    // A fractal's range follows the DED range, so that it is saved with the settings.
    if (water >= 0) {
      EXPECT_EQ(std::tie(state.fractal.fractalMinimum, state.fractal.fractalMaximum),
                std::tie(dedMin, dedMax));
    }
  }
}

TEST_F(ZScaleFields, AnOtherUnitsScaleConvertsTheRangeOrIsRefusedWithAMessage) {
  loadRange(0.0, 10.0, kUnitsOther);
  EXPECT_TRUE(hosted.control(kUnitsScaleField).editable());
  EXPECT_EQ(text(kRawDataLabel), "Raw Data (Other Units)");
  sxTextSetString(state.ui.statusText, "old status");
  // Besides text that reads as no number, a scale of no metres or fewer is no unit either.
  for (const char* typed : {"abc", "", "0", "-2", "inf"}) {
    hosted.responder().reset();
    hosted.control(kUnitsScaleField).type(typed);
    const auto& messages = hosted.responder().messages();
    EXPECT_EQ(messages.size(), 1u) << typed;  // its text is checked end to end
    EXPECT_EQ(state.ranges.otherUnitsScale, 1.0f) << typed;
    EXPECT_EQ(state.ranges.dedMax, 10.0) << typed;
    EXPECT_EQ(hosted.status(), "old status");
  }
  hosted.responder().reset();
  hosted.control(kUnitsScaleField).type("2.5");
  EXPECT_TRUE(hosted.responder().messages().empty());
  EXPECT_EQ(state.ranges.otherUnitsScale, 2.5f);
  EXPECT_EQ(state.ranges.dedMax, 25.0);
  EXPECT_EQ(text(kMetersMaxField), "25");
  EXPECT_EQ(text(kDedMaxField), "25");
  EXPECT_EQ(text(kUnitsScaleField), "2.5");
  EXPECT_EQ(hosted.status(), "");  // cleared
}

}  // namespace
}  // namespace relievo
