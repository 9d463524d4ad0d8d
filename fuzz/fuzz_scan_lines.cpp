// The Scan File listing over any text file: the lines it lists, where each starts, the line
// it selects, the counts it detects from header lines, and the "Get" read of the selected
// line. The list is a real list control of the stand-in host.
#include <cstdint>
#include <cstdlib>

#include "dialog/scan_dialog.h"
#include "scratch_file.h"
#include "sxhost/gui.h"
#include "sxhost/host.h"

namespace {

using namespace relievo;

constexpr const char* kListResource = R"({"dialogs": [{"id": 108, "size": [100, 100],
    "controls": [{"id": 1073, "kind": "list", "rect": [0, 0, 90, 90]}]}]})";

struct ScanList {
  sxhost::Host host;
  SxGui list = nullptr;

  ScanList() {
    SxResource resource = host.loadResourceJson(kListResource);
    SxDialog dialog =
        sxResourceGetDialog(nullptr, resource, kScanDialogTemplate, 0, nullptr, nullptr);
    list = sxFindGuiById(dialog, kScanList);
    if (list == nullptr) std::abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFile file(".txt");
  static ScanList host;
  file.write({data, size});
  ToolState state{};
  if (!sourceTakeFileName(state.source, file.path())) std::abort();
  ScanFileState& scan = state.scan;
  scan.scanHeaderOffset = static_cast<std::int32_t>(size / 2);
  fillScanList(&state, host.list);

  const auto items = host.host.dialog(kScanDialogTemplate).control(kScanList).items();
  if (items.size() > kScanLines) std::abort();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].size() > kScanLineChars + 3) std::abort();
    const std::int32_t start = scan.scanLineOffsets[i];
    if (start < 0 || static_cast<std::size_t>(start) > size) std::abort();
    if (i > 0 && start <= scan.scanLineOffsets[i - 1]) std::abort();
  }
  int value = 0;
  scanReadNumberAt(state.source, scan.scanHeaderOffset, &value);
  return 0;
}
