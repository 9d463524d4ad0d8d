#include "option_check.h"

#include <string>

namespace relievo::cli {

namespace {

// The kinds of source an option fits: a bit per kind, and one for every kind that reads a file.
using Kinds = unsigned;

constexpr Kinds bitOf(SourceKind kind) {
  return 1u << static_cast<int>(kind);
}

constexpr Kinds kAnyFile = 1u;
constexpr Kinds kAscii = bitOf(SourceKind::Ascii);
constexpr Kinds kBinary = bitOf(SourceKind::Binary);
constexpr Kinds kImage = bitOf(SourceKind::Image);
constexpr Kinds kFractal = bitOf(SourceKind::Fractal);
constexpr Kinds kGeo = bitOf(SourceKind::Geo);
// A geo raster's rows come in the order and from the corner its georeferencing says.
constexpr Kinds kOriented = kAscii | kBinary | kImage | kFractal;

bool fitsKind(Kinds kinds, SourceKind kind) {
  return (kinds & bitOf(kind)) != 0 || ((kinds & kAnyFile) != 0 && sourceKindRow(kind).readsFile);
}

struct OptionFit {
  const char* name;
  bool given;
  Kinds kinds;
};

// "--source ascii" when the options chose the kind, else the kind the file was taken for or
// the stored kind, with a hint.
std::string sourceName(const ConvertOptions& o, SourceKind kind) {
  const std::string word(sourceKindRow(kind).word);
  if (o.source && !o.sourceDetected) return "--source " + word;
  const std::string which = o.sourceDetected
                                ? "the " + word + " source that " + *o.file + " was taken for"
                                : "the stored " + word + " source";
  return which + "; choose the kind of source with --source " + sourceKindWords();
}

}  // namespace

StoredSettings storedSettings(const sxhost::Preferences& prefs) {
  StoredSettings s;
  const auto integer = [&](const char* key) { return prefs.getInteger(kToolName, key); };
  if (const auto kind = integer("DataType")) {
    s.sourceKind = storedSourceKind(*kind);
  }
  s.byteType = integer("ByteType").value_or(0);
  s.water = integer("Fractal Water").value_or(1) != 0;
  const int units = integer("Units").value_or(4);
  s.units = units >= 1 && units <= 8 ? static_cast<Unit>(units) : Unit::Meters;
  s.hasNullData = integer("HasNullData").value_or(0) != 0;
  s.fractalSize = integer("Fractal Size").value_or(256);
  return s;
}

void checkOptionsFit(const ConvertOptions& o, const StoredSettings& stored) {
  const std::optional<SourceKind> kind = o.source ? o.source : stored.sourceKind;
  if (kind) {
    const OptionFit fits[] = {
        {"--file", o.file.has_value(), kAnyFile},
        {"--width", o.width.has_value(), kAscii | kBinary},
        {"--height", o.height.has_value(), kAscii | kBinary},
        {"--offset", o.offset.has_value(), kAscii | kBinary},
        {"--stride", o.stride.has_value(), kBinary},
        {"--type", o.type.has_value(), kBinary},
        {"--byte-order", o.byteOrder.has_value(), kBinary},
        {"--order", o.order.has_value(), kOriented},
        {"--origin", o.origin.has_value(), kOriented},
        {"--band", o.band.has_value(), kGeo},
        {"--delimiter", o.delimiter.has_value(), kAscii},
        {"--scan", o.scan.has_value(), kAscii},
        {"--component", o.component.has_value(), kImage},
        {"--nodata", o.nodata.has_value(), kAnyFile},
        {"--replace", o.replace.has_value(), kAnyFile},
        {"--seed", o.seed.has_value(), kFractal},
        {"--noise", o.noise.has_value(), kFractal},
        {"--valleys", o.valleys.has_value(), kFractal},
        {"--plateaus", o.plateaus.has_value(), kFractal},
        {o.water.value_or(true) ? "--water" : "--no-water", o.water.has_value(), kFractal},
        {"--water-level", o.waterLevel.has_value(), kFractal},
        {"--size", o.size.has_value(), kFractal},
    };
    for (const OptionFit& f : fits) {
      if (f.given && !fitsKind(f.kinds, *kind)) {
        throw UsageError(std::string(f.name) + " does not apply to " + sourceName(o, *kind));
      }
    }
  }
  if (o.byteOrder) {
    const bool oneByte =
        o.type ? (*o.type == ElementType::U8 || *o.type == ElementType::I8) : stored.byteType == 0;
    if (oneByte) throw UsageError("--byte-order does not apply to 1-byte elements");
  }
  if (o.waterLevel && !o.water.value_or(stored.water)) {
    throw UsageError("--water-level needs water on (--water)");
  }
  if (o.unitScale && o.units.value_or(stored.units) != Unit::Other) {
    throw UsageError("--unit-scale applies to --units other only");
  }
  if (o.replace && !o.nodata && !stored.hasNullData) {
    throw UsageError("--replace needs --nodata (the value of undefined data)");
  }
}

}  // namespace relievo::cli
