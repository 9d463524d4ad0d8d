#include "plugin/settings.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ranges>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "dialog/source_panel.h"
#include "raster/delimiters.h"
#include "relievo_testing/scratch_dir.h"
#include "sxhost/host.h"

// The order in which the settings are written is only visible at the host's door: these
// definitions stand in front of the host library's, note each key and pass the call on.
namespace {
std::vector<std::string> writes;
}  // namespace

#define NOTE_AND_PASS_ON(Setter, Value)                                         \
  extern "C" int Setter(SxTool tool, const char* key, Value value) {            \
    writes.emplace_back(key);                                                   \
    using Next = int (*)(SxTool, const char*, Value);                           \
    return reinterpret_cast<Next>(dlsym(RTLD_NEXT, #Setter))(tool, key, value); \
  }
NOTE_AND_PASS_ON(sxPluginToolPrefSetInteger, int)
NOTE_AND_PASS_ON(sxPluginToolPrefSetFloat, float)
NOTE_AND_PASS_ON(sxPluginToolPrefSetDouble, double)
NOTE_AND_PASS_ON(sxPluginToolPrefSetString, const char*)

namespace relievo {
namespace {

constexpr char kTool[] = "Relievo";

// Every field that the settings save and load back, so that whole records compare at once.
auto persisted(ToolState& s) {
  SourceLayout& so = s.source;
  ElevationRanges& r = s.ranges;
  Extents& e = s.extents;
  FractalParams& f = s.fractal;
  PreviewBuffers& p = s.preview;
  return std::tie(so.width, so.height, so.headerOffset, so.dataStride, so.byteType, so.sourceKind,
                  so.endianType, so.dataOrder, so.dataOrigin, so.isSigned, r.replaceNullKind,
                  r.replaceNullValue, so.undefined.nullValue, so.undefined.hasNullData,
                  s.ui.displayDms, so.delimiterType, so.otherDelimiter, r.units, e.latStart,
                  e.longStart, e.latEnd, e.longEnd, f.fractalNoise, f.fractalValleys,
                  f.fractalPlateaus, f.fractalWaterLevel, f.fractalMinimum, f.fractalMaximum,
                  f.fractalSeed, f.fractalWater, p.bottomColor.r, p.bottomColor.g, p.bottomColor.b,
                  p.topColor.r, p.topColor.g, p.topColor.b);
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    state.pluginTool = host.addTool(kTool);
    writes.clear();
  }
  void TearDown() override { discardRaster(&state); }

  void store(const std::string& key, sxhost::PrefValue value) {
    host.preferences().set(kTool, key, std::move(value));
  }
  std::optional<sxhost::PrefValue> stored(const std::string& key) {
    return host.preferences().get(kTool, key);
  }
  // A fresh record loaded from what is stored now.
  ToolState reloaded() {
    ToolState fresh{};
    fresh.pluginTool = state.pluginTool;
    settingsLoad(&fresh);
    return fresh;
  }

  sxhost::Host host;
  ToolState state{};
  testing::ScratchDir dir;
};

TEST_F(Settings, AFirstRunStartsFromTheDefaults) {
  state.preview.backgroundColor[1] = 77;
  state.extents.latPosts = 11;
  state.extents.longPosts = 21;
  settingsLoad(&state);
  EXPECT_EQ(persisted(state),
            std::make_tuple(256, 256,  // the fractal's edge, as choosing it in the menu gives
                            0, 0, ByteType::Int8, SourceKind::Fractal, Endian::Little,
                            DataOrder::Rows, DataOrigin::LowerLeft, 0, ReplaceNullKind::DedNull,
                            -32768,  // the replace rule under "DED NULL"
                            0, 0, 1, 5, ' ', 4, 0.0f, 0.0f, 1.0f, 1.0f, 0.0, 0.0001, 0.0001, 0.0,
                            0.0,  // the fractal minimum, water being on
                            255.0, 0u, 1, 0, 60, 0, 0, 255, 0));
  // The spacing rule runs on the loaded corners, (0, 0) ... (1, 1); the background is cleared.
  const std::uint16_t* background = state.preview.backgroundColor;
  EXPECT_EQ(std::make_tuple(state.fractal.fractalSize, state.extents.latSpacing,
                            state.extents.longSpacing, background[0], background[1], background[2],
                            std::string(state.source.fileName), writes.size()),
            std::make_tuple(256, 3600.0f, 1800.0f, 0, 0, 0, "", 0u));
}

TEST_F(Settings, TheSaveWritesEveryKeyInOrderWithItsType) {
  // Runs of keys of one stored type (the index in sxhost::PrefValue), in save order.
  const std::pair<std::size_t, std::string_view> runs[] = {
      {3, "FileName"},
      {0,
       "Band,Width,Height,HeaderOffset,DataStride,ByteType,DataType,EndianType,DataOrder,"
       "DataOrigin,isSigned,ReplaceNullKind,ReplaceNullValue,NullValue,HasNullData,"
       "Display DMS,DelimiterType,Delimiter,Units,RoundToNearest"},
      {1, "LatStart,LongStart,LatEnd,LongEnd"},
      {2,
       "Fractal Noise,Fractal Valleys,Fractal Plateaus,Fractal Water Level,Fractal Minimum,"
       "Fractal Maximum"},
      {0, "Fractal Seed,Fractal Water,BottomRed,BottomGreen,BottomBlue,TopRed,TopGreen,TopBlue"}};
  settingsSave(&state);
  std::vector<std::string> keys;
  for (auto [type, run] : runs) {
    for (const auto key : std::views::split(run, ',')) {
      keys.emplace_back(key.begin(), key.end());
      EXPECT_EQ(stored(keys.back()).value_or("missing").index(), type) << keys.back();
    }
  }
  EXPECT_EQ(writes, keys);
  EXPECT_EQ(host.preferences().tools().at(kTool).size(), keys.size());
}

TEST_F(Settings, SavedValuesComeBackAsTheyWere) {
  const std::string file = dir.write("grid.bin", std::string(40, '\0'));
  fileNameRule(&state, file);
  persisted(state) = std::make_tuple(5, 4, 12, 3, ByteType::Float32, SourceKind::Binary,
                                     Endian::Big, DataOrder::Cols, DataOrigin::UpperLeft, 1,
                                     ReplaceNullKind::Custom, -99, -9999, 1, 0, 6, '#', 2, 36.25f,
                                     -122.5f, 36.75f, -122.0f, 0.3, 0.2, 0.4, 0.1, 5.5, 1234.5,
                                     3000000000u,  // above what a signed integer holds
                                     0, 1, 2, 3, 253, 254, 255);
  // Never saved:
  std::tie(state.source.imageComponent, state.ranges.invert, state.preview.shaded,
           state.ranges.dedMin, state.ranges.dedMax) =
      std::make_tuple(ImageComponent::Blue, 1, 1, -5.0, 5.0);
  settingsSave(&state);

  ToolState loaded = reloaded();
  EXPECT_EQ(loaded.source.fileName, file);
  EXPECT_EQ(loaded.source.fileSize, 40);
  EXPECT_EQ(persisted(loaded), persisted(state));
  EXPECT_EQ(std::tie(loaded.source.imageComponent, loaded.ranges.invert, loaded.preview.shaded,
                     loaded.ranges.dedMin, loaded.ranges.dedMax),
            std::make_tuple(ImageComponent{}, 0, 0, 0.0, 0.0));
}

TEST_F(Settings, FractalMinimumDefaultFollowsTheWaterAndFractalSizeIsNeverWritten) {
  store("Fractal Water", 0);
  EXPECT_EQ(reloaded().fractal.fractalMinimum, 1.0);
  store("Fractal Minimum", 12.5);
  EXPECT_EQ(reloaded().fractal.fractalMinimum, 12.5);

  // A fractal source without a size takes the generator's edge; another kind stays unsized.
  store("Fractal Size", 1000);
  settingsLoad(&state);
  EXPECT_EQ(state.fractal.fractalSize, 1000);
  EXPECT_EQ(std::tie(state.source.width, state.source.height), std::make_tuple(512, 512));
  store("DataType", static_cast<int>(SourceKind::Binary));
  EXPECT_EQ(reloaded().source.width, 0);
  state.fractal.fractalSize = 64;
  settingsSave(&state);
  EXPECT_EQ(stored("Fractal Size"), sxhost::PrefValue(1000));
}

// Units and delimiters out of range fall back; an "Other" character above 127 is saved negative
// and loads back as a space. Colours keep their low byte, and the replace rule runs after the
// keys are read.
TEST_F(Settings, StoredValuesOutOfRangeFallBack) {
  setDelimiterCharacter(state.source, static_cast<char>(200));
  settingsSave(&state);
  EXPECT_EQ(stored("Delimiter"), sxhost::PrefValue(200 - 256));
  // {"Units", "DelimiterType", "Delimiter" stored; units, delimiterType, "Other" character}
  const int cases[][6] = {{1, 1, 1, 1, 1, 1},       {8, 7, 255, 8, 7, 255},
                          {0, 0, 0, 4, 5, ' '},     {9, 8, 256, 4, 5, ' '},
                          {-1, -1, -56, 4, 5, ' '}, {INT32_MIN, INT32_MAX, INT32_MIN, 4, 5, ' '}};
  for (const auto& [units, type, delimiter, wantUnits, wantType, wantOther] : cases) {
    store("Units", units);
    store("DelimiterType", type);
    store("Delimiter", delimiter);
    const ToolState loaded = reloaded();
    EXPECT_EQ(std::tie(loaded.ranges.units, loaded.source.delimiterType),
              std::make_tuple(wantUnits, wantType))
        << units << " " << type;
    EXPECT_EQ(loaded.source.otherDelimiter, static_cast<char>(wantOther)) << delimiter;
  }
  const std::pair<const char*, int> colours[] = {{"BottomRed", 0x1FF},     {"BottomGreen", 300},
                                                 {"BottomBlue", -1},       {"TopRed", 256},
                                                 {"TopGreen", 0x12345678}, {"TopBlue", 17}};
  for (auto [key, value] : colours)
    store(key, value);
  const Rgb8 bottom = reloaded().preview.bottomColor, top = reloaded().preview.topColor;
  EXPECT_EQ(std::tie(bottom.r, bottom.g, bottom.b, top.r, top.g, top.b),
            std::make_tuple(255, 44, 255, 0, 0x78, 17));
  const int rules[][3] = {{1, 5, -32768}, {2, 5, 5}, {2, -32768, -32768}, {2, 32767, 32767}};
  for (const auto& [kind, value, want] : rules) {
    store("ReplaceNullKind", kind);
    store("ReplaceNullValue", value);
    EXPECT_EQ(reloaded().ranges.replaceNullValue, want) << kind << " " << value;
  }
}

TEST_F(Settings, TheStoredFileNameGoesThroughTheFileNameRule) {
  const std::string grid = dir.write("grid.b.txt", "1 2 3 4\n");
  store("FileName", grid);
  settingsLoad(&state);
  EXPECT_EQ(std::tie(state.source.fileName, state.source.fileSize, state.source.dedFileName),
            std::make_tuple(grid, 8, grid.substr(0, grid.size() - 4) + ".ded"));

  // The same name again leaves the raster and the derived fields alone.
  state.raster = rasterAllocate("loaded");
  RasterRec* const loaded = state.raster;
  state.source.fileSize = 777;
  std::snprintf(state.source.dedFileName, sizeof state.source.dedFileName, "keep.ded");
  settingsLoad(&state);
  EXPECT_EQ(
      std::make_tuple(state.raster, state.source.fileSize, std::string(state.source.dedFileName)),
      std::make_tuple(loaded, 777, "keep.ded"));

  // An empty name discards the raster but keeps the name; one too long changes nothing.
  EXPECT_TRUE(fileNameRule(&state, ""));
  EXPECT_EQ(state.raster, nullptr);
  EXPECT_FALSE(fileNameRule(&state, std::string(kPathSize, 'l')));
  EXPECT_EQ(std::make_tuple(state.source.fileName, state.source.fileSize),
            std::make_tuple(grid, 777));

  // A stored name longer than a text may be is cut, never overflowing the record, and its DED
  // name too.
  store("FileName", std::string(3000, 'n'));
  settingsLoad(&state);
  EXPECT_EQ(std::string(state.source.fileName), std::string(kPathSize - 1, 'n'));
  EXPECT_EQ(std::string(state.source.dedFileName), std::string(kPathSize - 5, 'n') + ".ded");
}

}  // namespace
}  // namespace relievo
