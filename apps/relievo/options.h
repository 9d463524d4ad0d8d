// The command line of `relievo`: what the user asked for, checked and converted, before any
// host exists.
//
//   relievo [INPUT] [options]                      convert one source into a DED file
//   relievo inspect FILE.ded [--json] [--png FILE] [--vrt FILE]
//                                                  show and check a DED file; draw it; a VRT
//   relievo --version                              the version, and GDAL's
//
// parseCommandLine never prints and never exits: it returns a help text to show, or the
// parsed command, or throws UsageError with a one-line reason (exit status 2). Every value
// is checked against what its option takes here; whether an option fits the source kind
// is checked later, once the stored settings are known (see conversion.h).
//
// Each option of a conversion is one row of a table (options.cpp): its names, its group and
// value name in the help, its help text, and the field it sets with how it reads its value.
// CLI11 declares the option, checks its value and writes the typed field from that row.
#ifndef RELIEVO_APPS_OPTIONS_H
#define RELIEVO_APPS_OPTIONS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "errors.h"
#include "source_kinds.h"

namespace relievo::cli {

enum class ElementType { U8, I8, U16, I16, U32, I32, F32, F64 };
enum class ByteOrder { Little, Big };
enum class DataOrder { Rows, Cols };
enum class Origin { LowerLeft, UpperLeft };
enum class Component { Intensity, Red, Green, Blue, Alpha };

// Positions of the "Raw Data in" units menu.
enum class Unit { Inches = 1, Feet, Centimeters, Meters, Kilometers, Miles, NauticalMiles, Other };

struct LatLon {
  double lat = 0.0;
  double lon = 0.0;
};

struct ViewSize {
  int width = 0;
  int height = 0;
};

struct Colour {
  int r = 0, g = 0, b = 0;
};

struct ColourRamp {
  Colour bottom;
  Colour top;
};

// "--scan [LINE]": the listed line LINE (1-based) is the first data line; 0 picks the first
// listed line that begins with a number.
struct ScanLine {
  int line = 0;
};

// "--replace ded-null" or "--replace V".
struct Replacement {
  bool dedNull = true;
  int value = 0;
};

struct ConvertOptions {
  std::optional<SourceKind> source;
  bool sourceDetected = false;      // told from the file's content, not given
  std::optional<std::string> file;  // --file or the input named without an option
  std::optional<int> band;
  std::optional<int> width, height, offset, stride;
  std::optional<ElementType> type;
  std::optional<ByteOrder> byteOrder;
  std::optional<DataOrder> order;
  std::optional<Origin> origin;
  std::optional<char> delimiter;
  std::optional<Component> component;
  std::optional<ScanLine> scan;

  std::optional<std::uint32_t> seed;
  std::optional<double> noise, valleys, plateaus, waterLevel;
  std::optional<bool> water;
  std::optional<int> size;

  std::optional<int> nodata;
  std::optional<Replacement> replace;

  std::optional<Unit> units;
  std::optional<double> unitScale;
  std::optional<double> dedMin, dedMax;
  bool invert = false;
  bool round = false;

  std::optional<LatLon> sw, ne;

  std::optional<std::string> output;
  std::optional<std::string> preview;
  std::optional<ViewSize> previewSize;
  bool shaded = false;
  std::optional<ColourRamp> colors;
  std::optional<std::string> settings;
  bool yes = false;
  bool quiet = false;
};

struct InspectOptions {
  std::string file;
  bool json = false;
  std::optional<std::string> png;
  std::optional<std::string> vrt;
};

struct Command {
  enum class Kind { Help, Version, Convert, Inspect };
  Kind kind = Kind::Convert;
  std::string help;  // Kind::Help: the text to print, then exit 0
  ConvertOptions convert;
  InspectOptions inspect;
};

// args[0] is the program name.
Command parseCommandLine(const std::vector<std::string>& args);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_OPTIONS_H
