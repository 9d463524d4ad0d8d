#include "plugin/settings.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "plugin/delimiters.h"
#include "raster/test_files.h"
#include "sxhost/host.h"

// The order in which the settings are written is only visible at the host's door: these
// definitions stand in front of the host library's, note each call and pass it on.
namespace {

enum class Stored { Integer, Float, Double, Text };
std::vector<std::pair<std::string, Stored>> writes;

template <typename Fn>
Fn hostCall(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int sxPluginToolPrefSetInteger(SxTool tool, const char* key, int value) {
  writes.emplace_back(key, Stored::Integer);
  static const auto next = hostCall<int (*)(SxTool, const char*, int)>(__func__);
  return next(tool, key, value);
}

extern "C" int sxPluginToolPrefSetFloat(SxTool tool, const char* key, float value) {
  writes.emplace_back(key, Stored::Float);
  static const auto next = hostCall<int (*)(SxTool, const char*, float)>(__func__);
  return next(tool, key, value);
}

extern "C" int sxPluginToolPrefSetDouble(SxTool tool, const char* key, double value) {
  writes.emplace_back(key, Stored::Double);
  static const auto next = hostCall<int (*)(SxTool, const char*, double)>(__func__);
  return next(tool, key, value);
}

extern "C" int sxPluginToolPrefSetString(SxTool tool, const char* key, const char* value) {
  writes.emplace_back(key, Stored::Text);
  static const auto next = hostCall<int (*)(SxTool, const char*, const char*)>(__func__);
  return next(tool, key, value);
}

namespace relievo {
namespace {

constexpr char kTool[] = "Relievo";

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    state.pluginTool = host.addTool(kTool);
    writes.clear();
  }
  void TearDown() override {
    discardRaster(&state);
    delimitersReset();
  }

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
  testing::TempDir dir;
};

TEST_F(Settings, AFirstRunStartsFromTheDefaults) {
  state.backgroundColor[1] = 77;
  settingsLoad(&state);
  EXPECT_EQ(state.units, 4);
  EXPECT_EQ(state.delimiterType, kDelimiterSpace);
  EXPECT_EQ(delimiterChar(kDelimiterOther), ' ');
  EXPECT_EQ(state.backgroundColor[0], 0);
  EXPECT_EQ(state.backgroundColor[1], 0);
  EXPECT_EQ(state.backgroundColor[2], 0);
  EXPECT_EQ(state.width, 0);
  EXPECT_EQ(state.height, 0);
  EXPECT_EQ(state.headerOffset, 0);
  EXPECT_EQ(state.dataStride, 0);
  EXPECT_EQ(state.byteType, ByteType::Int8);
  EXPECT_EQ(state.sourceKind, SourceKind::Fractal);
  EXPECT_EQ(state.endianType, Endian::Little);
  EXPECT_EQ(state.replaceNullKind, ReplaceNullKind::DedNull);
  EXPECT_EQ(state.replaceNullValue, -32768);  // the rule under "DED NULL"
  EXPECT_EQ(state.nullValue, 0);
  EXPECT_EQ(state.hasNullData, 0);
  EXPECT_EQ(state.dataOrder, DataOrder::Rows);
  EXPECT_EQ(state.dataOrigin, DataOrigin::LowerLeft);
  EXPECT_EQ(state.isSigned, 0);
  EXPECT_EQ(state.latStart, 0.0f);
  EXPECT_EQ(state.longStart, 0.0f);
  EXPECT_EQ(state.latEnd, 1.0f);
  EXPECT_EQ(state.longEnd, 1.0f);
  EXPECT_EQ(state.fractalNoise, 0.0);
  EXPECT_EQ(state.fractalValleys, 0.0001);
  EXPECT_EQ(state.fractalPlateaus, 0.0001);
  EXPECT_EQ(state.fractalWaterLevel, 0.0);
  EXPECT_EQ(state.fractalWater, 1);
  EXPECT_EQ(state.fractalSize, 256);
  EXPECT_EQ(state.fractalSeed, 0u);
  EXPECT_EQ(state.fractalMinimum, 0.0);  // water is on
  EXPECT_EQ(state.fractalMaximum, 255.0);
  EXPECT_EQ(state.displayDms, 1);
  EXPECT_STREQ(state.fileName, "");
  EXPECT_EQ(state.fileSize, 0);
  EXPECT_EQ(state.bottomColor.r, 0);
  EXPECT_EQ(state.bottomColor.g, 60);
  EXPECT_EQ(state.bottomColor.b, 0);
  EXPECT_EQ(state.topColor.r, 0);
  EXPECT_EQ(state.topColor.g, 255);
  EXPECT_EQ(state.topColor.b, 0);
  EXPECT_TRUE(writes.empty());  // loading writes nothing
}

TEST_F(Settings, FractalMinimumDefaultFollowsTheLoadedWater) {
  store("Fractal Water", 0);
  EXPECT_EQ(reloaded().fractalMinimum, 1.0);
  store("Fractal Water", 1);
  EXPECT_EQ(reloaded().fractalMinimum, 0.0);
  store("Fractal Minimum", 12.5);
  EXPECT_EQ(reloaded().fractalMinimum, 12.5);
}

TEST_F(Settings, FractalSizeIsReadButNeverWritten) {
  settingsLoad(&state);
  settingsSave(&state);
  EXPECT_FALSE(stored("Fractal Size").has_value());

  store("Fractal Size", 1000);
  settingsLoad(&state);
  EXPECT_EQ(state.fractalSize, 1000);
  state.fractalSize = 64;
  settingsSave(&state);
  EXPECT_EQ(stored("Fractal Size"), sxhost::PrefValue(1000));
  EXPECT_EQ(reloaded().fractalSize, 1000);
}

TEST_F(Settings, AnOtherCharacterAbove127IsSavedNegativeAndLoadsAsASpace) {
  setDelimiterCharacter(&state, static_cast<char>(200));
  ASSERT_EQ(state.delimiterType, kDelimiterOther);
  settingsSave(&state);
  EXPECT_EQ(stored("Delimiter"), sxhost::PrefValue(200 - 256));
  EXPECT_EQ(stored("DelimiterType"), sxhost::PrefValue(kDelimiterOther));
  delimitersReset();
  setOtherDelimiter('#');
  const ToolState loaded = reloaded();
  EXPECT_EQ(delimiterChar(kDelimiterOther), ' ');
  EXPECT_EQ(loaded.delimiterType, kDelimiterOther);
}

TEST_F(Settings, TheDelimiterSelectionComesBackAsSaved) {
  for (int type = 1; type <= kDelimiterCount; ++type) {
    delimitersReset();
    setOtherDelimiter('#');
    state.delimiterType = type;
    settingsSave(&state);
    delimitersReset();
    const ToolState loaded = reloaded();
    EXPECT_EQ(loaded.delimiterType, type);
    EXPECT_EQ(delimiterChar(kDelimiterOther), '#') << type;
  }
  // A character typed into "Other" that another row holds selects that row, and stays so.
  delimitersReset();
  setDelimiterCharacter(&state, ',');
  settingsSave(&state);
  EXPECT_EQ(reloaded().delimiterType, 4);
}

TEST_F(Settings, OutOfRangeUnitsAndDelimitersFallBack) {
  struct Case {
    int units, delimiterType, delimiter;
    int wantUnits, wantType;
    char wantOther;
  };
  const Case cases[] = {
      {1, 1, 1, 1, 1, '\x01'},
      {8, 7, 255, 8, 7, '\xFF'},
      {0, 0, 0, 4, 5, ' '},
      {9, 8, 256, 4, 5, ' '},
      {-1, -1, -56, 4, 5, ' '},
      {3, 6, '#', 3, 6, '#'},
      {INT32_MIN, INT32_MAX, INT32_MIN, 4, 5, ' '},
  };
  for (const Case& c : cases) {
    store("Units", c.units);
    store("DelimiterType", c.delimiterType);
    store("Delimiter", c.delimiter);
    const ToolState loaded = reloaded();
    EXPECT_EQ(loaded.units, c.wantUnits) << c.units;
    EXPECT_EQ(loaded.delimiterType, c.wantType) << c.delimiterType;
    EXPECT_EQ(delimiterChar(kDelimiterOther), c.wantOther) << c.delimiter;
  }
}

TEST_F(Settings, ColoursKeepOnlyTheLowEightBits) {
  store("BottomRed", 0x1FF);
  store("BottomGreen", 300);
  store("BottomBlue", -1);
  store("TopRed", 256);
  store("TopGreen", 0x12345678);
  store("TopBlue", 17);
  const ToolState loaded = reloaded();
  EXPECT_EQ(loaded.bottomColor.r, 255);
  EXPECT_EQ(loaded.bottomColor.g, 44);
  EXPECT_EQ(loaded.bottomColor.b, 255);
  EXPECT_EQ(loaded.topColor.r, 0);
  EXPECT_EQ(loaded.topColor.g, 0x78);
  EXPECT_EQ(loaded.topColor.b, 17);
}

TEST_F(Settings, TheReplaceRuleRunsAfterTheKeys) {
  struct Case {
    int kind, value, want;
  };
  const Case cases[] = {{1, 5, -32768}, {2, 5, 5}, {2, -32768, -32768}, {2, 32767, 32767}};
  for (const Case& c : cases) {
    store("ReplaceNullKind", c.kind);
    store("ReplaceNullValue", c.value);
    EXPECT_EQ(reloaded().replaceNullValue, c.want) << c.kind << " " << c.value;
  }
}

TEST(ReplaceValueRule, TakesValuesAboveDedNullUnlessDedNullIsChosen) {
  struct Case {
    ReplaceNullKind kind;
    int before, v;
    int after;
    bool changed;
  };
  const Case cases[] = {
      {ReplaceNullKind::DedNull, 7, 9, -32768, true},
      {ReplaceNullKind::DedNull, -32768, 9, -32768, false},
      {ReplaceNullKind::Custom, 7, 9, 9, true},
      {ReplaceNullKind::Custom, 7, 7, 7, false},
      {ReplaceNullKind::Custom, 7, -32768, 7, false},
      {ReplaceNullKind::Custom, 7, -32767, -32767, true},
      {ReplaceNullKind::Custom, 7, INT32_MIN, 7, false},
  };
  for (const Case& c : cases) {
    ToolState state{};
    state.replaceNullKind = c.kind;
    state.replaceNullValue = c.before;
    EXPECT_EQ(replaceValueRule(&state, c.v), c.changed) << c.before << " " << c.v;
    EXPECT_EQ(state.replaceNullValue, c.after) << c.before << " " << c.v;
  }
}

TEST_F(Settings, TheSpacingRuleRunsOnTheLoadedCorners) {
  state.latPosts = 11;
  state.longPosts = 21;
  store("LatStart", 10.0f);
  store("LatEnd", 11.0f);
  store("LongStart", 20.0f);
  store("LongEnd", 22.0f);
  settingsLoad(&state);
  EXPECT_FLOAT_EQ(state.latSpacing, 3600.0f);
  EXPECT_FLOAT_EQ(state.longSpacing, 3600.0f);

  // Neither corner north or east of the other: the spacings keep their values.
  state.latSpacing = 12.5f;
  state.longSpacing = 7.5f;
  store("LatEnd", 9.0f);
  store("LongEnd", 20.0f);
  settingsLoad(&state);
  EXPECT_EQ(state.latStart, 10.0f);
  EXPECT_EQ(state.latEnd, 9.0f);
  EXPECT_EQ(state.latSpacing, 12.5f);
  EXPECT_EQ(state.longSpacing, 7.5f);

  // One passing corner is enough; the span counts whatever its sign.
  store("LongEnd", 21.0f);
  settingsLoad(&state);
  EXPECT_FLOAT_EQ(state.latSpacing, 3600.0f);
  EXPECT_FLOAT_EQ(state.longSpacing, 1800.0f);
}

TEST_F(Settings, TheStoredFileNameGoesThroughTheFileNameRule) {
  const std::string grid = dir.write("grid.b.txt", "1 2 3 4\n");
  store("FileName", grid);
  settingsLoad(&state);
  EXPECT_EQ(state.fileName, grid);
  EXPECT_EQ(state.fileSize, 8);
  EXPECT_EQ(state.dedFileName, grid.substr(0, grid.size() - 4) + ".ded");
  EXPECT_EQ(state.sourceDir, grid.substr(0, grid.rfind('/') + 1));

  // The same name again leaves the raster and the derived fields alone.
  state.raster = rasterAllocate("loaded");
  RasterRec* const loaded = state.raster;
  state.fileSize = 777;
  std::snprintf(state.dedFileName, sizeof state.dedFileName, "keep.ded");
  settingsLoad(&state);
  EXPECT_EQ(state.raster, loaded);
  EXPECT_EQ(state.fileSize, 777);
  EXPECT_STREQ(state.dedFileName, "keep.ded");

  // A stored name longer than a text may be is cut, never overflowing the record.
  store("FileName", std::string(3000, 'n'));
  settingsLoad(&state);
  EXPECT_EQ(std::string(state.fileName), std::string(1023, 'n'));
  EXPECT_EQ(state.raster, nullptr);
}

TEST_F(Settings, FileNameRule) {
  struct Case {
    const char* name;
    const char* dedFileName;
    const char* sourceDir;  // "was" when it keeps its value
  };
  const Case cases[] = {
      {"/a.b/grid", "/a.ded", "/a.b/"},
      {"/data/grid.txt", "/data/grid.ded", "/data/"},
      {"/data/x.tar.gz", "/data/x.tar.ded", "/data/"},
      {"/data/noext", "/data/noext.ded", "/data/"},
      {"grid.txt", "grid.ded", "was"},
      {"plain", "plain.ded", "was"},
      {"/", "/.ded", "/"},
      {".hidden", ".ded", "was"},
  };
  for (const Case& c : cases) {
    ToolState s{};
    std::snprintf(s.sourceDir, sizeof s.sourceDir, "was");
    s.raster = rasterAllocate("x");
    EXPECT_TRUE(fileNameRule(&s, c.name)) << c.name;
    EXPECT_STREQ(s.fileName, c.name);
    EXPECT_STREQ(s.dedFileName, c.dedFileName) << c.name;
    EXPECT_STREQ(s.sourceDir, c.sourceDir) << c.name;
    EXPECT_EQ(s.fileSize, 0) << c.name;  // none of them exists
    EXPECT_EQ(s.raster, nullptr) << c.name;
  }
}

TEST_F(Settings, FileNameRuleWithEmptyAndEqualNames) {
  const std::string file = dir.write("f.dat", std::string(123, 'x'));
  ToolState s{};
  EXPECT_TRUE(fileNameRule(&s, file));
  EXPECT_EQ(s.fileSize, 123);

  s.raster = rasterAllocate("x");
  EXPECT_FALSE(fileNameRule(&s, file));
  EXPECT_NE(s.raster, nullptr);

  // An empty name discards what is loaded but keeps the name.
  EXPECT_TRUE(fileNameRule(&s, ""));
  EXPECT_EQ(s.raster, nullptr);
  EXPECT_EQ(s.fileName, file);
  EXPECT_EQ(s.fileSize, 123);

  // A name too long for the record changes nothing.
  const std::string tooLong(kPathSize, 'l');
  EXPECT_FALSE(fileNameRule(&s, tooLong));
  EXPECT_EQ(s.fileName, file);

  // A dot-heavy name as long as a name may be still gets a terminated DED name.
  std::string longest(kPathSize - 1, 'd');
  longest[0] = '/';
  EXPECT_TRUE(fileNameRule(&s, longest));
  EXPECT_EQ(std::string(s.dedFileName).size(), static_cast<std::size_t>(kPathSize - 1));
  EXPECT_EQ(std::string(s.dedFileName).substr(kPathSize - 5), ".ded");
}

TEST_F(Settings, SaveWritesEveryKeyInOrderWithItsType) {
  settingsLoad(&state);
  writes.clear();
  settingsSave(&state);
  using S = Stored;
  const std::vector<std::pair<std::string, Stored>> expected = {
      {"FileName", S::Text},
      {"Width", S::Integer},
      {"Height", S::Integer},
      {"HeaderOffset", S::Integer},
      {"DataStride", S::Integer},
      {"ByteType", S::Integer},
      {"DataType", S::Integer},
      {"EndianType", S::Integer},
      {"DataOrder", S::Integer},
      {"DataOrigin", S::Integer},
      {"isSigned", S::Integer},
      {"ReplaceNullKind", S::Integer},
      {"ReplaceNullValue", S::Integer},
      {"NullValue", S::Integer},
      {"HasNullData", S::Integer},
      {"Display DMS", S::Integer},
      {"DelimiterType", S::Integer},
      {"Delimiter", S::Integer},
      {"Units", S::Integer},
      {"LatStart", S::Float},
      {"LongStart", S::Float},
      {"LatEnd", S::Float},
      {"LongEnd", S::Float},
      {"Fractal Noise", S::Double},
      {"Fractal Valleys", S::Double},
      {"Fractal Plateaus", S::Double},
      {"Fractal Water Level", S::Double},
      {"Fractal Minimum", S::Double},
      {"Fractal Maximum", S::Double},
      {"Fractal Seed", S::Integer},
      {"Fractal Water", S::Integer},
      {"BottomRed", S::Integer},
      {"BottomGreen", S::Integer},
      {"BottomBlue", S::Integer},
      {"TopRed", S::Integer},
      {"TopGreen", S::Integer},
      {"TopBlue", S::Integer},
  };
  EXPECT_EQ(writes, expected);

  // The host holds exactly these keys, each with the type it was written with.
  const auto& held = host.preferences().tools().at(kTool);
  EXPECT_EQ(held.size(), expected.size());
  for (const auto& [key, type] : expected) {
    const auto value = stored(key);
    ASSERT_TRUE(value.has_value()) << key;
    EXPECT_EQ(value->index(), static_cast<std::size_t>(type)) << key;
  }
}

TEST_F(Settings, SavedValuesComeBackAsTheyWere) {
  const std::string file = dir.write("grid.bin", std::string(40, '\0'));
  fileNameRule(&state, file);
  state.width = 5;
  state.height = 4;
  state.headerOffset = 12;
  state.dataStride = 3;
  state.byteType = ByteType::Float32;
  state.sourceKind = SourceKind::Binary;
  state.endianType = Endian::Big;
  state.dataOrder = DataOrder::Cols;
  state.dataOrigin = DataOrigin::UpperLeft;
  state.isSigned = 1;
  state.replaceNullKind = ReplaceNullKind::Custom;
  state.replaceNullValue = -99;
  state.nullValue = -9999;
  state.hasNullData = 1;
  state.displayDms = 0;
  state.delimiterType = 6;
  state.units = 2;
  state.latStart = 36.25f;
  state.longStart = -122.5f;
  state.latEnd = 36.75f;
  state.longEnd = -122.0f;
  state.fractalNoise = 0.3;
  state.fractalValleys = 0.2;
  state.fractalPlateaus = 0.4;
  state.fractalWaterLevel = 0.1;
  state.fractalMinimum = 5.5;
  state.fractalMaximum = 1234.5;
  state.fractalSeed = 3000000000u;  // above what a signed integer holds
  state.fractalWater = 0;
  state.bottomColor = {1, 2, 3};
  state.topColor = {253, 254, 255};
  // Never saved:
  state.imageComponent = ImageComponent::Blue;
  state.invert = 1;
  state.shaded = 1;
  state.dedMin = -5.0;
  state.dedMax = 500.0;
  settingsSave(&state);

  const ToolState l = reloaded();
  EXPECT_EQ(l.fileName, std::string(file));
  EXPECT_EQ(l.fileSize, 40);
  EXPECT_EQ(l.width, 5);
  EXPECT_EQ(l.height, 4);
  EXPECT_EQ(l.headerOffset, 12);
  EXPECT_EQ(l.dataStride, 3);
  EXPECT_EQ(l.byteType, ByteType::Float32);
  EXPECT_EQ(l.sourceKind, SourceKind::Binary);
  EXPECT_EQ(l.endianType, Endian::Big);
  EXPECT_EQ(l.dataOrder, DataOrder::Cols);
  EXPECT_EQ(l.dataOrigin, DataOrigin::UpperLeft);
  EXPECT_EQ(l.isSigned, 1);
  EXPECT_EQ(l.replaceNullKind, ReplaceNullKind::Custom);
  EXPECT_EQ(l.replaceNullValue, -99);
  EXPECT_EQ(l.nullValue, -9999);
  EXPECT_EQ(l.hasNullData, 1);
  EXPECT_EQ(l.displayDms, 0);
  EXPECT_EQ(l.delimiterType, 6);
  EXPECT_EQ(l.units, 2);
  EXPECT_EQ(l.latStart, 36.25f);
  EXPECT_EQ(l.longStart, -122.5f);
  EXPECT_EQ(l.latEnd, 36.75f);
  EXPECT_EQ(l.longEnd, -122.0f);
  EXPECT_EQ(l.fractalNoise, 0.3);
  EXPECT_EQ(l.fractalValleys, 0.2);
  EXPECT_EQ(l.fractalPlateaus, 0.4);
  EXPECT_EQ(l.fractalWaterLevel, 0.1);
  EXPECT_EQ(l.fractalMinimum, 5.5);
  EXPECT_EQ(l.fractalMaximum, 1234.5);
  EXPECT_EQ(l.fractalSeed, 3000000000u);
  EXPECT_EQ(l.fractalWater, 0);
  EXPECT_EQ(l.bottomColor.r, 1);
  EXPECT_EQ(l.bottomColor.g, 2);
  EXPECT_EQ(l.bottomColor.b, 3);
  EXPECT_EQ(l.topColor.r, 253);
  EXPECT_EQ(l.topColor.g, 254);
  EXPECT_EQ(l.topColor.b, 255);
  EXPECT_EQ(l.imageComponent, static_cast<ImageComponent>(0));  // not a preference
  EXPECT_EQ(l.invert, 0);
  EXPECT_EQ(l.shaded, 0);
  EXPECT_EQ(l.dedMin, 0.0);
  EXPECT_EQ(l.dedMax, 0.0);
}

}  // namespace
}  // namespace relievo
