#include "dialog/generate.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "ded/ded_file_writer.h"
#include "ded/export.h"
#include "dialog/progress.h"

namespace relievo {

namespace {

struct Outcome {
  const char* title;
  std::string firstLine;
  std::string text;
  int kind;
};

Outcome failure(const std::string& firstLine, const std::string& detail) {
  return {"Error", firstLine, firstLine + "\n\n" + detail, SX_MESSAGE_ERROR};
}

// The line of a file that failed, with the system's reason: "Error writing DED file: ...".
std::string withReason(const char* line, int error) {
  return std::string(line) + ": " + std::strerror(error);
}

// What the user is told of the conversion's result.
Outcome outcomeOf(const ExportResult& result, const ToolState* state, const char* path) {
  char size[64];
  std::snprintf(size, sizeof size, "%d x %d posts", state->source.width, state->source.height);
  switch (result.status) {
    case ExportStatus::Done:
      return {"Success", "DED file created", std::string("DED file created\n\n") + path,
              SX_MESSAGE_INFORMATION};
    case ExportStatus::InvalidSize:
      return failure("Invalid DED size", size);
    case ExportStatus::NoMemory:
      return failure("Not enough memory for the DED posts", size);
    case ExportStatus::CannotCreate:
      return failure(withReason("Error creating DED file", result.error), path);
    case ExportStatus::CannotRead:
      return {"Error", "Error parsing data in input file", "Error parsing data in input file.",
              SX_MESSAGE_ERROR};
    case ExportStatus::CannotWrite:
      break;
  }
  return failure(withReason("Error writing DED file", result.error), path);
}

bool sameFile(const char* a, const char* b) {
  if (std::strcmp(a, b) == 0) return true;
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

void freeNames(char** names) {
  if (names != nullptr) sxFreeStringList(names);
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
  DedFileWriter writer;
  return generateWith(state, writer);
}

int generateWith(ToolState* state, PostWriter& writer) {
  if (state->raster == nullptr) return 1;
  char path[kPathSize];
  if (chooseOutputFile(state, path, kPathSize - 1) == 0) {
    sxTextSetString(state->ui.statusText, "Operation canceled");
    return 0;
  }
  progressBegin(state, "Generating DED file...", 2.0 * state->source.height);
  const ExportSource from{state->raster, state->source, state->ranges, state->extents};
  const ExportResult result = exportDed(from, writer, path, progressSteps(state));
  const Outcome outcome = outcomeOf(result, state, path);
  if (result.status == ExportStatus::Done) {
    std::snprintf(state->source.dedFileName, sizeof state->source.dedFileName, "%s", path);
  }
  progressEnd(state, outcome.firstLine.c_str());
  sxMessageDialog(state->ui.dialog, outcome.title, outcome.text.c_str(), outcome.kind);
  if (outcome.kind == SX_MESSAGE_INFORMATION) offerPrefsRemoval(state->ui.dialog, path);
  return 1;
}

int chooseOutputFile(ToolState* state, char* buffer, int maximum) {
  const SourceLayout& source = state->source;
  const bool propose =
      source.dedFileName[0] != '\0' && std::strcmp(source.dedFileName, source.fileName) != 0;
  for (;;) {
    int count = 0;
    char** names = nullptr;
    const int result = sxPromptDialogFile(
        state->ui.dialog, SX_PROMPT_SAVE, &count, &names, "PromptFileFlags", 4, "PromptFilePattern",
        "DED Files|*.ded", "PromptFileTitle", "Select Output DED File",
        propose ? "PromptFileFullFilename" : "PromptFileDirectory",
        propose ? source.dedFileName : source.sourceDir, nullptr);
    // An empty name is no choice either: there is nothing to create.
    if (result != 0 || count < 1 || names == nullptr || names[0] == nullptr ||
        names[0][0] == '\0') {
      freeNames(names);
      return 0;
    }
    // The same file under another spelling would be truncated before it is read.
    if (source.fileName[0] != '\0' && sameFile(names[0], source.fileName)) {
      sxMessageDialog(state->ui.dialog, "Invalid Output DED File Name",
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
