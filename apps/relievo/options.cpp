#include "options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "sxhost/gui.h"

namespace relievo::cli {

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();
// DED posts are 16-bit; -32768 is "DED NULL" and no elevation.
constexpr int kPostMin = -32767;
constexpr int kPostMax = 32767;
// The fractal generator's edge lengths: 4 ... 4096, powers of two.
constexpr int kFractalMinSize = 4;
constexpr int kFractalMaxSize = 4096;
// The Scan File dialog lists the first 40 lines of a file.
constexpr int kScanLines = 40;

std::string quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

std::string number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

[[noreturn]] void fail(std::string_view option, const std::string& reason) {
  throw UsageError(std::string(option) + ": " + reason);
}

// parseInteger within the bounds of an int.
int parseInt(std::string_view option, std::string_view text, int min, int max) {
  return static_cast<int>(parseInteger(option, text, min, max));
}

// The text without one leading '+', so that "+5" reads as 5; nothing when a sign follows it.
std::optional<std::string_view> unsignedPlus(std::string_view text) {
  if (!text.starts_with('+')) return text;
  text.remove_prefix(1);
  if (text.starts_with('+') || text.starts_with('-')) return std::nullopt;
  return text;
}

template <class T>
struct Word {
  std::string_view word;
  T value;
};

template <class T, std::size_t N>
T parseWord(std::string_view option, std::string_view text, const Word<T> (&words)[N]) {
  for (const auto& w : words) {
    if (w.word == text) return w.value;
  }
  std::string list;
  for (const auto& w : words)
    list += (list.empty() ? "" : ", ") + std::string(w.word);
  fail(option, quoted(text) + " is not one of " + list);
}

constexpr Word<SourceKind> kSourceWords[] = {{"ascii", SourceKind::Ascii},
                                             {"binary", SourceKind::Binary},
                                             {"image", SourceKind::Image},
                                             {"fractal", SourceKind::Fractal}};
constexpr Word<ElementType> kTypeWords[] = {{"u8", ElementType::U8},   {"i8", ElementType::I8},
                                            {"u16", ElementType::U16}, {"i16", ElementType::I16},
                                            {"u32", ElementType::U32}, {"i32", ElementType::I32},
                                            {"f32", ElementType::F32}, {"f64", ElementType::F64}};
constexpr Word<ByteOrder> kByteOrderWords[] = {{"little", ByteOrder::Little},
                                               {"big", ByteOrder::Big}};
constexpr Word<DataOrder> kOrderWords[] = {{"rows", DataOrder::Rows}, {"cols", DataOrder::Cols}};
constexpr Word<Origin> kOriginWords[] = {{"lower-left", Origin::LowerLeft},
                                         {"upper-left", Origin::UpperLeft}};
constexpr Word<Component> kComponentWords[] = {{"intensity", Component::Intensity},
                                               {"red", Component::Red},
                                               {"green", Component::Green},
                                               {"blue", Component::Blue},
                                               {"alpha", Component::Alpha}};
constexpr Word<Unit> kUnitWords[] = {{"inches", Unit::Inches},
                                     {"feet", Unit::Feet},
                                     {"centimeters", Unit::Centimeters},
                                     {"meters", Unit::Meters},
                                     {"kilometers", Unit::Kilometers},
                                     {"miles", Unit::Miles},
                                     {"nautical-miles", Unit::NauticalMiles},
                                     {"other", Unit::Other}};
constexpr Word<char> kDelimiterWords[] = {{"space", ' '}, {"tab", '\t'},  {"\\t", '\t'},
                                          {"comma", ','}, {"colon", ':'}, {"semicolon", ';'},
                                          {"bar", '|'}};

std::vector<std::string_view> split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t at = text.find(sep); at != std::string_view::npos; at = text.find(sep, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

// Splits "a<sep>b" into exactly two parts.
std::pair<std::string_view, std::string_view> splitPair(std::string_view option,
                                                        std::string_view text, char sep,
                                                        std::string_view form) {
  const auto parts = split(text, sep);
  if (parts.size() != 2) fail(option, quoted(text) + " is not of the form " + std::string(form));
  return {parts[0], parts[1]};
}

Colour parseColour(std::string_view option, std::string_view text) {
  const auto parts = split(text, ',');
  if (parts.size() != 3) fail(option, quoted(text) + " is not of the form R,G,B");
  return Colour{parseInt(option, parts[0], 0, 255), parseInt(option, parts[1], 0, 255),
                parseInt(option, parts[2], 0, 255)};
}

// What CLI11 collects: every option as text, converted afterwards so that each message names
// its option and says what it takes.
struct RawOptions {
  std::string source, file, width, height, offset, stride, type, byteOrder, order, origin,
      delimiter, component, scan, seed, noise, valleys, plateaus, waterLevel, size, nodata, replace,
      units, unitScale, dedMin, dedMax, sw, ne, output, preview, previewSize, colors, settings;
  bool water = false, noWater = false, invert = false, shaded = false, yes = false, no = false,
       quiet = false;
  std::string inspectFile, inspectPng;
  bool inspectJson = false;
};

constexpr const char* kDescription =
    "Converts elevation data (an ASCII grid, a raw binary grid, an image, or fractal terrain)\n"
    "into a DED file by driving the Relievo dialog as a user would. With no options it\n"
    "converts the built-in fractal terrain into terrain.ded.\n"
    "Settings start from the stored ones (--settings) and go through the dialog in this order:\n"
    "source kind, file, Scan File, layout, fractal settings, undefined data, load, units, DED\n"
    "range, extents, preview options, Generate DED.\n"
    "Exit status: 0 when the DED file was created, 1 when the conversion failed, 2 for a\n"
    "usage error.";

constexpr const char* kFooter =
    "Examples:\n"
    "  relievo --preview terrain.png\n"
    "  relievo --source ascii --file dem.asc --scan --origin upper-left --nodata -9999 -o "
    "dem.ded\n"
    "  relievo --source binary --file grid.raw --width 300 --height 200 --offset 64 --type "
    "i16 --byte-order big\n"
    "  relievo --source image --file heights.png --ded-min 0 --ded-max 2500\n"
    "  relievo inspect dem.ded --json";

void declareOptions(CLI::App& app, RawOptions& raw) {
  const auto text = [&](const char* names, std::string& target, const char* type, const char* help,
                        const char* group) {
    return app.add_option(names, target, help)->type_name(type)->group(group);
  };
  const auto flag = [&](const char* names, bool& target, const char* help, const char* group) {
    return app.add_flag(names, target, help)->group(group);
  };
  constexpr const char* kSource = "Source";
  text("--source", raw.source, "ascii|binary|image|fractal", "the kind of source", kSource);
  text("--file", raw.file, "PATH", "the source file (ASCII, binary, image)", kSource);
  text("--width", raw.width, "N", "values per row (ASCII, binary)", kSource);
  text("--height", raw.height, "N", "rows (ASCII, binary)", kSource);
  text("--offset", raw.offset, "BYTES", "where the first value starts (ASCII, binary)", kSource);
  text("--stride", raw.stride, "BYTES", "bytes skipped after each value (binary)", kSource);
  text("--type", raw.type, "u8|i8|u16|i16|u32|i32|f32|f64", "element type (binary)", kSource);
  text("--byte-order", raw.byteOrder, "little|big", "of elements of 2 bytes or more (binary)",
       kSource);
  text("--order", raw.order, "rows|cols", "each row of the file is a row or a column", kSource);
  text("--origin", raw.origin, "lower-left|upper-left", "where the first row lies", kSource);
  text("--delimiter", raw.delimiter, "CHAR",
       "between values (ASCII); or space, tab, comma, colon, semicolon, bar", kSource);
  text("--component", raw.component, "intensity|red|green|blue|alpha", "image channel", kSource);
  app.add_option("--scan", raw.scan,
                 "ASCII: run Scan File, take the columns and rows it detects and pick listed "
                 "line LINE as the first data line (default: the first that begins with a "
                 "number)")
      ->expected(0, 1)
      ->type_name("[LINE]")
      ->group(kSource);

  constexpr const char* kFractal = "Fractal";
  text("--seed", raw.seed, "N", "seed of the generator, 0 ... 4294967295", kFractal);
  text("--noise", raw.noise, "X", "0 ... 1", kFractal);
  text("--valleys", raw.valleys, "X", "0.0001 ... 0.5", kFractal);
  text("--plateaus", raw.plateaus, "X", "0.0001 ... 0.5", kFractal);
  auto* water = flag("--water", raw.water, "water on: a flat sea at the water level", kFractal);
  auto* noWater = flag("--no-water", raw.noWater, "water off", kFractal);
  water->excludes(noWater);
  noWater->excludes(water);
  text("--water-level", raw.waterLevel, "X", "0 ... 1 (needs water on)", kFractal);
  text("--size", raw.size, "N", "edge, 4 ... 4096, rounded down to a power of two", kFractal);

  constexpr const char* kUndefined = "Undefined data";
  text("--nodata", raw.nodata, "V", "the value that marks undefined data", kUndefined);
  text("--replace", raw.replace, "ded-null|V", "what undefined posts become (-32767 ... 32767)",
       kUndefined);

  constexpr const char* kElevation = "Elevation";
  text("--units", raw.units, "inches|feet|centimeters|meters|kilometers|miles|nautical-miles|other",
       "units of the raw values", kElevation);
  text("--unit-scale", raw.unitScale, "X", "metres per unit of \"other\" units", kElevation);
  text("--ded-min", raw.dedMin, "M", "lowest elevation of the file, metres (-32767 ... 32767)",
       kElevation);
  text("--ded-max", raw.dedMax, "M", "highest elevation of the file, metres", kElevation);
  flag("--invert", raw.invert, "highest values become the lowest elevations", kElevation);

  constexpr const char* kExtents = "Extents";
  text("--sw", raw.sw, "LAT,LON", "south-west corner, decimal degrees", kExtents);
  text("--ne", raw.ne, "LAT,LON", "north-east corner, decimal degrees", kExtents);

  constexpr const char* kOutput = "Output";
  text("-o,--output", raw.output, "FILE.ded",
       "default: the dialog's proposal for a file source (its name with .ded), else "
       "terrain.ded",
       kOutput);
  text("--preview", raw.preview, "FILE.png", "the preview as drawn, background included", kOutput);
  text("--preview-size", raw.previewSize, "WxH", "the preview's size in pixels", kOutput);
  flag("--shaded", raw.shaded, "relief shading in the preview", kOutput);
  text("--colors", raw.colors, "R,G,B:R,G,B", "low and high colours of the preview's ramp",
       kOutput);
  text("--settings", raw.settings, "FILE.json",
       "stored tool settings to start from; saved back at the end", kOutput);
  auto* yes = flag("-y,--yes", raw.yes, "answer yes to every question", kOutput);
  auto* no = flag("-n,--no", raw.no, "answer no to every question (the default)", kOutput);
  yes->excludes(no);
  no->excludes(yes);
  flag("-q,--quiet", raw.quiet, "no progress bar", kOutput);
}

std::optional<std::string> given(const std::string& text, const CLI::App& app, const char* name) {
  if (app.count(name) == 0) return std::nullopt;
  return text;
}

ConvertOptions convertOptions(const RawOptions& raw, const CLI::App& app) {
  ConvertOptions o;
  if (auto v = given(raw.source, app, "--source"))
    o.source = parseWord("--source", *v, kSourceWords);
  if (auto v = given(raw.file, app, "--file")) {
    if (v->empty()) fail("--file", "the path is empty");
    o.file = *v;
  }
  if (auto v = given(raw.width, app, "--width")) o.width = parseInt("--width", *v, 1, kIntMax);
  if (auto v = given(raw.height, app, "--height")) o.height = parseInt("--height", *v, 1, kIntMax);
  if (auto v = given(raw.offset, app, "--offset")) o.offset = parseInt("--offset", *v, 0, kIntMax);
  if (auto v = given(raw.stride, app, "--stride")) o.stride = parseInt("--stride", *v, 0, kIntMax);
  if (auto v = given(raw.type, app, "--type")) o.type = parseWord("--type", *v, kTypeWords);
  if (auto v = given(raw.byteOrder, app, "--byte-order"))
    o.byteOrder = parseWord("--byte-order", *v, kByteOrderWords);
  if (auto v = given(raw.order, app, "--order")) o.order = parseWord("--order", *v, kOrderWords);
  if (auto v = given(raw.origin, app, "--origin"))
    o.origin = parseWord("--origin", *v, kOriginWords);
  if (auto v = given(raw.delimiter, app, "--delimiter"))
    o.delimiter = parseDelimiter("--delimiter", *v);
  if (auto v = given(raw.component, app, "--component"))
    o.component = parseWord("--component", *v, kComponentWords);
  if (app.count("--scan") != 0) {
    o.scan = true;
    if (!raw.scan.empty()) o.scanLine = parseInt("--scan", raw.scan, 1, kScanLines);
  }

  if (auto v = given(raw.seed, app, "--seed"))
    o.seed = static_cast<std::uint32_t>(
        parseInteger("--seed", *v, 0, std::numeric_limits<std::uint32_t>::max()));
  if (auto v = given(raw.noise, app, "--noise")) o.noise = parseNumber("--noise", *v, 0.0, 1.0);
  if (auto v = given(raw.valleys, app, "--valleys"))
    o.valleys = parseNumber("--valleys", *v, 0.0001, 0.5);
  if (auto v = given(raw.plateaus, app, "--plateaus"))
    o.plateaus = parseNumber("--plateaus", *v, 0.0001, 0.5);
  if (raw.water) o.water = true;
  if (raw.noWater) o.water = false;
  if (auto v = given(raw.waterLevel, app, "--water-level"))
    o.waterLevel = parseNumber("--water-level", *v, 0.0, 1.0);
  if (auto v = given(raw.size, app, "--size"))
    o.size = parseInt("--size", *v, kFractalMinSize, kFractalMaxSize);

  if (auto v = given(raw.nodata, app, "--nodata"))
    o.nodata = parseInt("--nodata", *v, kIntMin, kIntMax);
  if (auto v = given(raw.replace, app, "--replace")) o.replace = parseReplacement("--replace", *v);

  if (auto v = given(raw.units, app, "--units")) o.units = parseWord("--units", *v, kUnitWords);
  if (auto v = given(raw.unitScale, app, "--unit-scale")) {
    o.unitScale = parseNumber("--unit-scale", *v, 0.0, std::numeric_limits<float>::max());
    if (*o.unitScale <= 0.0) fail("--unit-scale", "the scale must be greater than 0");
  }
  if (auto v = given(raw.dedMin, app, "--ded-min"))
    o.dedMin = parseNumber("--ded-min", *v, kPostMin, kPostMax);
  if (auto v = given(raw.dedMax, app, "--ded-max"))
    o.dedMax = parseNumber("--ded-max", *v, kPostMin, kPostMax);
  if (o.dedMin && o.dedMax && *o.dedMin > *o.dedMax) {
    fail("--ded-min", number(*o.dedMin) + " is above --ded-max " + number(*o.dedMax));
  }
  o.invert = raw.invert;

  if (auto v = given(raw.sw, app, "--sw")) o.sw = parseLatLon("--sw", *v);
  if (auto v = given(raw.ne, app, "--ne")) o.ne = parseLatLon("--ne", *v);
  if (o.sw && o.ne && o.ne->lat <= o.sw->lat && o.ne->lon <= o.sw->lon) {
    fail("--ne", "the north-east corner must lie north or east of the south-west corner");
  }

  if (auto v = given(raw.output, app, "--output")) {
    if (v->empty()) fail("--output", "the path is empty");
    o.output = *v;
  }
  if (auto v = given(raw.preview, app, "--preview")) {
    if (v->empty()) fail("--preview", "the path is empty");
    o.preview = *v;
  }
  if (auto v = given(raw.previewSize, app, "--preview-size")) {
    if (!o.preview) fail("--preview-size", "needs --preview FILE.png");
    o.previewSize = parseViewSize("--preview-size", *v);
  }
  o.shaded = raw.shaded;
  if (auto v = given(raw.colors, app, "--colors")) o.colors = parseColourRamp("--colors", *v);
  if (auto v = given(raw.settings, app, "--settings")) {
    if (v->empty()) fail("--settings", "the path is empty");
    o.settings = *v;
  }
  o.yes = raw.yes;
  o.quiet = raw.quiet;
  return o;
}

}  // namespace

long long parseInteger(std::string_view option, std::string_view text, long long min,
                       long long max) {
  const auto digits = unsignedPlus(text);
  long long value = 0;
  std::errc ec = std::errc::invalid_argument;
  if (digits && !digits->empty()) {
    const auto result = std::from_chars(digits->data(), digits->data() + digits->size(), value);
    ec = result.ptr == digits->data() + digits->size() ? result.ec : std::errc::invalid_argument;
  }
  if (ec == std::errc::invalid_argument) fail(option, quoted(text) + " is not a whole number");
  if (ec == std::errc::result_out_of_range || value < min || value > max) {
    fail(option,
         quoted(text) + " is outside " + std::to_string(min) + " ... " + std::to_string(max));
  }
  return value;
}

double parseNumber(std::string_view option, std::string_view text, double min, double max) {
  const auto digits = unsignedPlus(text);
  double value = 0.0;
  std::errc ec = std::errc::invalid_argument;
  if (digits && !digits->empty()) {
    const auto result = std::from_chars(digits->data(), digits->data() + digits->size(), value);
    ec = result.ptr == digits->data() + digits->size() ? result.ec : std::errc::invalid_argument;
  }
  if (ec == std::errc::invalid_argument) fail(option, quoted(text) + " is not a number");
  if (ec == std::errc::result_out_of_range || !std::isfinite(value) || value < min || value > max) {
    fail(option, quoted(text) + " is outside " + number(min) + " ... " + number(max));
  }
  return value;
}

LatLon parseLatLon(std::string_view option, std::string_view text) {
  const auto [lat, lon] = splitPair(option, text, ',', "LAT,LON");
  return LatLon{parseNumber(option, lat, -90.0, 90.0), parseNumber(option, lon, -180.0, 180.0)};
}

ViewSize parseViewSize(std::string_view option, std::string_view text) {
  const auto [w, h] = splitPair(option, text, 'x', "WxH");
  return ViewSize{parseInt(option, w, 1, sxhost::kMaxViewSide),
                  parseInt(option, h, 1, sxhost::kMaxViewSide)};
}

ColourRamp parseColourRamp(std::string_view option, std::string_view text) {
  const auto [bottom, top] = splitPair(option, text, ':', "R,G,B:R,G,B");
  return ColourRamp{parseColour(option, bottom), parseColour(option, top)};
}

char parseDelimiter(std::string_view option, std::string_view text) {
  for (const auto& w : kDelimiterWords) {
    if (w.word == text) return w.value;
  }
  const bool printable = text.size() == 1 && static_cast<unsigned char>(text[0]) >= 0x20 &&
                         static_cast<unsigned char>(text[0]) < 0x7F;
  if (!printable && text != "\t") {
    fail(option,
         quoted(text) + " is not one character (or space, tab, comma, colon, semicolon, bar)");
  }
  return text[0];
}

Replacement parseReplacement(std::string_view option, std::string_view text) {
  if (text == "ded-null") return Replacement{true, 0};
  if (text.empty() || !(text[0] == '-' || text[0] == '+' || (text[0] >= '0' && text[0] <= '9'))) {
    fail(option, quoted(text) + " is neither ded-null nor a whole number");
  }
  return Replacement{false, parseInt(option, text, kPostMin, kPostMax)};
}

std::string_view sourceKindLabel(SourceKind kind) {
  switch (kind) {
    case SourceKind::Ascii:
      return "ASCII File";
    case SourceKind::Binary:
      return "Binary File";
    case SourceKind::Image:
      return "Image File";
    case SourceKind::Fractal:
      return "Fractal Generator";
  }
  return "";
}

std::string_view sourceKindWord(SourceKind kind) {
  for (const auto& w : kSourceWords) {
    if (w.value == kind) return w.word;
  }
  return "";
}

Command parseCommandLine(const std::vector<std::string>& args) {
  CLI::App app{kDescription, "relievo"};
  app.footer(kFooter);
  app.get_formatter()->column_width(40);
  RawOptions raw;
  declareOptions(app, raw);
  CLI::App* inspect =
      app.add_subcommand("inspect", "Shows a DED file's records and checks its length");
  inspect->footer("Example:\n  relievo inspect dem.ded --json --png dem.png");
  inspect->add_option("file", raw.inspectFile, "the DED file")->type_name("FILE.ded")->required();
  inspect->add_flag("--json", raw.inspectJson, "print the same as JSON");
  inspect->add_option("--png", raw.inspectPng, "draw the terrain, north up, shaded")
      ->type_name("FILE.png");

  std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
  Command command;
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    command.kind = Command::Kind::Help;
    command.help = app.help();
    return command;
  } catch (const CLI::CallForAllHelp&) {
    command.kind = Command::Kind::Help;
    command.help = app.help("", CLI::AppFormatMode::All);
    return command;
  } catch (const CLI::ParseError& e) {
    throw UsageError(e.what());
  }

  if (inspect->parsed()) {
    for (const CLI::Option* option : app.get_options()) {
      if (option->count() != 0) {
        throw UsageError("inspect takes no conversion option such as " + option->get_name());
      }
    }
    command.kind = Command::Kind::Inspect;
    command.inspect.file = raw.inspectFile;
    command.inspect.json = raw.inspectJson;
    if (inspect->count("--png") != 0) {
      if (raw.inspectPng.empty()) fail("--png", "the path is empty");
      command.inspect.png = raw.inspectPng;
    }
    return command;
  }
  command.kind = Command::Kind::Convert;
  command.convert = convertOptions(raw, app);
  return command;
}

}  // namespace relievo::cli
