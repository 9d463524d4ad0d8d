#include "inspect.h"

#include <unistd.h>

#include <climits>
#include <nlohmann/json.hpp>

#include "ded_vrt.h"
#include "dialog_driver.h"
#include "errors.h"
#include "first_show.h"
#include "option_check.h"
#include "output_paths.h"
#include "plugin_host.h"
#include "progress_display.h"
#include "sxhost/error.h"

namespace relievo::cli {

namespace {

// Tenths of an arc-second per arc-second and per degree.
constexpr double kTenthsPerSecond = 10.0;
constexpr double kTenthsPerDegree = 36000.0;

// Bytes of a text field as they can be shown: printable ASCII kept, the rest as \xNN.
std::string printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      out += c;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
    }
  }
  return out;
}

std::string trimmedRight(std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::string format(const char* fmt, double v) {
  char buf[96];
  std::snprintf(buf, sizeof buf, fmt, v);
  return buf;
}

nlohmann::json spacingJson(float tenths, float feet) {
  return {{"tenthsOfArcSecond", tenths},
          {"arcSeconds", tenths / kTenthsPerSecond},
          {"degrees", tenths / kTenthsPerDegree},
          {"feet", feet}};
}

// The file read as the binary grid it is, drawn by the plug-in's shaded preview.
void drawTerrain(const DedFile& file, const std::string& png, std::FILE* err) {
  const float perRecord = file.extents.postsPerRecord;
  const float records = file.extents.records;
  if (perRecord < 1.0f || records < 1.0f) throw RunError(file.path + ": it has no posts to draw");
  if (perRecord > static_cast<float>(INT_MAX / 2) || records > static_cast<float>(INT_MAX / 2)) {
    throw RunError(file.path + ": it has too many posts to draw");
  }
  ConvertOptions o;
  o.source = SourceKind::Binary;
  o.file = file.path;
  o.width = static_cast<int>(perRecord);
  o.height = static_cast<int>(records);
  o.offset = static_cast<int>(kDedPreambleSize);
  o.type = ElementType::I16;
  o.byteOrder = ByteOrder::Big;
  o.order = DataOrder::Cols;
  o.origin = Origin::LowerLeft;
  o.nodata = kDedNullPost;
  o.shaded = true;
  o.preview = png;
  const StoredSettings fresh;

  ProgressDisplay progress(err, isatty(fileno(err)) == 1);
  sxhost::Host host;
  prepareFirstShow(host.preferences(), o, fresh);
  CliResponder& responder = loadRelievo(host, progress, err, false);
  startRelievo(host);
  DialogDriver driver(host, responder, o, fresh);
  try {
    driver.prepare();
    driver.writePreview();
  } catch (const sxhost::Error& e) {
    driver.close();
    progress.clear();
    throw RunError(e.what());
  } catch (...) {
    driver.close();
    progress.clear();
    throw;
  }
  driver.close();
  progress.clear();
}

}  // namespace

std::string inspectText(const DedFile& f) {
  std::string s;
  const auto line = [&](const char* label, const std::string& value) {
    s += std::string(label) + value + "\n";
  };
  const DedExtents& e = f.extents;
  line("File:          ", printable(f.path) + " (" + std::to_string(f.size) + " bytes)");
  line("Header:        ", "length " + std::to_string(f.header.length) + ", tag \"" +
                              printable(f.header.tag) + "\", projection \"" +
                              printable(trimmedRight(f.header.projection)) + "\", version \"" +
                              printable(trimmedRight(f.header.version)) + "\"");
  line("Created:       ", printable(f.header.created));
  line("Range record:  ", "marker " + std::to_string(f.range.marker) + ", lowest " +
                              std::to_string(f.range.lowest) + " m, highest " +
                              std::to_string(f.range.highest) + " m");
  line("SW corner:     ", "lat " + format("%.9f", e.swLat) + ", lon " + format("%.9f", e.swLon));
  line("NE corner:     ", "lat " + format("%.9f", e.neLat) + ", lon " + format("%.9f", e.neLon));
  const auto spacing = [&](float tenths, float feet) {
    return format("%.4f", tenths / kTenthsPerSecond) + " arc-seconds (" +
           format("%.9f", tenths / kTenthsPerDegree) + " degrees), " + format("%.2f", feet) +
           " feet";
  };
  line("Lat spacing:   ", spacing(e.latSpacing, e.latFeet));
  line("Lon spacing:   ", spacing(e.lonSpacing, e.lonFeet));
  line("Post counts:   ", format("%.9g", e.postsPerRecord) + " per record (latitude) x " +
                              format("%.9g", e.records) + " records (longitude)");
  line("Length:        ", std::to_string(f.size) + " bytes, as the counts call for");
  const DedPosts& p = f.posts;
  line("Posts:         ", std::to_string(p.count));
  line("DED NULL:      ", std::to_string(p.nulls));
  line("Lowest post:   ", p.lowest ? std::to_string(*p.lowest) + " m" : "none");
  line("Highest post:  ", p.highest ? std::to_string(*p.highest) + " m" : "none");
  return s;
}

std::string inspectJson(const DedFile& f) {
  const DedExtents& e = f.extents;
  nlohmann::json j = {
      {"file", f.path},
      {"bytes", f.size},
      {"header",
       {{"length", f.header.length},
        {"tag", f.header.tag},
        {"projection", f.header.projection},
        {"version", f.header.version},
        {"created", f.header.created}}},
      {"range",
       {{"marker", f.range.marker}, {"lowest", f.range.lowest}, {"highest", f.range.highest}}},
      {"extents",
       {{"southWest", {{"lat", e.swLat}, {"lon", e.swLon}}},
        {"northEast", {{"lat", e.neLat}, {"lon", e.neLon}}},
        {"latSpacing", spacingJson(e.latSpacing, e.latFeet)},
        {"lonSpacing", spacingJson(e.lonSpacing, e.lonFeet)},
        {"postsPerRecord", e.postsPerRecord},
        {"records", e.records}}},
      {"posts",
       {{"count", f.posts.count},
        {"dedNull", f.posts.nulls},
        {"lowest", f.posts.lowest ? nlohmann::json(*f.posts.lowest) : nlohmann::json()},
        {"highest", f.posts.highest ? nlohmann::json(*f.posts.highest) : nlohmann::json()}}},
  };
  // Texts from the file may hold any bytes: those that are not UTF-8 are replaced.
  return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string inspectErrorJson(const std::string& path, const std::string& error) {
  const nlohmann::json j = {{"file", path}, {"error", error}};
  return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

int runInspect(const InspectOptions& options, std::FILE* out, std::FILE* err) {
  checkOutputPaths({{"--png", options.png, true},
                    {"--vrt", options.vrt, true},
                    {"FILE.ded", options.file, false}});
  DedFile file;
  try {
    file = readDedFile(options.file);
  } catch (const RunError& e) {
    if (options.json) {
      std::fputs(inspectErrorJson(options.file, e.what()).c_str(), out);
      std::fflush(out);
    }
    throw RunError(options.file + ": " + e.what());
  }
  const std::string report = options.json ? inspectJson(file) : inspectText(file);
  std::fputs(report.c_str(), out);
  std::fflush(out);
  if (options.vrt) writeDedVrt(file, *options.vrt);
  if (options.png) drawTerrain(file, *options.png, err);
  return kExitSuccess;
}

}  // namespace relievo::cli
