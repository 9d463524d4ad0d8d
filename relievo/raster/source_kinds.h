// The table of source kinds: one row per entry of the "Source:" menu, in menu order (a row's
// position is its SourceKind value), with everything loading a source of that kind takes:
// when it may load by itself, what the progress display shows, the check of the file before
// any reading, the open function and the status when it cannot be opened. The dialog's
// loader reads the row and knows no kind by name.
//
// Adding a kind: its reader in raster/, a SourceKind value and a row here; the panel's
// controls (resource file and dialog/) and the command's word for it.
#ifndef RELIEVO_RASTER_SOURCE_KINDS_H
#define RELIEVO_RASTER_SOURCE_KINDS_H

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "raster/detect.h"
#include "raster/image_reader.h"
#include "raster/source_facts.h"
#include "raster/source_layout.h"

namespace relievo {

// What an open function works from: the layout, the decoded-image cache and the readers'
// progress pair.
struct SourceRequest {
  SourceLayout* source;  // an image source also receives the image's width and height
  ImageCache** imageCache;
  ProgressCallback progress;
  void* progressContext;
  // Opens the kinds whose reader lives above this library (the fractal terrain); null when
  // the caller has none.
  RasterRec* (*generate)(const SourceRequest& request, int* valuesRead);
  void* generatorContext;
  // Receives why the source could not be opened, naming the file, when its reader says (a
  // geo raster); may be null.
  std::string* error;
};

// A row's verdict on the file before any reading.
enum class SourceFit { Fits, Ask, Refuse };
struct SourceCheck {
  SourceFit fit;
  const char* title;  // of the question (Ask: go on only on yes) or of the error (Refuse)
  std::string text;
};

struct SourceKindRow {
  SourceKind kind{};
  const char* label = nullptr;         // the menu's entry; null for the row of an unknown kind
  bool needsFile = false;              // nothing loads while no file is named
  bool sizeFromFile = false;           // the file gives width and height, not the user
  bool orientationFromFile = false;    // the file gives the order and origin of its rows
  std::int64_t autoLoadLimit = 0;      // loads by itself up to this many values (width x height)
  bool cachedLoadsByItself = false;    // ... or whatever its size when its image is in the cache
  const char* progressText = nullptr;  // the status while it loads
  double progressSteps = 1.0;          // the progress maximum, per row of the source
  // The check of the file (null: every file fits). `detected` is what rasterDetectFileKind
  // found; valuesRead (may be null) may receive the values available.
  SourceCheck (*check)(const SourceLayout& source, FileKind detected, int* valuesRead) = nullptr;
  // Opens the source, null when it cannot be had; valuesRead receives the values read
  // (null: no source can be opened).
  RasterRec* (*open)(const SourceRequest& request, int* valuesRead) = nullptr;
  const char* failureText = nullptr;  // the status of a failed open no count of values explains
  // Reads what the layout's file states about itself without loading it: its facts, a label
  // per band, and its size, order and origin into the layout, so that the automatic load
  // decision sees them. Null for kinds whose layout is the user's. False when the file cannot
  // be read as this kind (the load then says why).
  bool (*inspect)(SourceLayout& source, SourceFacts& facts,
                  std::vector<std::string>& bandLabels) = nullptr;
};

inline constexpr std::int64_t kAutoLoadFractal = 4096 * 4096;
inline constexpr std::int64_t kAutoLoadImage = 1024 * 1024;
inline constexpr std::int64_t kAutoLoadFile = 512 * 512;

// The rows of the menu, in order.
std::span<const SourceKindRow> sourceKindTable();
// The row of kind; for a kind no row has (a stored preference may hold any number), a row
// that loads nothing and says "Error reading file".
const SourceKindRow& sourceKindRow(SourceKind kind);
// Whether the layout's source may load by itself, without "Preview Data".
bool sourceLoadsByItself(const SourceKindRow& row, const SourceLayout& source,
                         const ImageCache* cache);

}  // namespace relievo

#endif  // RELIEVO_RASTER_SOURCE_KINDS_H
