// The host refusing memory at each allocation of a whole conversion in turn, from the first
// start to the DED file. Hostile stored settings are the loader's unit tests' case.
#include <limits>
#include <optional>

#include "e2e_support.h"
#include "sxhost/memory.h"

namespace relievo::e2e {
namespace {

using sxhost::PrefValue;

// A user's step: a control of a dialog pressed, or given its text, list position or value.
struct Step {
  int id;
  std::string arg = "";
  int dialog = 100;
};
// A conversion: a source file named by the stored settings, then the user's steps.
struct Flow {
  std::string fileName, bytes;
  std::vector<std::pair<const char*, PrefValue>> prefs;
  std::vector<Step> steps;
};
struct Outcome {
  std::uint64_t allocations = 0;
  bool dialog = false;
  std::vector<std::string> shown;  // the Z Scale and post count fields at the end
  std::optional<std::string> ded;  // when created, without its creation time
};

// Runs the flow with the `refused`th allocation refused (none for 0); a step acts only on a
// control that a user could reach: shown and enabled.
Outcome run(const Flow& flow, std::uint64_t refused) {
  const ScratchDir dir;
  sxhost::Host host;
  host.loadPlugin(pluginPath());
  for (const auto& [key, value] : flow.prefs)
    host.preferences().set(kTool, key, value);
  host.preferences().set(kTool, "FileName", dir.write(flow.fileName, flow.bytes));
  host.responder().queueFile({dir.path("out.ded")});
  Outcome outcome;
  const std::uint64_t before = sxhost::allocationRequests();
  {
    const sxhost::AllocationFailure refuse({std::numeric_limits<std::size_t>::max(), refused});
    host.startTool(kTool);
    outcome.dialog = host.findDialog(100) != nullptr;
    for (const Step& step : flow.steps) {
      sxhost::Dialog* d = host.findDialog(step.dialog);
      if (d == nullptr || !d->control(step.id).visible() || !d->control(step.id).enabled())
        continue;
      sxhost::Control& control = d->control(step.id);
      using Kind = sxhost::ControlKind;
      if (step.arg.empty()) control.press();
      if (control.kind() == Kind::Text) control.type(step.arg);
      if (control.kind() == Kind::List) control.select(std::stoi(step.arg));
    }
    if (sxhost::Dialog* d = host.findDialog(100)) {
      for (const int id : {kRawMin, kRawMax, kMetersMin, kMetersMax, kDedMin, kDedMax, kLatPosts})
        outcome.shown.push_back(d->control(id).text());
      if (d->control(kStatus).text() == "DED file created")
        outcome.ded = withoutCreationTime(readFile(dir.path("out.ded")));
      d->close();
    }
  }
  outcome.allocations = sxhost::allocationRequests() - before;
  EXPECT_FALSE(host.waitCursorShown());
  return outcome;
}

// Nothing crashes, the dialog shows whenever the state record was granted, and a file reported
// as created from the ranges and counts that the run without refusals showed is the file of
// that run; refusals in the previews leave the conversion as it was. Reading an image and
// generating a fractal under refusals are their sources' unit tests' case.
TEST(RelievoMemoryTest, ConversionsOfEveryKindSurviveEveryRefusal) {
  const Step preview{kPreviewData};
  const Step generate{kGenerate};
  // clang-format off
  const Flow flows[] = {
      {"grid.raw", bytesOf({1, 2, 3, 4, 5, 6}), {{"DataType", kBinary}, {"Width", 3}, {"Height", 2}},
       {preview, {kDedMax, "100"}, generate}},
      {"grid.txt", "ncols 2\nnrows 2\n1 -9999\n3 4\n", {{"DataType", kAscii}},
       {{kScanFile}, {kScanList, "3", 108}, {kScanOk, "", 108}, preview, {kHasUndefined},
        {kUndefinedValue, "-9999"}, generate}},
  };
  // clang-format on
  for (const Flow& flow : flows) {
    SCOPED_TRACE(flow.fileName);
    const Outcome reference = run(flow, 0);
    ASSERT_TRUE(reference.ded.has_value());
    int compared = 0;
    for (std::uint64_t n = 1; n <= reference.allocations; ++n) {
      SCOPED_TRACE("allocation " + std::to_string(n) + " refused");
      const Outcome outcome = run(flow, n);
      EXPECT_EQ(outcome.dialog, n != 1);
      if (outcome.ded && outcome.shown == reference.shown) {
        EXPECT_EQ(outcome.ded, reference.ded);
        ++compared;
      }
    }
    EXPECT_GT(compared, 0);
  }
}

}  // namespace
}  // namespace relievo::e2e
