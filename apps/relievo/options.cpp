#include "options.h"

#include <CLI/CLI.hpp>
#include <limits>
#include <map>
#include <span>
#include <variant>

#include "option_values.h"

namespace relievo::cli {

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr long long kSeedMax = std::numeric_limits<std::uint32_t>::max();
// The fractal generator's edge lengths: powers of two from 2 to 4096.
constexpr int kFractalMinSize = 2;
constexpr int kFractalMaxSize = 4096;

// How an option takes its value into its field of ConvertOptions.
template <class T>
struct Whole {
  std::optional<T> ConvertOptions::*field;
  long long min, max;
};
struct Number {
  std::optional<double> ConvertOptions::*field;
  double min, max;
};
struct WordValue {
  std::string_view word;
  int value;  // the enumerator's
};
template <class E>
struct Choice {
  std::optional<E> ConvertOptions::*field;
  std::span<const WordValue> (*words)();
};
template <class T>
struct Text {
  std::optional<T> ConvertOptions::*field;
  T (*parse)(std::string_view option, std::string_view text);
  bool valueOptional = false;
};
template <class T>
struct Set {
  T ConvertOptions::*field;
  bool value;
};

using Takes = std::variant<Whole<int>, Whole<std::uint32_t>, Number, Choice<SourceKind>,
                           Choice<ElementType>, Choice<ByteOrder>, Choice<DataOrder>,
                           Choice<Origin>, Choice<Component>, Choice<Unit>, Text<std::string>,
                           Text<char>, Text<ScanLine>, Text<Replacement>, Text<LatLon>,
                           Text<ViewSize>, Text<ColourRamp>, Set<bool>, Set<std::optional<bool>>>;

struct OptionRow {
  const char* names;
  const char* group;
  const char* value;  // the value's name in the help; none for flags, and choices list their words
  const char* help;   // numbers add their limits to it
  Takes takes;
  const char* excludes = nullptr;  // an option that cannot come with this one, by its long name
};

template <class E>
constexpr WordValue word(std::string_view text, E value) {
  return {text, static_cast<int>(value)};
}

constexpr WordValue kTypeWords[] = {word("u8", ElementType::U8),   word("i8", ElementType::I8),
                                    word("u16", ElementType::U16), word("i16", ElementType::I16),
                                    word("u32", ElementType::U32), word("i32", ElementType::I32),
                                    word("f32", ElementType::F32), word("f64", ElementType::F64)};
constexpr WordValue kByteOrderWords[] = {word("little", ByteOrder::Little),
                                         word("big", ByteOrder::Big)};
constexpr WordValue kOrderWords[] = {word("rows", DataOrder::Rows), word("cols", DataOrder::Cols)};
constexpr WordValue kOriginWords[] = {word("lower-left", Origin::LowerLeft),
                                      word("upper-left", Origin::UpperLeft)};
constexpr WordValue kComponentWords[] = {
    word("intensity", Component::Intensity), word("red", Component::Red),
    word("green", Component::Green), word("blue", Component::Blue),
    word("alpha", Component::Alpha)};
constexpr WordValue kUnitWords[] = {word("inches", Unit::Inches),
                                    word("feet", Unit::Feet),
                                    word("centimeters", Unit::Centimeters),
                                    word("meters", Unit::Meters),
                                    word("kilometers", Unit::Kilometers),
                                    word("miles", Unit::Miles),
                                    word("nautical-miles", Unit::NauticalMiles),
                                    word("other", Unit::Other)};

template <const auto& Table>
std::span<const WordValue> wordsOf() {
  return Table;
}

std::span<const WordValue> sourceWords() {
  static const std::vector<WordValue> words = [] {
    std::vector<WordValue> w;
    for (const SourceKindRow& row : sourceKinds())
      w.push_back(word(row.word, row.kind));
    return w;
  }();
  return words;
}

using O = ConvertOptions;
constexpr const char* kSource = "Source";
constexpr const char* kFractal = "Fractal";
constexpr const char* kUndefined = "Undefined data";
constexpr const char* kElevation = "Elevation";
constexpr const char* kExtents = "Extents";
constexpr const char* kOutput = "Output";

const OptionRow kOptions[] = {
    {"--source", kSource, nullptr, "the kind of source",
     Choice<SourceKind>{&O::source, sourceWords}},
    {"--file", kSource, "PATH", "the source file, as INPUT (ASCII, binary, image, geo)",
     Text<std::string>{&O::file, parsePath}},
    {"--band", kSource, "N", "band of a geo raster", Whole<int>{&O::band, 1, kIntMax}},
    {"--width", kSource, "N", "values per row (ASCII, binary)", Whole<int>{&O::width, 1, kIntMax}},
    {"--height", kSource, "N", "rows (ASCII, binary)", Whole<int>{&O::height, 1, kIntMax}},
    {"--offset", kSource, "BYTES", "where the first value starts (ASCII, binary)",
     Whole<int>{&O::offset, 0, kIntMax}},
    {"--stride", kSource, "BYTES", "bytes skipped after each value (binary)",
     Whole<int>{&O::stride, 0, kIntMax}},
    {"--type", kSource, nullptr, "element type (binary)",
     Choice<ElementType>{&O::type, wordsOf<kTypeWords>}},
    {"--byte-order", kSource, nullptr, "of elements of 2 bytes or more (binary)",
     Choice<ByteOrder>{&O::byteOrder, wordsOf<kByteOrderWords>}},
    {"--order", kSource, nullptr, "each row of the file is a row or a column",
     Choice<DataOrder>{&O::order, wordsOf<kOrderWords>}},
    {"--origin", kSource, nullptr, "where the first row lies",
     Choice<Origin>{&O::origin, wordsOf<kOriginWords>}},
    {"--delimiter", kSource, "CHAR",
     "between values (ASCII); or space, tab, comma, colon, semicolon, bar",
     Text<char>{&O::delimiter, parseDelimiter}},
    {"--component", kSource, nullptr, "image channel",
     Choice<Component>{&O::component, wordsOf<kComponentWords>}},
    {"--scan", kSource, "[LINE]",
     "ASCII: run Scan File, take the columns and rows it detects and pick listed line LINE as "
     "the first data line (default: the first that begins with a number)",
     Text<ScanLine>{&O::scan, parseScanLine, true}},

    {"--seed", kFractal, "N", "seed of the generator", Whole<std::uint32_t>{&O::seed, 0, kSeedMax}},
    {"--noise", kFractal, "X", "roughness", Number{&O::noise, 0.0, 1.0}},
    {"--valleys", kFractal, "X", "how much sinks to the valley floor",
     Number{&O::valleys, 0.0001, 0.5}},
    {"--plateaus", kFractal, "X", "how much rises to the plateau top",
     Number{&O::plateaus, 0.0001, 0.5}},
    {"--water", kFractal, nullptr, "water on: a flat sea at the water level",
     Set<std::optional<bool>>{&O::water, true}, "--no-water"},
    {"--no-water", kFractal, nullptr, "water off", Set<std::optional<bool>>{&O::water, false}},
    {"--water-level", kFractal, "X", "needs water on", Number{&O::waterLevel, 0.0, 1.0}},
    {"--size", kFractal, "N", "edge, rounded down to a power of two",
     Whole<int>{&O::size, kFractalMinSize, kFractalMaxSize}},

    {"--nodata", kUndefined, "V", "the value that marks undefined data",
     Whole<int>{&O::nodata, kIntMin, kIntMax}},
    {"--replace", kUndefined, "ded-null|V",
     "what undefined posts become: DED NULL or an elevation in metres",
     Text<Replacement>{&O::replace, parseReplacement}},

    {"--units", kElevation, nullptr, "units of the raw values",
     Choice<Unit>{&O::units, wordsOf<kUnitWords>}},
    {"--unit-scale", kElevation, "X", "metres per unit of \"other\" units",
     Number{&O::unitScale, 0.0, std::numeric_limits<float>::max()}},
    {"--ded-min", kElevation, "M", "lowest elevation of the file, metres",
     Number{&O::dedMin, kPostMin, kPostMax}},
    {"--ded-max", kElevation, "M", "highest elevation of the file, metres",
     Number{&O::dedMax, kPostMin, kPostMax}},
    {"--invert", kElevation, nullptr, "highest values become the lowest elevations",
     Set<bool>{&O::invert, true}},
    {"--round", kElevation, nullptr,
     "posts rounded to the nearest metre (default: truncated toward zero)",
     Set<bool>{&O::round, true}},

    {"--sw", kExtents, "LAT,LON", "south-west corner, decimal degrees",
     Text<LatLon>{&O::sw, parseLatLon}},
    {"--ne", kExtents, "LAT,LON", "north-east corner, decimal degrees",
     Text<LatLon>{&O::ne, parseLatLon}},

    {"-o,--output", kOutput, "FILE.ded",
     "default: the dialog's proposal for a file source (its name with .ded), else terrain.ded; "
     "- for standard output",
     Text<std::string>{&O::output, parsePath}},
    {"--preview", kOutput, "FILE.png", "the preview as drawn, background included",
     Text<std::string>{&O::preview, parsePath}},
    {"--preview-size", kOutput, "WxH", "the preview's size in pixels",
     Text<ViewSize>{&O::previewSize, parseViewSize}},
    {"--shaded", kOutput, nullptr, "relief shading in the preview", Set<bool>{&O::shaded, true}},
    {"--colors", kOutput, "R,G,B:R,G,B", "low and high colours of the preview's ramp",
     Text<ColourRamp>{&O::colors, parseColourRamp}},
    {"--settings", kOutput, "FILE.json",
     "stored tool settings to start from; saved back at the end",
     Text<std::string>{&O::settings, parsePath}},
    {"-y,--yes", kOutput, nullptr, "answer yes to every question", Set<bool>{&O::yes, true},
     "--no"},
    {"-n,--no", kOutput, nullptr, "answer no to every question (the default)",
     Set<bool>{&O::yes, false}},
    {"-q,--quiet", kOutput, nullptr, "no progress bar", Set<bool>{&O::quiet, true}},
};

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
// clang 14 does not yet deduce an aggregate's template arguments by itself.
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// The name messages give an option: "--output" of "-o,--output".
std::string longName(std::string_view names) {
  return std::string(names.substr(names.rfind(',') + 1));
}

std::string joined(std::span<const WordValue> words, std::string_view separator) {
  std::string text;
  for (const WordValue& w : words) {
    if (!text.empty()) text += separator;
    text += w.word;
  }
  return text;
}

// A number within limits, handed on to CLI11 as text it converts exactly.
template <class T>
CLI::Validator within(T min, T max) {
  return CLI::Validator(
      [min, max](std::string& text) {
        const NumberReading<T> r = readNumber(text, min, max);
        if (r.problem.empty()) text = exactText(r.value);
        return r.problem;
      },
      "");
}

// A word of the list, handed on to CLI11 as its enumerator's number.
CLI::Validator oneOf(std::span<const WordValue> words) {
  return CLI::Validator(
      [words](std::string& text) {
        for (const WordValue& w : words) {
          if (w.word == text) {
            text = std::to_string(w.value);
            return std::string();
          }
        }
        return "'" + text + "' is not one of " + joined(words, ", ");
      },
      "");
}

CLI::Option* declare(CLI::App& app, ConvertOptions& o, const OptionRow& row) {
  std::string help = row.help;
  const auto limited = [&](auto min, auto max) {
    help += "; " + limitsText(min, max);
    return within(min, max);
  };
  CLI::Option* option = std::visit(
      Overloaded{
          [&]<class T>(const Whole<T>& w) {
            return app.add_option(row.names, o.*w.field)->transform(limited(w.min, w.max));
          },
          [&](const Number& n) {
            return app.add_option(row.names, o.*n.field)->transform(limited(n.min, n.max));
          },
          [&]<class E>(const Choice<E>& c) {
            return app.add_option(row.names, o.*c.field)
                ->transform(oneOf(c.words()))
                ->type_name(joined(c.words(), "|"));
          },
          [&]<class T>(const Text<T>& t) {
            const std::string name = longName(row.names);
            auto* option = app.add_option_function<std::string>(
                row.names,
                [&o, t, name](const std::string& text) { o.*t.field = t.parse(name, text); });
            return t.valueOptional ? option->expected(0, 1) : option;
          },
          [&]<class T>(const Set<T>& s) {
            return app.add_flag_callback(row.names, [&o, s] { o.*s.field = s.value; });
          },
      },
      row.takes);
  option->description(help)->group(row.group);
  if (row.value != nullptr) option->type_name(row.value);
  return option;
}

void declareOptions(CLI::App& app, ConvertOptions& o) {
  std::map<std::string, CLI::Option*> byName;
  for (const OptionRow& row : kOptions)
    byName[longName(row.names)] = declare(app, o, row);
  app.add_option_function<std::string>(
         "INPUT", [&o](const std::string& text) { o.file = parsePath("INPUT", text); },
         "the source file; its kind is told from its content unless --source names it")
      ->type_name("")
      ->excludes(byName.at("--file"));
  for (const OptionRow& row : kOptions) {
    if (row.excludes == nullptr) continue;
    CLI::Option* option = byName.at(longName(row.names));
    CLI::Option* other = byName.at(row.excludes);
    option->excludes(other);
    other->excludes(option);
  }
}

[[noreturn]] void fail(std::string_view option, const std::string& reason) {
  throw UsageError(std::string(option) + ": " + reason);
}

// The checks of options that go together.
void checkCombinations(const ConvertOptions& o) {
  if (o.unitScale && *o.unitScale <= 0.0) fail("--unit-scale", "the scale must be greater than 0");
  if (o.dedMin && o.dedMax && *o.dedMin > *o.dedMax) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.10g is above --ded-max %.10g", *o.dedMin, *o.dedMax);
    fail("--ded-min", buf);
  }
  if (o.sw && o.ne && o.ne->lat <= o.sw->lat && o.ne->lon <= o.sw->lon) {
    fail("--ne", "the north-east corner must lie north or east of the south-west corner");
  }
  if (o.previewSize && !o.preview) fail("--preview-size", "needs --preview FILE.png");
}

constexpr const char* kDescription =
    "Converts elevation data (any raster GDAL reads, placed by its georeferencing; an ASCII\n"
    "grid, a raw binary grid, an image, or fractal terrain) into a DED file by driving the\n"
    "Relievo dialog as a user would. Without --source the kind of INPUT is told from its\n"
    "content. With no options it converts the built-in fractal terrain into terrain.ded.\n"
    "Settings start from the stored ones (--settings) and go through the dialog in this order:\n"
    "source kind, file, Scan File, layout, fractal settings, undefined data, load, units, DED\n"
    "range, extents, preview options, Generate DED.\n"
    "Exit status: 0 when the DED file was created, 1 when the conversion failed, 2 for a\n"
    "usage error.";

constexpr const char* kFooter =
    "Examples:\n"
    "  relievo dem.tif\n"
    "  relievo --preview terrain.png\n"
    "  relievo --source ascii --file dem.asc --scan --origin upper-left --nodata -9999 -o "
    "dem.ded\n"
    "  relievo --source binary --file grid.raw --width 300 --height 200 --offset 64 --type "
    "i16 --byte-order big\n"
    "  relievo --source image --file heights.png --ded-min 0 --ded-max 2500\n"
    "  relievo -q -o - | gzip > terrain.ded.gz\n"
    "  relievo inspect dem.ded --json\n"
    "  relievo inspect dem.ded --vrt dem.vrt";

CLI::App* declareInspect(CLI::App& app, InspectOptions& inspect) {
  CLI::App* sub = app.add_subcommand("inspect", "Shows a DED file's records and checks its length");
  sub->footer("Example:\n  relievo inspect dem.ded --json --png dem.png");
  sub->add_option("file", inspect.file, "the DED file")->type_name("FILE.ded")->required();
  sub->add_flag("--json", inspect.json, "print the same as JSON");
  sub->add_option_function<std::string>(
         "--png", [&inspect](const std::string& text) { inspect.png = parsePath("--png", text); },
         "draw the terrain, north up, shaded")
      ->type_name("FILE.png");
  sub->add_option_function<std::string>(
         "--vrt", [&inspect](const std::string& text) { inspect.vrt = parsePath("--vrt", text); },
         "write a GDAL VRT that reads the DED file as a georeferenced raster")
      ->type_name("FILE.vrt");
  return sub;
}

}  // namespace

Command parseCommandLine(const std::vector<std::string>& args) {
  Command command;
  CLI::App app{kDescription, "relievo"};
  app.footer(kFooter);
  app.get_formatter()->column_width(40);
  declareOptions(app, command.convert);
  bool version = false;
  app.add_flag("--version", version, "the version, and GDAL's");
  const CLI::App* inspect = declareInspect(app, command.inspect);

  std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
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

  if (version) {
    command.kind = Command::Kind::Version;
    return command;
  }
  if (inspect->parsed()) {
    for (const CLI::Option* option : app.get_options()) {
      if (option->count() != 0) {
        throw UsageError("inspect takes no conversion option such as " + option->get_name());
      }
    }
    command.kind = Command::Kind::Inspect;
    return command;
  }
  command.kind = Command::Kind::Convert;
  checkCombinations(command.convert);
  return command;
}

}  // namespace relievo::cli
