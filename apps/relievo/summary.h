// The summary `relievo` prints on standard output after a conversion: what the dialog shows
// once "Generate DED" has run, and the file it wrote.
#ifndef RELIEVO_APPS_SUMMARY_H
#define RELIEVO_APPS_SUMMARY_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "sxhost/gui.h"

namespace relievo::cli {

struct Summary {
  std::string sourceKind;  // the label of the "Source:" menu
  std::string file;        // empty for the fractal generator
  std::string placement;   // how a geo raster is placed (its CRS); empty for other sources
  std::string width, height;
  std::string rawMin, rawMax, rawUnit;
  std::string metresMin, metresMax;
  std::string dedMin, dedMax;
  std::string swLat, swLon, neLat, neLon;  // decimal degrees
  std::string latSpacing, lonSpacing;      // decimal degrees
  std::string latPosts, lonPosts;
  std::string output;
  std::uintmax_t outputBytes = 0;
};

// The label of the item a menu shows selected, or "".
std::string selectedItem(const sxhost::Control& menu);

// Reads the main dialog; the angles must be shown in decimal degrees.
Summary readSummary(sxhost::Dialog& dialog, const std::string& output);

void printSummary(std::FILE* out, const Summary& summary);

// A spacing of d degrees in arc-seconds, as text ("" when d is no number).
std::string arcSeconds(const std::string& degrees);

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_SUMMARY_H
