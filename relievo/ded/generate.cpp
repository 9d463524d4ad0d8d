#include "ded/generate.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>

#include "ded/ded_writer.h"
#include "ded/mapping.h"
#include "ded/units.h"
#include "dialog/progress.h"
#include "plugin/spacing.h"
#include "raster/data_scan.h"

namespace relievo {

namespace {

// Rows converted before they are transposed into the column-ordered post buffer, so that
// each column receives a run of consecutive posts instead of one scattered write per value.
constexpr int kTransposeRows = 64;

struct Outcome {
  const char* title;
  std::string firstLine;
  std::string text;
  int kind;
};

Outcome failure(const char* firstLine, const std::string& detail) {
  return {"Error", firstLine, std::string(firstLine) + "\n\n" + detail, SX_MESSAGE_ERROR};
}

struct ConversionContext {
  ToolState* state;
  std::int16_t* posts;  // width x height posts, column after column
  int columns;          // values per source row
  int rows;             // source rows
  double scale;         // metres per unit
  std::int16_t* block;  // up to kTransposeRows converted rows, or null: scatter directly
  int blockFirstRow;
  int blockRows;
};

// Post index of value i of row r of a row-major source.
std::int64_t rowMajorIndex(const ConversionContext& c, int i, int r) {
  const int fromSouth = c.state->dataOrigin == DataOrigin::UpperLeft ? c.rows - 1 - r : r;
  return std::int64_t{i} * c.rows + fromSouth;
}

// Moves the block's rows into their columns: each column receives one run of consecutive
// posts (northwards for Lower Left, southwards for Upper Left).
void flushBlock(ConversionContext& c) {
  const bool upper = c.state->dataOrigin == DataOrigin::UpperLeft;
  const int start = upper ? c.rows - 1 - c.blockFirstRow : c.blockFirstRow;
  const int step = upper ? -1 : 1;
  for (int i = 0; i < c.columns; ++i) {
    std::int16_t* to = c.posts + std::int64_t{i} * c.rows + start;
    const std::int16_t* from = c.block + i;
    for (int k = 0; k < c.blockRows; ++k)
      to[k * step] = from[std::int64_t{k} * c.columns];
  }
  c.blockRows = 0;
}

void convertRowMajor(ConversionContext& c, const double* values, int count, int row) {
  if (c.block == nullptr) {
    for (int i = 0; i < count; ++i) {
      c.posts[rowMajorIndex(c, i, row)] = valueToPost(c.state, values[i], c.scale);
    }
    return;
  }
  if (c.blockRows == 0) c.blockFirstRow = row;
  valuesToPosts(c.state, std::span(values, static_cast<std::size_t>(count)), c.scale,
                c.block + std::int64_t{c.blockRows} * c.columns);
  ++c.blockRows;
  if (c.blockRows == kTransposeRows || row == c.rows - 1) flushBlock(c);
}

// A column-major source row is one run of posts: south to north (Lower Left) or north to
// south (Upper Left).
void convertColumnMajor(ConversionContext& c, const double* values, int count, int row) {
  std::int16_t* run = c.posts + std::int64_t{row} * count;
  valuesToPosts(c.state, std::span(values, static_cast<std::size_t>(count)), c.scale, run);
  if (c.state->dataOrigin == DataOrigin::UpperLeft) std::reverse(run, run + count);
}

bool sameFile(const char* a, const char* b) {
  if (std::strcmp(a, b) == 0) return true;
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

void freeNames(char** names) {
  if (names != nullptr) sxFreeStringList(names);
}

// Writes header, range record, extents record and the column records of the converted grid.
void writeDed(ToolState* state, std::FILE* out, std::int16_t* posts) {
  dedWriteHeader(out);

  int lowest = static_cast<std::int16_t>(static_cast<int>(state->dedMin));
  int highest = static_cast<std::int16_t>(static_cast<int>(state->dedMax));
  if (state->hasNullsFound != 0 && state->replaceNullValue != kDedNull) {
    const int replacement = std::min(state->replaceNullValue, 32767);
    lowest = std::min(lowest, replacement);
    highest = std::max(highest, replacement);
  }
  dedWriteRange(out, static_cast<std::int16_t>(lowest), static_cast<std::int16_t>(highest));

  // A column-major source delivers each terrain column as one row: `height` records of
  // `width` posts. For a square grid that is the same arrangement as row-major.
  int records = state->width;
  int postsPerRecord = state->height;
  float latSpacing = state->latSpacing;
  float longSpacing = state->longSpacing;
  int latPosts = static_cast<int>(state->latPosts);
  int longPosts = static_cast<int>(state->longPosts);
  if (state->dataOrder == DataOrder::Cols && state->width != state->height) {
    records = state->height;
    postsPerRecord = state->width;
    latPosts = postsPerRecord;
    longPosts = records;
    latSpacing = spacingFor(state->latStart, state->latEnd, static_cast<float>(latPosts));
    longSpacing = spacingFor(state->longStart, state->longEnd, static_cast<float>(longPosts));
  }
  dedWriteExtents(out, state->latStart, state->longStart, state->latEnd, state->longEnd, latSpacing,
                  longSpacing, longPosts, latPosts);

  for (int c = 0; c < records; ++c) {
    dedWriteColumn(out, c,
                   std::span(posts + std::int64_t{c} * postsPerRecord,
                             static_cast<std::size_t>(postsPerRecord)));
    progressUpdate(state, state->width + c + 1, nullptr);
  }
}

// Converts the loaded source and writes it to path; the outcome to report.
Outcome convertAndWrite(ToolState* state, const char* path) {
  const std::uint64_t count =
      static_cast<std::uint64_t>(std::max(state->width, 0)) * std::max(state->height, 0);
  char size[64];
  std::snprintf(size, sizeof size, "%d x %d posts", state->width, state->height);
  if (count == 0 || count > UINT32_MAX) return failure("Invalid DED size", size);

  // The posts are taken before the output is opened, so that a refusal leaves no file.
  auto* posts = static_cast<std::int16_t*>(sxMalloc(count * sizeof(std::int16_t)));
  if (posts == nullptr) return failure("Not enough memory for the DED posts", size);

  state->outFile = std::fopen(path, "wb");
  if (state->outFile == nullptr) {
    sxFree(posts);
    return failure("Error creating DED file", path);
  }

  scanDataRange(state);
  selectMapping(state);

  ConversionContext context{
      state, posts, state->width, state->height, unitsScale(state->units), nullptr, 0, 0};
  if (state->dataOrder == DataOrder::Rows) {
    context.block = static_cast<std::int16_t*>(
        sxMalloc(static_cast<size_t>(kTransposeRows) * state->width * sizeof(std::int16_t)));
  }
  const int read =
      rasterForEachRow(state->raster, state->width, state->height, convertRow, &context);
  sxFree(context.block);

  Outcome outcome;
  if (read == 0) {
    outcome = {"Error", "Error parsing data in input file", "Error parsing data in input file.",
               SX_MESSAGE_ERROR};
  } else {
    writeDed(state, state->outFile, posts);
    outcome = {"Success", "DED file created", std::string("DED file created\n\n") + path,
               SX_MESSAGE_INFORMATION};
    std::snprintf(state->dedFileName, sizeof state->dedFileName, "%s", path);
  }
  std::fclose(state->outFile);
  state->outFile = nullptr;
  sxSetCursor(nullptr);
  sxFree(posts);
  return outcome;
}

}  // namespace

int generateButtonCallback(SxGui control, int, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_REFRESH) {
    sxSetEnabled(control, state->raster != nullptr ? 1 : 0);
  } else if (reason == SX_REASON_ACTIVATE) {
    generateDed(state);
  }
  return 0;
}

int generateDed(ToolState* state) {
  if (state->raster == nullptr) return 1;
  char path[kPathSize];
  if (chooseOutputFile(state, path, kPathSize - 1) == 0) {
    sxTextSetString(state->statusText, "Operation canceled");
    return 0;
  }
  progressBegin(state, "Generating DED file...", 2.0 * state->height);
  const Outcome outcome = convertAndWrite(state, path);
  progressEnd(state, outcome.firstLine.c_str());
  sxMessageDialog(state->dialog, outcome.title, outcome.text.c_str(), outcome.kind);
  if (outcome.kind == SX_MESSAGE_INFORMATION) offerPrefsRemoval(state->dialog, path);
  return 1;
}

int chooseOutputFile(ToolState* state, char* buffer, int maximum) {
  const bool propose =
      state->dedFileName[0] != '\0' && std::strcmp(state->dedFileName, state->fileName) != 0;
  for (;;) {
    int count = 0;
    char** names = nullptr;
    const int result = sxPromptDialogFile(
        state->dialog, SX_PROMPT_SAVE, &count, &names, "PromptFileFlags", 4, "PromptFilePattern",
        "DED Files|*.ded", "PromptFileTitle", "Select Output DED File",
        propose ? "PromptFileFullFilename" : "PromptFileDirectory",
        propose ? state->dedFileName : state->sourceDir, nullptr);
    // An empty name is no choice either: there is nothing to create.
    if (result != 0 || count < 1 || names == nullptr || names[0] == nullptr ||
        names[0][0] == '\0') {
      freeNames(names);
      return 0;
    }
    // The same file under another spelling would be truncated before it is read.
    if (state->fileName[0] != '\0' && sameFile(names[0], state->fileName)) {
      sxMessageDialog(state->dialog, "Invalid Output DED File Name",
                      "The name of the output DED file cannot be\nthe same as the name of the "
                      "input file.",
                      SX_MESSAGE_WARNING);
      freeNames(names);
      continue;
    }
    std::snprintf(buffer, static_cast<size_t>(maximum) + 1, "%s", names[0]);
    freeNames(names);
    return 1;
  }
}

int convertRow(const double* values, int count, int row, void* data) {
  auto& context = *static_cast<ConversionContext*>(data);
  if (context.state->dataOrder == DataOrder::Cols) {
    convertColumnMajor(context, values, count, row);
  } else {
    convertRowMajor(context, values, count, row);
  }
  progressUpdate(context.state, row, nullptr);
  return 1;
}

void offerPrefsRemoval(SxDialog dialog, std::string_view path) {
  if (path.empty()) return;
  std::string candidates[2] = {std::string(path) + ".prefs", {}};
  if (const auto dot = path.rfind('.'); dot != std::string_view::npos) {
    candidates[1] = std::string(path.substr(0, dot)) + ".prefs";
  }
  for (const std::string& candidate : candidates) {
    if (candidate.empty() || access(candidate.c_str(), F_OK) != 0) continue;
    const std::string question =
        "A Terrain Preference file was found for this DED file.  It is recommended\nthat it be "
        "removed before using the Forgeon Terrain tools on this DED file.\n\nDo you want to "
        "remove\n" +
        candidate + "?";
    if (sxMessageDialog(dialog, "Question", question.c_str(), SX_MESSAGE_YES_NO) == SX_ANSWER_YES) {
      std::remove(candidate.c_str());
    }
  }
}

}  // namespace relievo
