#include "dialog_driver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "dialog_ids.h"
#include "errors.h"
#include "output_paths.h"
#include "summary.h"
#include "sxapilib.h"

namespace relievo::cli {

namespace {

using namespace main_ids;

constexpr char kFallbackOutput[] = "terrain.ded";
// Corner entries are refused while both north-east coordinates lie at or below the
// south-west ones, so an order that works is found by going over them again.
constexpr int kCornerPasses = 3;

std::string fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string shortest(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// A number shown in a text field, or nothing when it shows none.
std::optional<double> shownNumber(const sxhost::Control& c) {
  const std::string text = c.text();
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

int elementRadio(ElementType t) {
  switch (t) {
    case ElementType::U8:
    case ElementType::I8:
      return kInt8;
    case ElementType::U16:
    case ElementType::I16:
      return kInt16;
    case ElementType::U32:
    case ElementType::I32:
      return kInt32;
    case ElementType::F32:
      return kFloat32;
    case ElementType::F64:
      return kFloat64;
  }
  return kInt8;
}

std::optional<bool> elementSigned(ElementType t) {
  switch (t) {
    case ElementType::I8:
    case ElementType::I16:
    case ElementType::I32:
      return true;
    case ElementType::U8:
    case ElementType::U16:
    case ElementType::U32:
      return false;
    case ElementType::F32:
    case ElementType::F64:
      return std::nullopt;
  }
  return std::nullopt;
}

// Positions of the "Delimiter" menu: the characters of the first six rows, then "Other".
constexpr std::array<char, 6> kDelimiterRows = {':', ';', '|', ',', ' ', '\t'};
constexpr int kOtherDelimiterPosition = 7;

int delimiterPosition(char c) {
  for (std::size_t i = 0; i < kDelimiterRows.size(); ++i) {
    if (kDelimiterRows[i] == c) return static_cast<int>(i) + 1;
  }
  return kOtherDelimiterPosition;
}

struct ComponentRadio {
  Component component;
  int id;
  const char* word;
};
constexpr ComponentRadio kComponentRadios[] = {{Component::Intensity, kIntensity, "intensity"},
                                               {Component::Red, kRed, "red"},
                                               {Component::Green, kGreen, "green"},
                                               {Component::Blue, kBlue, "blue"},
                                               {Component::Alpha, kAlpha, "alpha"}};

// A listed line of the Scan File dialog that can hold the first value: its first non-blank
// character can start a number.
bool beginsWithNumber(std::string_view line) {
  const auto at = line.find_first_not_of(" \t");
  if (at == std::string_view::npos) return false;
  const char c = line[at];
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

}  // namespace

DialogDriver::DialogDriver(sxhost::Host& host, CliResponder& responder,
                           const ConvertOptions& options, const StoredSettings& stored)
    : host_(host),
      responder_(responder),
      options_(options),
      stored_(stored),
      dialog_(host.dialog(kMainDialog)) {}

sxhost::Control& DialogDriver::usable(int id, std::string_view option) {
  sxhost::Control& c = control(id);
  if (!c.visible() || !c.enabled()) {
    throw RunError(std::string(option) + " cannot be applied: the dialog " +
                   (c.visible() ? "disables" : "hides") + " its control for this " +
                   std::string(sourceKindRow(shownSourceKind()).word) + " source");
  }
  return c;
}

SourceKind DialogDriver::shownSourceKind() {
  return sourceKindOfLabel(selectedItem(control(kSourceMenu))).value_or(SourceKind::Fractal);
}

void DialogDriver::prepare() {
  if (options_.previewSize) reopenForPreviewSize();
  const std::size_t messagesBefore = responder_.messages().size();
  chooseSource();
  chooseFile();
  if (options_.scan) scanFile();
  enterFractalSizeWhenEmpty();
  setLayout();
  setFractal();
  setUndefinedData();
  failOnErrorMessages(messagesBefore);
  load();
  setUnits();
  setDedRange();
  setExtents();
  setPreviewOptions();
  failOnErrorMessages(messagesBefore);
}

// The preview is built for the view's size when the source loads, and the first load ran
// when the tool started: closing and opening the window again loads at the new size.
void DialogDriver::reopenForPreviewSize() {
  control(kPreview).setViewSize(options_.previewSize->width, options_.previewSize->height);
  dialog_.close();
  dialog_.show();
}

void DialogDriver::chooseSource() {
  if (!options_.source) return;
  sxhost::Control& menu = control(kSourceMenu);
  const std::vector<std::string> items = menu.items();
  const std::string_view label = sourceKindRow(*options_.source).label;
  const auto at = std::find(items.begin(), items.end(), label);
  if (at == items.end()) throw RunError("the dialog offers no " + std::string(label) + " source");
  menu.select(static_cast<int>(at - items.begin()) + 1);
}

void DialogDriver::chooseFile() {
  if (!options_.file) return;
  const std::string path = absolutePath(*options_.file);
  responder_.offerFile(path);
  usable(kChooseFile, "--file").press();
  if (!responder_.fileTaken()) throw RunError("the dialog did not ask for the source file");
  // A geo raster is read as soon as it is chosen: one that cannot be read ends the run here.
  const std::string status = control(kStatusLine).text();
  if (shownSourceKind() == SourceKind::Geo && !status.empty() && status != kLoadedStatus) {
    throw RunError("nothing was loaded: " + status);
  }
}

void DialogDriver::chooseBand(int band) {
  sxhost::Control& list = usable(kBandList, "--band");
  const std::size_t count = list.items().size();
  if (static_cast<std::size_t>(band) > count) {
    throw RunError("--band " + std::to_string(band) + ": " + control(kFileText).text() + " has " +
                   (count == 1 ? "one band" : "bands 1 to " + std::to_string(count)));
  }
  if (list.selectedPos() != band) list.select(band);
}

void DialogDriver::scanFile() {
  usable(kScanFile, "--scan").press();
  sxhost::Dialog& scan = host_.dialog(kScanDialog);
  const std::vector<std::string> lines = scan.control(scan_ids::kLines).items();
  const auto cancel = [&](const std::string& why) {
    scan.control(scan_ids::kCancel).press();
    throw RunError("Scan File: " + why);
  };
  if (lines.size() == 1 && lines[0] == "Error Opening File") cancel(lines[0]);
  int line = options_.scan->line;
  if (line != 0) {
    if (static_cast<std::size_t>(line) > lines.size()) {
      cancel("--scan " + std::to_string(line) + ": the file lists only " +
             std::to_string(lines.size()) + " line" + (lines.size() == 1 ? "" : "s"));
    }
  } else {
    for (std::size_t i = 0; i < lines.size() && line == 0; ++i) {
      if (beginsWithNumber(lines[i])) line = static_cast<int>(i) + 1;
    }
    if (line == 0) {
      cancel("no listed line begins with a number; pick the first data line with --scan LINE");
    }
  }
  scan.control(scan_ids::kLines).select(line);
  scan.control(scan_ids::kOk).press();
}

// With fresh settings the stored dimensions are 0; a user would type the fractal size.
void DialogDriver::enterFractalSizeWhenEmpty() {
  if (shownSourceKind() != SourceKind::Fractal || options_.size) return;
  if (control(kWidth).text() != "0" && control(kHeight).text() != "0") return;
  const int size = stored_.fractalSize >= 0 ? stored_.fractalSize : 256;
  usable(kWidth, "--size").type(std::to_string(size));
}

void DialogDriver::setLayout() {
  const auto typeInto = [&](int id, const char* option, const std::optional<int>& value) {
    if (value) usable(id, option).type(std::to_string(*value));
  };
  typeInto(kWidth, "--size", options_.size);
  typeInto(kWidth, "--width", options_.width);
  typeInto(kHeight, "--height", options_.height);
  typeInto(kOffset, "--offset", options_.offset);
  typeInto(kStride, "--stride", options_.stride);
  if (options_.band) chooseBand(*options_.band);
  if (options_.type) {
    usable(elementRadio(*options_.type), "--type").press();
    if (const auto isSigned = elementSigned(*options_.type)) {
      sxhost::Control& toggle = usable(kSigned, "--type");
      if (toggle.checked() != *isSigned) toggle.setChecked(*isSigned);
    }
  }
  if (options_.byteOrder) {
    usable(*options_.byteOrder == ByteOrder::Big ? kBigEndian : kLittleEndian, "--byte-order")
        .press();
  }
  if (options_.order) usable(*options_.order == DataOrder::Cols ? kCols : kRows, "--order").press();
  if (options_.origin) {
    usable(*options_.origin == Origin::UpperLeft ? kUpperLeft : kLowerLeft, "--origin").press();
  }
  if (options_.delimiter) {
    const int pos = delimiterPosition(*options_.delimiter);
    usable(kDelimiterMenu, "--delimiter").select(pos);
    if (pos == kOtherDelimiterPosition)
      usable(kOtherDelimiter, "--delimiter").type(std::string(1, *options_.delimiter));
  }
  if (options_.component) {
    for (const ComponentRadio& r : kComponentRadios) {
      if (r.component != *options_.component) continue;
      sxhost::Control& radio = control(r.id);
      if (!radio.visible() || !radio.enabled()) {
        std::string offered;
        for (const ComponentRadio& o : kComponentRadios) {
          if (control(o.id).enabled()) offered += std::string(offered.empty() ? "" : ", ") + o.word;
        }
        throw RunError(std::string("--component ") + r.word + ": the image offers " +
                       (offered.empty() ? "no component" : offered + " only"));
      }
      radio.press();
    }
  }
}

void DialogDriver::setFractal() {
  if (options_.water) {
    sxhost::Control& water = usable(kWater, *options_.water ? "--water" : "--no-water");
    if (water.checked() != *options_.water) water.setChecked(*options_.water);
  }
  const auto slide = [&](int id, const char* option, const std::optional<double>& value) {
    if (value) usable(id, option).slide(*value, SX_SCALE_FINAL);
  };
  slide(kWaterLevel, "--water-level", options_.waterLevel);
  slide(kNoise, "--noise", options_.noise);
  slide(kValleys, "--valleys", options_.valleys);
  slide(kPlateaus, "--plateaus", options_.plateaus);
}

void DialogDriver::setUndefinedData() {
  if (options_.nodata) {
    sxhost::Control& has = usable(kHasUndefined, "--nodata");
    if (!has.checked()) has.setChecked(true);
    usable(kUndefinedValue, "--nodata").type(std::to_string(*options_.nodata));
  }
  if (options_.replace) {
    usable(kReplaceMenu, "--replace").select(options_.replace->dedNull ? 1 : 2);
    if (!options_.replace->dedNull) {
      usable(kReplacementValue, "--replace").type(std::to_string(options_.replace->value));
    }
  }
}

void DialogDriver::load() {
  if (control(kPreviewData).visible()) control(kPreviewData).press();
  if (control(kGenerate).enabled()) return;
  const std::string status = control(kStatusLine).text();
  if (!status.empty()) throw RunError("nothing was loaded: " + status + layoutHint());
  const bool readsFile = sourceKindRow(shownSourceKind()).readsFile;
  const std::string file = control(kFileText).text();
  if (readsFile && file.empty()) throw RunError("no source file: choose one with --file");
  if (readsFile && control(kFileSize).text() == "0") {
    throw RunError("nothing was loaded: " + file + " is empty");
  }
  throw RunError("nothing was loaded");
}

// A side the dialog shows as 0 was not given: the user may give it, or, for a grid of text,
// let Scan File find both unless it ran already.
std::string DialogDriver::layoutHint() {
  const SourceKind kind = shownSourceKind();
  if (kind != SourceKind::Ascii && kind != SourceKind::Binary) return "";
  const std::string width = control(kWidth).text();
  const std::string height = control(kHeight).text();
  std::string give = width == "0" ? "--width" : "";
  if (height == "0") give += give.empty() ? "--height" : " and --height";
  if (give.empty()) return "";
  const bool scan = kind == SourceKind::Ascii && !options_.scan;
  return " (the grid is " + width + " x " + height + ": give " + give +
         (scan ? ", or --scan)" : ")");
}

void DialogDriver::setUnits() {
  if (options_.units) usable(kUnitsMenu, "--units").select(static_cast<int>(*options_.units));
  if (options_.unitScale) usable(kUnitScale, "--unit-scale").type(shortest(*options_.unitScale));
}

// The dialog refuses a minimum above the present maximum (and a maximum below the present
// minimum), so the maximum goes first when the new range lies above the present one.
void DialogDriver::setDedRange() {
  const auto& min = options_.dedMin;
  const auto& max = options_.dedMax;
  const auto typeMin = [&] { usable(kDedMin, "--ded-min").type(shortest(*min)); };
  const auto typeMax = [&] { usable(kDedMax, "--ded-max").type(shortest(*max)); };
  if (min && max) {
    const std::optional<double> shownMax = shownNumber(control(kDedMax));
    if (shownMax && *min > *shownMax) {
      typeMax();
      typeMin();
    } else {
      typeMin();
      typeMax();
    }
    // A range narrower than a metre may still have refused the first entry.
    const std::optional<double> shownMin = shownNumber(control(kDedMin));
    if (shownSourceKind() != SourceKind::Fractal && shownMin && *shownMin != std::trunc(*min)) {
      typeMin();
    }
  } else if (min) {
    typeMin();
  } else if (max) {
    typeMax();
  }
  // The fractal generator keeps its lowest elevation at 0 while it has water, and at 1 or
  // more without: say so when that overrides what was asked for.
  const auto differs = [&](int id, const std::optional<double>& wanted) {
    const std::optional<double> shown = shownNumber(control(id));
    return wanted && shown && *shown != std::trunc(*wanted);
  };
  if (differs(kDedMin, min) || differs(kDedMax, max)) {
    responder_.warn("the dialog took the DED range as " + control(kDedMin).text() + " ... " +
                    control(kDedMax).text() + " m");
  }
}

void DialogDriver::showDecimalDegrees() {
  if (control(kDisplayDms).checked()) {
    control(kDisplayDecimal).press();
    restoreDms_ = true;
  }
}

void DialogDriver::setExtents() {
  if (!options_.sw && !options_.ne) return;
  showDecimalDegrees();
  struct Entry {
    int id;
    const char* option;
    double value;
  };
  std::vector<Entry> entries;
  if (options_.sw) {
    entries.push_back({kSwLat, "--sw", options_.sw->lat});
    entries.push_back({kSwLon, "--sw", options_.sw->lon});
  }
  if (options_.ne) {
    entries.push_back({kNeLat, "--ne", options_.ne->lat});
    entries.push_back({kNeLon, "--ne", options_.ne->lon});
  }
  // The fields hold 32-bit floats: an entry is taken when the field shows its float.
  const auto taken = [&](const Entry& e) {
    const auto shown = shownNumber(control(e.id));
    return shown && std::fabs(*shown - static_cast<float>(e.value)) < 1e-6;
  };
  for (int pass = 0; pass < kCornerPasses; ++pass) {
    bool all = true;
    for (const Entry& e : entries) {
      if (taken(e)) continue;
      usable(e.id, e.option).type(fixed(e.value, 9));
      all = all && taken(e);
    }
    if (all) return;
  }
  for (const Entry& e : entries) {
    if (!taken(e)) {
      throw RunError(std::string("the dialog refused ") + e.option +
                     ": the north-east corner must lie north or east of the south-west corner");
    }
  }
}

void DialogDriver::setPreviewOptions() {
  const auto check = [&](int id, const char* option, bool wanted) {
    if (!wanted) return;
    sxhost::Control& toggle = usable(id, option);
    if (!toggle.checked()) toggle.setChecked(true);
  };
  check(kShaded, "--shaded", options_.shaded);
  check(kInvert, "--invert", options_.invert);
  check(kRound, "--round", options_.round);
  if (options_.colors) {
    sxhost::Control& ramp = usable(kColourRamp, "--colors");
    const auto [w, h] = ramp.viewSize();
    const auto pick = [&, middle = h / 2](const Colour& c, int x) {
      responder_.offerColour(sxhost::Colour{static_cast<std::uint8_t>(c.r),
                                            static_cast<std::uint8_t>(c.g),
                                            static_cast<std::uint8_t>(c.b)});
      ramp.click(x, middle);
    };
    // The left half of the ramp edits the bottom colour, the right half the top one.
    pick(options_.colors->bottom, 0);
    pick(options_.colors->top, w - 1);
  }
}

void DialogDriver::failOnErrorMessages(std::size_t since) {
  const auto& messages = responder_.messages();
  for (std::size_t i = since; i < messages.size(); ++i) {
    if (messages[i].kind == SX_MESSAGE_ERROR) {
      throw RunError("the dialog refused a setting: " + messages[i].text);
    }
  }
}

void DialogDriver::writePreview() {
  if (!options_.preview) return;
  control(kPreview).draw().writePng(*options_.preview);
}

std::string DialogDriver::generate(const std::optional<std::string>& path) {
  const std::string output = path ? absolutePath(*path) : "";
  // The dialog proposes the source file's name with ".ded"; the fractal generator has no
  // file, and a name left from an earlier file would only overwrite that file's DED.
  responder_.expectSave(output, absolutePath(kFallbackOutput),
                        shownSourceKind() != SourceKind::Fractal);
  usable(kGenerate, "Generate DED").press();
  const std::string status = control(kStatusLine).text();
  if (status != kCreatedStatus) {
    throw RunError("no DED file was created" + (status.empty() ? "" : ": " + status));
  }
  return responder_.savedAs();
}

void DialogDriver::close() {
  if (!dialog_.visible()) return;
  if (restoreDms_) control(kDisplayDms).press();
  restoreDms_ = false;
  dialog_.close();
}

}  // namespace relievo::cli
