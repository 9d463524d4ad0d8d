#include "plugin/settings.h"

#include <algorithm>
#include <cstring>

#include "plugin/delimiters.h"
#include "plugin/spacing.h"

namespace relievo {

namespace {

constexpr int kUnitsDefault = 4;
constexpr int kUnitsCount = 8;

int getInt(const ToolState* state, const char* key, int def) {
  int value = def;
  sxPluginToolPrefGetInteger(state->pluginTool, key, &value, def);
  return value;
}

float getFloat(const ToolState* state, const char* key, float def) {
  float value = def;
  sxPluginToolPrefGetFloat(state->pluginTool, key, &value, def);
  return value;
}

double getDouble(const ToolState* state, const char* key, double def) {
  double value = def;
  sxPluginToolPrefGetDouble(state->pluginTool, key, &value, def);
  return value;
}

template <typename Enum>
Enum getEnum(const ToolState* state, const char* key, Enum def) {
  return static_cast<Enum>(getInt(state, key, static_cast<int>(def)));
}

int inRangeOr(int value, int low, int high, int fallback) {
  return value >= low && value <= high ? value : fallback;
}

std::uint8_t getColor(const ToolState* state, const char* key, std::uint8_t def) {
  return static_cast<std::uint8_t>(getInt(state, key, def) & 0xFF);
}

void setInt(const ToolState* state, const char* key, int value) {
  sxPluginToolPrefSetInteger(state->pluginTool, key, value);
}

template <typename Enum>
void setEnum(const ToolState* state, const char* key, Enum value) {
  setInt(state, key, static_cast<int>(value));
}

void setFloat(const ToolState* state, const char* key, float value) {
  sxPluginToolPrefSetFloat(state->pluginTool, key, value);
}

void setDouble(const ToolState* state, const char* key, double value) {
  sxPluginToolPrefSetDouble(state->pluginTool, key, value);
}

}  // namespace

void settingsLoad(ToolState* state) {
  state->units = inRangeOr(getInt(state, "Units", kUnitsDefault), 1, kUnitsCount, kUnitsDefault);
  const int type = getInt(state, "DelimiterType", kDelimiterSpace);
  const int character = getInt(state, "Delimiter", ' ');
  state->delimiterType = inRangeOr(type, 1, kDelimiterCount, kDelimiterSpace);
  setOtherDelimiter(static_cast<char>(inRangeOr(character, 1, 255, ' ')));

  state->backgroundColor[0] = state->backgroundColor[1] = state->backgroundColor[2] = 0;

  state->width = getInt(state, "Width", 0);
  state->height = getInt(state, "Height", 0);
  state->headerOffset = getInt(state, "HeaderOffset", 0);
  state->dataStride = getInt(state, "DataStride", 0);
  state->byteType = getEnum(state, "ByteType", ByteType::Int8);
  state->sourceKind = getEnum(state, "DataType", SourceKind::Fractal);
  state->endianType = getEnum(state, "EndianType", Endian::Little);
  state->replaceNullKind = getEnum(state, "ReplaceNullKind", ReplaceNullKind::DedNull);
  state->replaceNullValue = getInt(state, "ReplaceNullValue", 0);
  state->nullValue = getInt(state, "NullValue", 0);
  state->hasNullData = getInt(state, "HasNullData", 0);
  state->dataOrder = getEnum(state, "DataOrder", DataOrder::Rows);
  state->dataOrigin = getEnum(state, "DataOrigin", DataOrigin::LowerLeft);
  state->isSigned = getInt(state, "isSigned", 0);

  state->latStart = getFloat(state, "LatStart", 0.0f);
  state->longStart = getFloat(state, "LongStart", 0.0f);
  state->latEnd = getFloat(state, "LatEnd", 1.0f);
  state->longEnd = getFloat(state, "LongEnd", 1.0f);
  spacingRule(state);

  state->fractalNoise = getDouble(state, "Fractal Noise", 0.0);
  state->fractalValleys = getDouble(state, "Fractal Valleys", 0.0001);
  state->fractalPlateaus = getDouble(state, "Fractal Plateaus", 0.0001);
  state->fractalWaterLevel = getDouble(state, "Fractal Water Level", 0.0);
  state->fractalWater = getInt(state, "Fractal Water", 1);
  state->fractalSize = getInt(state, "Fractal Size", 256);
  state->fractalSeed = static_cast<std::uint32_t>(getInt(state, "Fractal Seed", 0));
  state->fractalMinimum = getDouble(state, "Fractal Minimum", state->fractalWater != 0 ? 0.0 : 1.0);
  state->fractalMaximum = getDouble(state, "Fractal Maximum", 255.0);

  state->displayDms = getInt(state, "Display DMS", 1);

  char fileName[kPathSize] = {};
  sxPluginToolPrefGetString(state->pluginTool, "FileName", fileName, kPathSize - 1, "");
  fileNameRule(state, fileName);

  state->bottomColor = {getColor(state, "BottomRed", kDefaultBottomColor.r),
                        getColor(state, "BottomGreen", kDefaultBottomColor.g),
                        getColor(state, "BottomBlue", kDefaultBottomColor.b)};
  state->topColor = {getColor(state, "TopRed", kDefaultTopColor.r),
                     getColor(state, "TopGreen", kDefaultTopColor.g),
                     getColor(state, "TopBlue", kDefaultTopColor.b)};

  replaceValueRule(state, state->replaceNullValue);
}

void settingsSave(ToolState* state) {
  sxPluginToolPrefSetString(state->pluginTool, "FileName", state->fileName);

  setInt(state, "Width", state->width);
  setInt(state, "Height", state->height);
  setInt(state, "HeaderOffset", state->headerOffset);
  setInt(state, "DataStride", state->dataStride);
  setEnum(state, "ByteType", state->byteType);
  setEnum(state, "DataType", state->sourceKind);
  setEnum(state, "EndianType", state->endianType);
  setEnum(state, "DataOrder", state->dataOrder);
  setEnum(state, "DataOrigin", state->dataOrigin);
  setInt(state, "isSigned", state->isSigned);
  setEnum(state, "ReplaceNullKind", state->replaceNullKind);
  setInt(state, "ReplaceNullValue", state->replaceNullValue);
  setInt(state, "NullValue", state->nullValue);
  setInt(state, "HasNullData", state->hasNullData);
  setInt(state, "Display DMS", state->displayDms);

  setInt(state, "DelimiterType", state->delimiterType);
  // The character is stored as a signed 8-bit one: above 127 it comes back as a space.
  setInt(state, "Delimiter", static_cast<signed char>(delimiterChar(kDelimiterOther)));

  setInt(state, "Units", state->units);

  setFloat(state, "LatStart", state->latStart);
  setFloat(state, "LongStart", state->longStart);
  setFloat(state, "LatEnd", state->latEnd);
  setFloat(state, "LongEnd", state->longEnd);

  setDouble(state, "Fractal Noise", state->fractalNoise);
  setDouble(state, "Fractal Valleys", state->fractalValleys);
  setDouble(state, "Fractal Plateaus", state->fractalPlateaus);
  setDouble(state, "Fractal Water Level", state->fractalWaterLevel);
  setDouble(state, "Fractal Minimum", state->fractalMinimum);
  setDouble(state, "Fractal Maximum", state->fractalMaximum);

  setInt(state, "Fractal Seed", static_cast<int>(state->fractalSeed));
  setInt(state, "Fractal Water", state->fractalWater);

  setInt(state, "BottomRed", state->bottomColor.r);
  setInt(state, "BottomGreen", state->bottomColor.g);
  setInt(state, "BottomBlue", state->bottomColor.b);
  setInt(state, "TopRed", state->topColor.r);
  setInt(state, "TopGreen", state->topColor.g);
  setInt(state, "TopBlue", state->topColor.b);
}

bool fileNameRule(ToolState* state, std::string_view name) {
  if (name.empty()) {
    discardRaster(state);
    return true;
  }
  // A name that does not fit the record's buffer cannot be opened as given either.
  if (name.size() >= kPathSize || name == state->fileName) return false;

  std::memcpy(state->fileName, name.data(), name.size());
  state->fileName[name.size()] = '\0';
  if (const auto slash = name.rfind('/'); slash != std::string_view::npos) {
    std::memcpy(state->sourceDir, name.data(), slash + 1);
    state->sourceDir[slash + 1] = '\0';
  }
  state->fileSize = rasterFileSize(name);

  // Cut at the last '.' anywhere in the path, as the name's users expect of this rule, even
  // when the dot belongs to a directory.
  const std::string_view stem = name.substr(0, std::min(name.rfind('.'), name.size()));
  constexpr std::string_view kDed = ".ded";
  const std::size_t length = std::min(stem.size(), kPathSize - 1 - kDed.size());
  std::memcpy(state->dedFileName, stem.data(), length);
  std::memcpy(state->dedFileName + length, kDed.data(), kDed.size());
  state->dedFileName[length + kDed.size()] = '\0';

  discardRaster(state);
  return true;
}

bool replaceValueRule(ToolState* state, int v) {
  const int before = state->replaceNullValue;
  if (state->replaceNullKind == ReplaceNullKind::DedNull) {
    state->replaceNullValue = kDedNull;
  } else if (v > kDedNull) {
    state->replaceNullValue = v;
  }
  return state->replaceNullValue != before;
}

}  // namespace relievo
