#include "summary.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "dialog_ids.h"

namespace relievo::cli {

using namespace main_ids;

std::string selectedItem(const sxhost::Control& menu) {
  const auto items = menu.items();
  const int pos = menu.selectedPos();
  return pos >= 1 && static_cast<std::size_t>(pos) <= items.size() ? items[pos - 1] : "";
}

Summary readSummary(sxhost::Dialog& dialog, const std::string& output) {
  const auto text = [&](int id) { return dialog.control(id).text(); };
  Summary s;
  s.sourceKind = selectedItem(dialog.control(kSourceMenu));
  if (dialog.control(kChooseFile).enabled()) s.file = text(kFileText);
  if (dialog.control(kPlacement).visible()) s.placement = text(kPlacement);
  s.width = text(kWidth);
  s.height = text(kHeight);
  s.rawMin = text(kRawMin);
  s.rawMax = text(kRawMax);
  // The label reads "Raw Data (<unit>)".
  const std::string label = text(kRawLabel);
  const auto open = label.find('(');
  const auto close = label.rfind(')');
  if (open != std::string::npos && close != std::string::npos && close > open) {
    s.rawUnit = label.substr(open + 1, close - open - 1);
  }
  s.metresMin = text(kMetresMin);
  s.metresMax = text(kMetresMax);
  s.dedMin = text(kDedMin);
  s.dedMax = text(kDedMax);
  s.swLat = text(kSwLat);
  s.swLon = text(kSwLon);
  s.neLat = text(kNeLat);
  s.neLon = text(kNeLon);
  s.latSpacing = text(kLatSpacing);
  s.lonSpacing = text(kLonSpacing);
  s.latPosts = text(kLatPosts);
  s.lonPosts = text(kLonPosts);
  s.output = output;
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(output, ec);
  s.outputBytes = ec ? 0 : bytes;
  return s;
}

std::string arcSeconds(const std::string& degrees) {
  char* end = nullptr;
  const double d = std::strtod(degrees.c_str(), &end);
  if (degrees.empty() || end != degrees.c_str() + degrees.size()) return "";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", d * 3600.0);
  return buf;
}

void printSummary(std::FILE* out, const Summary& s) {
  std::fprintf(out, "Source:     %s%s%s, %s x %s\n", s.sourceKind.c_str(),
               s.file.empty() ? "" : " ", s.file.c_str(), s.width.c_str(), s.height.c_str());
  if (!s.placement.empty()) std::fprintf(out, "CRS:        %s\n", s.placement.c_str());
  std::fprintf(out, "Raw data:   %s ... %s %s\n", s.rawMin.c_str(), s.rawMax.c_str(),
               s.rawUnit.c_str());
  std::fprintf(out, "In metres:  %s ... %s\n", s.metresMin.c_str(), s.metresMax.c_str());
  std::fprintf(out, "DED range:  %s ... %s m\n", s.dedMin.c_str(), s.dedMax.c_str());
  std::fprintf(out, "SW corner:  lat %s, lon %s\n", s.swLat.c_str(), s.swLon.c_str());
  std::fprintf(out, "NE corner:  lat %s, lon %s\n", s.neLat.c_str(), s.neLon.c_str());
  std::fprintf(out, "Spacing:    lat %s\" (%s deg), lon %s\" (%s deg)\n",
               arcSeconds(s.latSpacing).c_str(), s.latSpacing.c_str(),
               arcSeconds(s.lonSpacing).c_str(), s.lonSpacing.c_str());
  std::fprintf(out, "Posts:      %s per column x %s columns\n", s.latPosts.c_str(),
               s.lonPosts.c_str());
  std::fprintf(out, "Output:     %s (%ju bytes)\n", s.output.c_str(), s.outputBytes);
}

}  // namespace relievo::cli
