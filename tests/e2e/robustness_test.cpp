// The host refusing memory at each allocation of a whole conversion in turn, from the first
// start to the DED file. Hostile stored settings are the loader's unit tests' case.
#include <functional>
#include <optional>

#include "e2e_support.h"
#include "sxhost/memory.h"

namespace relievo::e2e {
namespace {

// A conversion: a source file named by the stored settings, then user actions after the start.
struct Flow {
  std::string fileName;
  std::string bytes;
  std::vector<std::pair<const char*, sxhost::PrefValue>> prefs;
  std::function<void(sxhost::Host&)> act;
};

struct Outcome {
  std::uint64_t allocations = 0;
  bool dialog = false;
  std::vector<std::string> shown;  // the Z Scale and post count fields before Generate DED
  std::optional<std::string> ded;  // when created, without its creation time
};

Outcome run(const Flow& flow, std::uint64_t refused) {
  const ScratchDir dir;
  Outcome outcome;
  sxhost::Host host;
  host.loadPlugin(pluginPath());
  for (const auto& [key, value] : flow.prefs)
    host.preferences().set(kTool, key, value);
  host.preferences().set(kTool, "FileName", dir.write(flow.fileName, flow.bytes));
  const std::uint64_t before = sxhost::allocationRequests();
  {
    const sxhost::AllocationFailure refuse(
        sxhost::AllocationPolicy{std::numeric_limits<std::size_t>::max(), refused});
    host.startTool(kTool);
    sxhost::Dialog* d = host.findDialog(100);
    outcome.dialog = d != nullptr;
    if (d != nullptr) {
      flow.act(host);
      for (const int id : {kRawMin, kRawMax, kMetersMin, kMetersMax, kDedMin, kDedMax, kLatPosts})
        outcome.shown.push_back(d->control(id).text());
      host.responder().reset();
      host.responder().queueFile({dir.path("out.ded")});
      if (d->control(kGenerate).enabled()) d->control(kGenerate).press();
      if (d->control(kStatus).text() == "DED file created")
        outcome.ded = withoutCreationTime(readFile(dir.path("out.ded")));
      d->close();
      EXPECT_FALSE(host.waitCursorShown());
    }
  }
  outcome.allocations = sxhost::allocationRequests() - before;
  return outcome;
}

// Presses a control when a user could: shown and enabled.
void pressIfShown(sxhost::Host& host, int id) {
  sxhost::Control& control = host.dialog(100).control(id);
  if (control.visible() && control.enabled()) control.press();
}

// Nothing crashes, the dialog shows whenever the state record was granted, and a file reported
// as created from the ranges and counts that the run without refusals showed is the file of
// that run; refusals in the previews leave the conversion as it was.
TEST(RelievoMemoryTest, ConversionsOfEveryKindSurviveEveryRefusal) {
  sxhost::image::testing::SgiPicture rgb{3, 2, 3, {}};
  for (int i = 0; i < 18; ++i)
    rgb.planes.push_back(static_cast<unsigned char>(7 * i));
  const std::vector<unsigned char> picture = sxhost::image::testing::sgiVerbatim(rgb);
  const auto preview = [](sxhost::Host& host) { pressIfShown(host, kPreviewData); };
  const Flow flows[] = {
      {"grid.raw",
       bytesOf({1, 2, 3, 4, 5, 6}),
       {{"DataType", kBinary}, {"Width", 3}, {"Height", 2}},
       [&](sxhost::Host& host) {
         preview(host);
         host.dialog(100).control(kDedMax).type("100");
       }},
      {"unused",
       "",
       {{"Width", 16}, {"Height", 16}},
       [](sxhost::Host& host) {
         host.dialog(100).control(kSeedUp).press();
         host.dialog(100).control(kNoise).slide(0.5);
       }},
      {"picture.rgb",
       std::string(picture.begin(), picture.end()),
       {{"DataType", kImage}},
       [&](sxhost::Host& host) {
         pressIfShown(host, kGreen);
         preview(host);
       }},
      {"grid.txt",
       "ncols 2\nnrows 2\n1 -9999\n3 4\n",
       {{"DataType", kAscii}},
       [&](sxhost::Host& host) {
         host.dialog(100).control(kScanFile).press();
         host.dialog(108).control(kScanList).select(3);
         host.dialog(108).control(kScanOk).press();
         preview(host);
         host.dialog(100).control(kHasUndefined).press();
         host.dialog(100).control(kUndefinedValue).type("-9999");
       }},
  };
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
