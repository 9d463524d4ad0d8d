#include "dialog/scan_dialog.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "raster/file.h"

namespace relievo {

namespace {

constexpr int kScanMask = SX_EVENT_INIT | SX_EVENT_SHOW | SX_EVENT_CLOSE | SX_EVENT_ACTIVATE;
// Characters read at a time while skipping the rest of an over-long line.
constexpr int kSkipChunk = 2998;
// A "Get" reads at most this many characters of the picked line.
constexpr int kNumberLineChars = 99;

bool endsInLineBreak(const char* text) {
  const std::size_t n = std::strlen(text);
  return n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r');
}

void wire(SxDialog dialog, int id, int mask, SxGuiFn fn, void* state) {
  if (SxGui control = sxFindGuiById(dialog, id)) sxSetGuiCallback(control, mask, fn, state);
}

std::int32_t& countOf(ScanFileState& scan, int id) {
  return id == kScanRowsField || id == kScanGetRows ? scan.scanHeight : scan.scanWidth;
}

}  // namespace

int scanFileButtonCallback(SxGui control, int, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason == SX_REASON_REFRESH) {
    sxSetVisible(control, state->source.sourceKind == SourceKind::Ascii ? 1 : 0);
  } else if (reason == SX_REASON_ACTIVATE) {
    sxSetCursor(sxResourceGetCursor(nullptr, SX_CURSOR_WAIT));
    if (state->ui.scanDialog == nullptr) {
      state->ui.scanDialog = sxResourceGetDialog(nullptr, state->resource, kScanDialogTemplate,
                                                 kScanMask, scanDialogCallback, state);
    }
    sxShowDialog(state->ui.scanDialog);
    sxSetCursor(nullptr);
  }
  return 0;
}

int scanDialogCallback(SxDialog dialog, int, int event, void* data) {
  auto* state = static_cast<ToolState*>(data);
  if (event == SX_EVENT_INIT) {
    wire(dialog, kScanList, SX_MASK_ACTIVATE, scanListCallback, state);
    if (SxGui list = sxFindGuiById(dialog, kScanList)) sxGuiSetFixedFont(list);
    wire(dialog, kScanOk, SX_MASK_ACTIVATE, scanCloseCallback, state);
    wire(dialog, kScanCancel, SX_MASK_ACTIVATE, scanCloseCallback, state);
    // The offset field only shows the picked line's offset; typing into it is not taken.
    wire(dialog, kScanOffsetField, SX_MASK_REFRESH, scanListCallback, state);
    wire(dialog, kScanRowsField, SX_MASK_ACTIVATE_REFRESH, scanCountFieldCallback, state);
    wire(dialog, kScanColumnsField, SX_MASK_ACTIVATE_REFRESH, scanCountFieldCallback, state);
    wire(dialog, kScanGetRows, SX_MASK_ACTIVATE_REFRESH, scanGetButtonCallback, state);
    wire(dialog, kScanGetColumns, SX_MASK_ACTIVATE_REFRESH, scanGetButtonCallback, state);
    sxGuiSetHelpContext(dialog, "130022");
  } else if (event == SX_EVENT_SHOW) {
    state->scan.scanHeaderOffset = state->source.headerOffset;
    state->scan.scanWidth = state->source.width;
    state->scan.scanHeight = state->source.height;
    if (SxGui list = sxFindGuiById(dialog, kScanList)) fillScanList(state, list);
  }
  return 0;
}

void fillScanList(ToolState* state, SxGui list) {
  ScanFileState& scan = state->scan;
  std::fill(std::begin(scan.scanLineOffsets), std::end(scan.scanLineOffsets), 0);
  sxListDeleteAllItems(list);
  // Binary reading counts a carriage return before a line feed in the offsets.
  const FilePtr file = fileOpenAt(state->source.fileName, 0);
  if (!file) {
    sxListAppendItem(list, "Error Opening File");
    return;
  }
  int selected = 1;
  for (int i = 0; i < kScanLines && !std::feof(file.get()); ++i) {
    const long start = std::ftell(file.get());
    scan.scanLineOffsets[i] = static_cast<std::int32_t>(start);
    char line[kScanLineChars + 4] = {};
    if (std::fgets(line, kScanLineChars + 1, file.get()) == nullptr) continue;
    const long end = std::ftell(file.get());
    if (start <= scan.scanHeaderOffset && scan.scanHeaderOffset < end) selected = i + 1;
    trimListedLine(line, file.get());
    sxListAppendItem(list, line);
    detectHeaderCounts(scan, line);
  }
  sxListSelectItemAtPos(list, selected);
  sxListSetTopPos(list, 1);
}

void trimListedLine(char* line, std::FILE* stream) {
  std::size_t n = std::strlen(line);
  const bool hadBreak = n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r');
  while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
    line[--n] = '\0';
  if (hadBreak) return;
  std::strcat(line, "...");
  char chunk[kSkipChunk + 1];
  while (std::fgets(chunk, sizeof chunk, stream) != nullptr && !endsInLineBreak(chunk)) {
  }
}

bool lineContains(std::string_view line, std::string_view word) {
  std::string lowered(line);
  for (char& c : lowered)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered.find(word) != std::string::npos;
}

bool firstInteger(std::string_view text, int* out) {
  const auto digit =
      std::find_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digit == text.end()) return false;
  const std::string number(digit, text.end());
  // Like "%d": a run too long for an int saturates instead of wrapping.
  const long value = std::strtol(number.c_str(), nullptr, 10);
  *out = static_cast<int>(std::min<long>(value, INT32_MAX));
  return true;
}

void detectHeaderCounts(ScanFileState& scan, std::string_view line) {
  int value = 0;
  if (lineContains(line, "row") || lineContains(line, "height")) {
    if (firstInteger(line, &value)) scan.scanHeight = value;
  } else if (lineContains(line, "col") || lineContains(line, "width")) {
    if (firstInteger(line, &value)) scan.scanWidth = value;
  }
}

bool scanReadNumberAt(const SourceLayout& source, int offset, int* out) {
  const FilePtr file = fileOpenAt(source.fileName, offset);
  if (!file) return false;
  char line[kNumberLineChars + 1] = {};
  if (std::fgets(line, sizeof line, file.get()) == nullptr) return false;
  return firstInteger(line, out);
}

int scanListCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (id == kScanList && reason == SX_REASON_ACTIVATE) {
    int pos = 0;
    if (sxListGetSelectedItemPos(control, &pos) == 0 && pos >= 1 && pos <= kScanLines) {
      state->scan.scanHeaderOffset = state->scan.scanLineOffsets[pos - 1];
    }
    sxRefreshControl(sxFindGuiById(state->ui.scanDialog, kScanOffsetField));
  } else if (id == kScanOffsetField && reason == SX_REASON_REFRESH) {
    sxTextSetInteger(control, state->scan.scanHeaderOffset, nullptr);
  }
  return 0;
}

int scanCountFieldCallback(SxGui control, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  std::int32_t& count = countOf(state->scan, id);
  if (reason == SX_REASON_REFRESH) {
    sxTextSetInteger(control, count, nullptr);
  } else if (reason == SX_REASON_ACTIVATE) {
    int value = 0;
    if (sxTextGetInteger(control, &value) == 0 && value >= 0 && value != count) count = value;
  }
  return 0;
}

int scanGetButtonCallback(SxGui, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason != SX_REASON_ACTIVATE) return 0;
  std::int32_t& count = countOf(state->scan, id);
  int value = 0;
  if (scanReadNumberAt(state->source, state->scan.scanHeaderOffset, &value) && value != count) {
    count = value;
    const int field = id == kScanGetRows ? kScanRowsField : kScanColumnsField;
    sxRefreshControl(sxFindGuiById(state->ui.scanDialog, field));
  }
  return 0;
}

int scanCloseCallback(SxGui, int id, int reason, void* data, void*) {
  auto* state = static_cast<ToolState*>(data);
  if (reason != SX_REASON_ACTIVATE) return 0;
  if (id == kScanOk) {
    state->source.headerOffset = state->scan.scanHeaderOffset;
    setDimensions(state, state->scan.scanWidth, state->scan.scanHeight);
  }
  sxHideDialog(state->ui.scanDialog);
  sxRefreshDialog(state->ui.dialog);
  return 0;
}

}  // namespace relievo
