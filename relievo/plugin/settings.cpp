#include "plugin/settings.h"

#include <cstdint>
#include <limits>
#include <span>
#include <type_traits>

#include "ded/units.h"
#include "dialog/source_panel.h"
#include "fractal/fractal_source.h"
#include "raster/delimiters.h"

namespace relievo {

namespace {

enum class PrefType {
  Int,     // integer
  Byte,    // integer of which the low 8 bits are taken at load
  Float,   // single precision
  Double,  // double precision
  Path,    // the source file name, taken through the file name rule
};

// Reads and writes one field of ToolState as a number: enumerations as their values,
// unsigned and character fields as the signed 32-bit or 8-bit integers they are stored as.
struct PrefField {
  double (*read)(const ToolState& state);
  void (*write)(ToolState& state, double value);
};

template <typename T>
constexpr double asNumber(T value) {
  if constexpr (std::is_enum_v<T>) {
    return static_cast<double>(static_cast<std::underlying_type_t<T>>(value));
  } else if constexpr (std::is_same_v<T, char>) {
    return static_cast<double>(static_cast<signed char>(value));
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<double>(static_cast<std::int32_t>(value));
  } else {
    return static_cast<double>(value);
  }
}

template <typename T>
constexpr T fromNumber(double value) {
  if constexpr (std::is_enum_v<T>) {
    return static_cast<T>(static_cast<std::underlying_type_t<T>>(value));
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<T>(static_cast<std::int64_t>(value));
  } else {
    return static_cast<T>(value);
  }
}

// The field at the end of a path of members, such as &ToolState::source, &SourceLayout::width.
template <auto... Path>
double readField(const ToolState& state) {
  return asNumber((state.*....*Path));
}
template <auto... Path>
void writeField(ToolState& state, double value) {
  auto& target = (state.*....*Path);
  target = fromNumber<std::remove_reference_t<decltype(target)>>(value);
}
template <auto... Path>
constexpr PrefField field{readField<Path...>, writeField<Path...>};

constexpr PrefField kNoField{nullptr, nullptr};

struct PrefRange {
  double low;
  double high;
};
// No check at load.
constexpr PrefRange kAnyValue{1.0, 0.0};
constexpr double kMaxInt = std::numeric_limits<std::int32_t>::max();
// A character other than NUL, as an unsigned 8-bit code.
constexpr PrefRange kCharacterCodes{1.0, 255.0};

struct PrefRow {
  const char* key;
  PrefType type;
  PrefField field;
  double fallback;  // the default, which also replaces a loaded value outside range
  PrefRange range = kAnyValue;
  bool saved = true;
  // A default that depends on settings loaded before it; such rows load after all others.
  double (*derivedDefault)(const ToolState& state) = nullptr;
};

double fractalMinimumDefault(const ToolState& state) {
  return state.fractal.fractalWater != 0 ? 0.0 : 1.0;
}

using S = ToolState;
using Src = SourceLayout;
using Und = UndefinedData;
using Rng = ElevationRanges;
using Ext = Extents;
using Frc = FractalParams;
using Prv = PreviewBuffers;
using enum PrefType;

constexpr PrefRow kPrefs[] = {
    {"FileName", Path, kNoField, 0.0},
    // After the file name, which starts a new file at band 1.
    {"Band", Int, field<&S::source, &Src::band>, 1.0, {1.0, kMaxInt}},
    {"Width", Int, field<&S::source, &Src::width>, 0.0},
    {"Height", Int, field<&S::source, &Src::height>, 0.0},
    {"HeaderOffset", Int, field<&S::source, &Src::headerOffset>, 0.0},
    {"DataStride", Int, field<&S::source, &Src::dataStride>, 0.0},
    {"ByteType", Int, field<&S::source, &Src::byteType>, 0.0},
    {"DataType", Int, field<&S::source, &Src::sourceKind>, asNumber(SourceKind::Fractal)},
    {"EndianType", Int, field<&S::source, &Src::endianType>, 0.0},
    {"DataOrder", Int, field<&S::source, &Src::dataOrder>, 0.0},
    {"DataOrigin", Int, field<&S::source, &Src::dataOrigin>, 0.0},
    {"isSigned", Int, field<&S::source, &Src::isSigned>, 0.0},
    {"ReplaceNullKind", Int, field<&S::ranges, &Rng::replaceNullKind>,
     asNumber(ReplaceNullKind::DedNull)},
    {"ReplaceNullValue", Int, field<&S::ranges, &Rng::replaceNullValue>, 0.0},
    {"NullValue", Int, field<&S::source, &Src::undefined, &Und::nullValue>, 0.0},
    {"HasNullData", Int, field<&S::source, &Src::undefined, &Und::hasNullData>, 0.0},
    {"Display DMS", Int, field<&S::ui, &DialogHandles::displayDms>, 1.0},
    {"DelimiterType",
     Int,
     field<&S::source, &Src::delimiterType>,
     kDelimiterSpace,
     {1.0, kDelimiterCount}},
    {"Delimiter", Int, field<&S::source, &Src::otherDelimiter>, kDefaultOtherDelimiter,
     kCharacterCodes},
    {"Units", Int, field<&S::ranges, &Rng::units>, kUnitsMeters, {1.0, kUnitsOther}},
    {"RoundToNearest", Int, field<&S::ranges, &Rng::roundPosts>, 0.0, {0.0, 1.0}},
    {"LatStart", Float, field<&S::extents, &Ext::latStart>, 0.0},
    {"LongStart", Float, field<&S::extents, &Ext::longStart>, 0.0},
    {"LatEnd", Float, field<&S::extents, &Ext::latEnd>, kDefaultLatEnd},
    {"LongEnd", Float, field<&S::extents, &Ext::longEnd>, kDefaultLongEnd},
    {"Fractal Noise", Double, field<&S::fractal, &Frc::fractalNoise>, 0.0},
    {"Fractal Valleys", Double, field<&S::fractal, &Frc::fractalValleys>, 0.0001},
    {"Fractal Plateaus", Double, field<&S::fractal, &Frc::fractalPlateaus>, 0.0001},
    {"Fractal Water Level", Double, field<&S::fractal, &Frc::fractalWaterLevel>, 0.0},
    {"Fractal Minimum", Double, field<&S::fractal, &Frc::fractalMinimum>, 0.0, kAnyValue, true,
     fractalMinimumDefault},
    {"Fractal Maximum", Double, field<&S::fractal, &Frc::fractalMaximum>, 255.0},
    {"Fractal Seed", Int, field<&S::fractal, &Frc::fractalSeed>, 0.0},
    {"Fractal Water", Int, field<&S::fractal, &Frc::fractalWater>, 1.0},
    {"Fractal Size", Int, field<&S::fractal, &Frc::fractalSize>, 256.0, kAnyValue, false},
    {"BottomRed", Byte, field<&S::preview, &Prv::bottomColor, &Rgb8::r>, kDefaultBottomColor.r},
    {"BottomGreen", Byte, field<&S::preview, &Prv::bottomColor, &Rgb8::g>, kDefaultBottomColor.g},
    {"BottomBlue", Byte, field<&S::preview, &Prv::bottomColor, &Rgb8::b>, kDefaultBottomColor.b},
    {"TopRed", Byte, field<&S::preview, &Prv::topColor, &Rgb8::r>, kDefaultTopColor.r},
    {"TopGreen", Byte, field<&S::preview, &Prv::topColor, &Rgb8::g>, kDefaultTopColor.g},
    {"TopBlue", Byte, field<&S::preview, &Prv::topColor, &Rgb8::b>, kDefaultTopColor.b},
};

bool inRange(double value, PrefRange range) {
  return range.low > range.high || (value >= range.low && value <= range.high);
}

void loadRow(ToolState* state, const PrefRow& row) {
  const SxTool tool = state->pluginTool;
  const double fallback = row.derivedDefault != nullptr ? row.derivedDefault(*state) : row.fallback;
  double value = fallback;
  switch (row.type) {
    case PrefType::Int:
    case PrefType::Byte: {
      int stored = static_cast<int>(fallback);
      sxPluginToolPrefGetInteger(tool, row.key, &stored, stored);
      value = row.type == PrefType::Byte ? stored & 0xFF : stored;
      break;
    }
    case PrefType::Float: {
      float stored = static_cast<float>(fallback);
      sxPluginToolPrefGetFloat(tool, row.key, &stored, stored);
      value = stored;
      break;
    }
    case PrefType::Double:
      sxPluginToolPrefGetDouble(tool, row.key, &value, fallback);
      break;
    case PrefType::Path: {
      char name[kPathSize] = {};
      sxPluginToolPrefGetString(tool, row.key, name, kPathSize - 1, "");
      fileNameRule(state, name);
      return;
    }
  }
  row.field.write(*state, inRange(value, row.range) ? value : fallback);
}

void saveRow(const ToolState* state, const PrefRow& row) {
  const SxTool tool = state->pluginTool;
  if (row.type == PrefType::Path) {
    sxPluginToolPrefSetString(tool, row.key, state->source.fileName);
    return;
  }
  const double value = row.field.read(*state);
  switch (row.type) {
    case PrefType::Float:
      sxPluginToolPrefSetFloat(tool, row.key, static_cast<float>(value));
      break;
    case PrefType::Double:
      sxPluginToolPrefSetDouble(tool, row.key, value);
      break;
    default:
      sxPluginToolPrefSetInteger(tool, row.key, static_cast<int>(value));
      break;
  }
}

// A fractal source with no size (nothing stored yet, as on a first run) gets the generator's
// edge, as choosing it in the menu does, so that the first load generates the terrain.
void sizeRule(ToolState* state) {
  SourceLayout& source = state->source;
  if (source.sourceKind != SourceKind::Fractal || (source.width != 0 && source.height != 0)) {
    return;
  }
  source.width = source.height = roundFractalSize(state->fractal.fractalSize);
}

}  // namespace

void settingsLoad(ToolState* state) {
  for (std::uint16_t& channel : state->preview.backgroundColor)
    channel = 0;
  for (const PrefRow& row : kPrefs) {
    if (row.derivedDefault == nullptr) loadRow(state, row);
  }
  for (const PrefRow& row : kPrefs) {
    if (row.derivedDefault != nullptr) loadRow(state, row);
  }
  sizeRule(state);
  spacingRule(state->extents);
  replaceValueRule(state->ranges, state->ranges.replaceNullValue);
}

void settingsSave(ToolState* state) {
  for (const PrefRow& row : kPrefs) {
    if (row.saved) saveRow(state, row);
  }
}

}  // namespace relievo
