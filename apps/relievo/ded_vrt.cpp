#include "ded_vrt.h"

#include <cstdio>
#include <filesystem>

#include "errors.h"
#include "sxhost/preferences.h"

namespace relievo::cli {

namespace {

// The largest count a DED file's float counts hold exactly.
constexpr float kMaxCount = 16777216.0f;
constexpr double kTenthsOfArcSecondPerDegree = 36000.0;

std::string number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

std::string xmlEscaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// Degrees between neighbouring posts: from the corners when there are two posts or more,
// else from the record's own spacing.
double step(float first, float last, float count, float spacing) {
  if (count > 1.0f) return (static_cast<double>(last) - first) / (count - 1.0);
  return spacing / kTenthsOfArcSecondPerDegree;
}

}  // namespace

std::string dedVrtText(const DedFile& ded, std::string_view source, bool relative) {
  const DedExtents& e = ded.extents;
  const auto perRecord = static_cast<long long>(e.postsPerRecord);
  const auto records = static_cast<long long>(e.records);
  const double lonStep = step(e.swLon, e.neLon, e.records, e.lonSpacing);
  const double latStep = step(e.swLat, e.neLat, e.postsPerRecord, e.latSpacing);
  const long long northOfFirstColumn = kDedPreambleSize + 2 * (perRecord - 1);
  return "<VRTDataset rasterXSize=\"" + std::to_string(records) + "\" rasterYSize=\"" +
         std::to_string(perRecord) +
         "\">\n  <SRS dataAxisToSRSAxisMapping=\"2,1\">EPSG:4326</SRS>\n" + "  <GeoTransform>" +
         number(e.swLon - lonStep / 2) + ", " + number(lonStep) + ", 0, " +
         number(e.neLat + latStep / 2) + ", 0, " + number(-latStep) + "</GeoTransform>\n" +
         "  <VRTRasterBand dataType=\"Int16\" band=\"1\" subClass=\"VRTRawRasterBand\">\n" +
         "    <NoDataValue>" + std::to_string(kDedNullPost) + "</NoDataValue>\n" +
         "    <SourceFilename relativeToVRT=\"" + (relative ? "1" : "0") + "\">" +
         xmlEscaped(source) + "</SourceFilename>\n" + "    <ImageOffset>" +
         std::to_string(northOfFirstColumn) + "</ImageOffset>\n" + "    <PixelOffset>" +
         std::to_string(2 * perRecord) + "</PixelOffset>\n" +
         "    <LineOffset>-2</LineOffset>\n    <ByteOrder>MSB</ByteOrder>\n" +
         "  </VRTRasterBand>\n</VRTDataset>\n";
}

void writeDedVrt(const DedFile& ded, const std::string& vrtPath) {
  const auto refuse = [&](const std::string& why) {
    throw RunError(ded.path + ": no VRT written: " + why);
  };
  const DedExtents& e = ded.extents;
  if (!(e.postsPerRecord >= 1.0f && e.postsPerRecord <= kMaxCount && e.records >= 1.0f &&
        e.records <= kMaxCount)) {
    refuse("its post counts (" + number(e.postsPerRecord) + " per record, " + number(e.records) +
           " records) are not 1 to 16777216");
  }
  namespace fs = std::filesystem;
  const fs::path dedPath = fs::absolute(ded.path);
  const bool together = dedPath.parent_path() == fs::absolute(vrtPath).parent_path();
  const std::string text = together ? dedVrtText(ded, dedPath.filename().string(), true)
                                    : dedVrtText(ded, dedPath.string(), false);
  sxhost::writeFileAtomically(vrtPath, text);
}

}  // namespace relievo::cli
