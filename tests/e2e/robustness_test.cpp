// Hostile conditions met through the dialog: stored settings out of every range, and the
// host refusing memory at each allocation of a whole conversion in turn.
#include <functional>
#include <optional>

#include "e2e_support.h"
#include "sxhost/memory.h"

namespace relievo::e2e {
namespace {

// Stored settings are a file a user can edit: whatever they hold, the dialog shows, loads
// nothing it cannot hold, and neither "Preview Data" nor closing fails.
TEST(RelievoHostileSettingsTest, NoStoredValueBreaksTheDialog) {
  const ScratchDir dir;
  const std::string file = dir.path("data.bin");
  writeFile(file, std::string(64, '\3'));
  const std::pair<int, int> sizes[] = {{-5, 3}, {0, 0}, {65536, 65536}, {2147483647, 2147483647}};
  for (const std::string& name : {file, std::string(2000, 'x')}) {
    for (const int kind : {-1, 0, 1, 2, 3, 4, 5}) {
      for (const auto& [width, height] : sizes) {
        SCOPED_TRACE("kind " + std::to_string(kind) + ", " + std::to_string(width) + " x " +
                     std::to_string(height) + ", name of " + std::to_string(name.size()));
        sxhost::Host host;
        host.loadPlugin(pluginPath());
        // clang-format off
        const std::pair<const char*, sxhost::PrefValue> stored[] = {
            {"DataType", kind}, {"Width", width}, {"Height", height}, {"FileName", name},
            {"ByteType", 9}, {"HeaderOffset", -100}, {"DataStride", -3}, {"Units", 0},
            {"DelimiterType", 99}, {"Delimiter", 300}, {"ReplaceNullKind", 7}, {"DataOrder", 5},
            {"DataOrigin", -2}, {"Fractal Noise", 1e300}, {"Fractal Valleys", -1.0},
            {"Fractal Water Level", 2.0}, {"LatStart", 5.0f}, {"LatEnd", 5.0f}, {"BottomRed", 1000}};
        // clang-format on
        for (const auto& [key, value] : stored)
          host.preferences().set(kTool, key, value);
        host.startTool(kTool);
        sxhost::Dialog& d = host.dialog(100);
        ASSERT_TRUE(d.visible());
        if (d.control(kPreviewData).visible()) d.control(kPreviewData).press();
        // Only the fractal terrain loads: without a size it takes the generator's edge.
        const bool loaded = kind == 4 && width == 0;
        EXPECT_EQ(d.control(kGenerate).enabled(), loaded);
        EXPECT_EQ(d.control(kPreview).visible(), loaded);
        d.close();
      }
    }
  }
}

// A conversion from the first start to the DED file: a source file, stored settings, then
// user actions after the start.
struct Flow {
  std::string fileName;
  std::string bytes;
  bool storeName;  // "FileName" names the file; else the actions choose it
  std::vector<std::pair<const char*, sxhost::PrefValue>> prefs;
  std::function<void(sxhost::Host&, const std::string& file)> act;
};

struct Outcome {
  std::uint64_t allocations = 0;
  bool dialog = false;
  bool created = false;
  std::vector<std::string> shown;  // the Z Scale and post count fields before Generate DED
  std::string ded;                 // without its creation time
};

Outcome run(const Flow& flow, std::uint64_t refused) {
  const ScratchDir dir;
  const std::string file = dir.path(flow.fileName);
  writeFile(file, flow.bytes);
  Outcome outcome;
  sxhost::Host host;
  host.loadPlugin(pluginPath());
  for (const auto& [key, value] : flow.prefs)
    host.preferences().set(kTool, key, value);
  if (flow.storeName) host.preferences().set(kTool, "FileName", file);
  const std::uint64_t before = sxhost::allocationRequests();
  {
    const sxhost::AllocationFailure refuse(
        sxhost::AllocationPolicy{std::numeric_limits<std::size_t>::max(), refused});
    host.startTool(kTool);
    sxhost::Dialog* d = host.findDialog(100);
    outcome.dialog = d != nullptr;
    if (d != nullptr) {
      flow.act(host, file);
      for (const int id :
           {kRawMin, kRawMax, kMetersMin, kMetersMax, kDedMin, kDedMax, kLatPosts, kLonPosts}) {
        outcome.shown.push_back(d->control(id).text());
      }
      host.responder().reset();
      host.responder().queueFile({dir.path("out.ded")});
      if (d->control(kGenerate).enabled()) d->control(kGenerate).press();
      outcome.created = d->control(kStatus).text() == "DED file created";
      if (outcome.created) outcome.ded = withoutCreationTime(readFile(dir.path("out.ded")));
      d->close();
      EXPECT_FALSE(host.waitCursorShown());
    }
  }
  outcome.allocations = sxhost::allocationRequests() - before;
  return outcome;
}

// Refuses each allocation of the flow in turn: nothing crashes, the dialog shows whenever
// the state record was granted, and a file reported as created from the ranges and counts
// that the run without refusals showed is the file of that run.
void sweep(const Flow& flow) {
  const Outcome reference = run(flow, 0);
  ASSERT_TRUE(reference.created);
  ASSERT_GT(reference.allocations, 0u);
  int compared = 0;
  for (std::uint64_t n = 1; n <= reference.allocations; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n) + " of " +
                 std::to_string(reference.allocations) + " refused");
    const Outcome outcome = run(flow, n);
    EXPECT_EQ(outcome.dialog, n != 1);
    if (outcome.created && outcome.shown == reference.shown) {
      EXPECT_EQ(outcome.ded, reference.ded);
      ++compared;
    }
  }
  // Refusals in the previews leave the conversion as it was.
  EXPECT_GT(compared, 0);
}

// Presses a control when a user could: shown and enabled.
void pressIfShown(sxhost::Host& host, int id) {
  sxhost::Control& control = host.dialog(100).control(id);
  if (control.visible() && control.enabled()) control.press();
}

TEST(RelievoMemoryTest, ConversionsOfEveryKindSurviveEveryRefusal) {
  sxhost::image::testing::SgiPicture rgb{3, 2, 3, {}};
  for (int i = 0; i < 18; ++i)
    rgb.planes.push_back(static_cast<unsigned char>(7 * i));
  const std::vector<unsigned char> picture = sxhost::image::testing::sgiVerbatim(rgb);
  const Flow flows[] = {
      {"grid.raw",
       bytesOf({1, 2, 3, 4, 5, 6}),
       true,
       {{"DataType", kBinary}, {"Width", 3}, {"Height", 2}},
       [](sxhost::Host& host, const std::string&) {
         pressIfShown(host, kPreviewData);
         host.dialog(100).control(kDedMax).type("100");
       }},
      {"unused",
       "",
       false,
       {{"Width", 16}, {"Height", 16}},
       [](sxhost::Host& host, const std::string&) {
         host.dialog(100).control(kSeedUp).press();
         host.dialog(100).control(kNoise).slide(0.5);
       }},
      {"picture.rgb",
       std::string(picture.begin(), picture.end()),
       false,
       {{"DataType", kBinary}},
       [](sxhost::Host& host, const std::string& file) {
         host.responder().queueFile({file});
         host.dialog(100).control(kBrowse).press();
         pressIfShown(host, kGreen);
         pressIfShown(host, kPreviewData);
       }},
      {"grid.txt",
       "ncols 2\nnrows 2\n1 -9999\n3 4\n",
       true,
       {{"DataType", kAscii}},
       [](sxhost::Host& host, const std::string&) {
         host.dialog(100).control(kScanFile).press();
         host.dialog(108).control(kScanList).select(3);
         host.dialog(108).control(kScanOk).press();
         pressIfShown(host, kPreviewData);
         host.dialog(100).control(kHasUndefined).press();
         host.dialog(100).control(kUndefinedValue).type("-9999");
       }},
  };
  for (const Flow& flow : flows) {
    SCOPED_TRACE(flow.fileName);
    sweep(flow);
  }
}

}  // namespace
}  // namespace relievo::e2e
