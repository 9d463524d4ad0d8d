#include "dialog/source_loader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dialog/main_dialog.h"
#include "dialog/source_panel.h"
#include "dialog/test_host.h"
#include "fractal/fractal_source.h"
#include "plugin/plugin_entry.h"
#include "plugin/plugin_module.h"
#include "raster/image_reader.h"
#include "raster/test_images.h"
#include "relievo_testing/scratch_dir.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::Bytes;
using testing::sgiImage;
using Texts = std::vector<std::string>;

constexpr char kTool[] = "Relievo";
constexpr int kFractalKind = 4;

// The tool runs as a plug-in linked into the test, with the dialog of the real resource
// file; each show of the dialog loads the stored settings and runs the automatic load.
class Loading : public ::testing::Test {
 protected:
  Loading() {
    sxhost::StaticPlugin plugin;
    plugin.modulePath = std::string(RELIEVO_RESOURCE_DIR) + "/relievo.so";
    plugin.init = sxpInit;
    plugin.exit = sxpExit;
    host.attachPlugin(plugin);
    host.setChangeListener([this](const sxhost::Control& control, sxhost::Change change) {
      if (control.id() == kStatusLine && change == sxhost::Change::Text &&
          control.dialog().templateId() == kMainDialogTemplate && !control.text().empty()) {
        statusTexts.push_back(control.text());
      }
    });
  }

  void store(const std::string& key, sxhost::PrefValue value) {
    host.preferences().set(kTool, key, std::move(value));
  }
  // Closes the dialog if it is shown (which saves the settings), then stores the settings of
  // a source of that kind and layout.
  void storeSource(int kind, const std::string& path, int width, int height) {
    if (host.findDialog(kMainDialogTemplate) != nullptr) {
      dialog().close();
      sxTextSetString(state->ui.statusText, "");  // the status line outlives a close
    }
    store("DataType", kind);
    store("FileName", path);
    store("Width", width);
    store("Height", height);
    statusTexts.clear();
  }
  void start() {
    host.startTool(kTool);
    state = pluginModule().state;
    ASSERT_NE(state, nullptr);
  }
  sxhost::Dialog& dialog() { return host.dialog(kMainDialogTemplate); }
  std::string status() { return dialog().control(kStatusLine).text(); }
  const std::vector<sxhost::ScriptedResponder::MessageRecord>& messages() {
    return host.responder().messages();
  }
  void previewData() {
    statusTexts.clear();
    dialog().control(kPreviewDataButton).press();
  }

  sxhost::Host host;
  testing::ScratchDir dir;
  ToolState* state = nullptr;
  Texts statusTexts;  // every text the status line showed, in order
};

// Stored settings, the automatic load at the dialog's show, then "Preview Data" when nothing
// happened: the question or message shown, the progress and status texts, and whether a
// source is loaded (exactly when the status says "Done"). Some settings are of no dialog's
// making; the sanitizer build checks that nothing reads out of bounds or asks for an
// overflowing block on the way.
TEST_F(Loading, StoredSettingsLoadOrSayWhyNot) {
  const std::string data = dir.write("data.bin", std::string(64, '\x07'));
  const std::string text = dir.write("data.txt", "1 2 3 4\n");
  const std::string latin = dir.write("latin.txt", "1 2 \xE9 3 4\n");
  Bytes cut = sgiImage(3, 2, 1, Bytes(6, 1));  // a whole header, none of the planes
  cut.resize(512 + 2);
  constexpr int kBig = 1 << 20;
  const std::string kNotAscii =
      "This file does not appear to be an ASCII text file.\n\nDo you want to try to read it "
      "anyway?";
  const std::string kNoImage = "This file is not a valid Image file.";
  const std::string kTooLarge =
      "A grid of 1048576 x 1048576 values is too large: at most 2147483647 values can be read.";
  const std::string kTooSmall =
      "This file is not large enough to contain 10 x 10 x 1-byte elements.\n\n"
      "The largest dimensions for this data size is 9 x 9.\n";
  const std::string kSettings = "Invalid Settings for this File", kFormat = "Incorrect Format";
  const std::string kEnded = "Unexpected end of file, ";
  struct Case {
    const char* what;
    int kind;
    std::string file;
    int width, height;
    bool atShow;  // the show loads or says why not by itself, before "Preview Data"
    std::string status, title = "", message = "";  // of the one message shown, if any
    int messageKind = 0;
    bool yes = false;  // the answer to a question
    int byteType = 0, headerOffset = 0, dataStride = 0, endian = 0, order = 0, origin = 0;
    int component = 1, units = 4;
  };
  // clang-format off
  const Case cases[] = {
      // First, while the tool has never been given a file name: nothing happens at all.
      {"no file name, text", 1, "", 2, 2, 0, ""},
      {"binary of 512 x 512", 2, dir.write("512.bin", std::string(512 * 512, '\1')), 512, 512, 1, "Done"},
      {"binary of 600 x 600", 2, dir.write("600.bin", std::string(600 * 600, '\2')), 600, 600, 0, "Done"},
      {"image of 600 x 600", 3, dir.write("600.png", testing::pngImage(600, 600, 1, Bytes(360000))), 600, 600, 1, "Done"},
      {"fractal without a file", kFractalKind, "", 64, 64, 1, "Done"},
      {"no to the ASCII question", 1, latin, 2, 2, 1, "", kFormat, kNotAscii, 2052},
      {"yes to the ASCII question", 1, latin, 2, 2, 1, "Done", kFormat, kNotAscii, 2052, true},
      {"text ending early", 1, dir.write("short.txt", "1 2 3\n4 5\n"), 3, 2, 1, kEnded + "5 of 6 values read"},
      {"binary too small", 2, dir.write("99.bin", std::string(99, '\0')), 10, 10, 1, "", kSettings, kTooSmall, 1025},
      {"text as image", 3, dir.write("grid.png", "1 2 3 4\n"), 2, 2, 1, "", kFormat, kNoImage, 1025},
      {"image that does not decode", 3, dir.write("cut.bw", cut), 3, 2, 1, kEnded + "0 of 6 values read"},
      {"negative width", 2, data, -5, 10, 1, "", kSettings},
      {"huge layout", 2, data, kBig, kBig, 0, "", kSettings, kTooLarge, 1025},
      {"huge stride", 2, data, 8, 8, 1, "Done", "", "", 0, false, 0, 0, INT32_MAX},
      {"negative text width", 1, text, -1, 4, 1, "Error reading file"},
      {"huge text layout", 1, text, kBig, kBig, 0, "", kSettings, kTooLarge, 1025},
      {"text offset past the end", 1, text, 2, 2, 1, kEnded + "0 of 4 values read", "", "", 0, false, 0, 1000},
      {"fractal of no size, as at first", kFractalKind, "", 0, 0, 1, "Done"},
      {"fractal of size 100", kFractalKind, "", 100, 100, 1, "Error creating fractal map"},
      {"negative fractal", kFractalKind, "", -8, -8, 1, "Error creating fractal map"},
      {"unknown source kind", 9, data, 2, 2, 1, "Error reading file"},
      {"unknown byte order", 2, data, 4, 4, 1, "Done", "", "", 0, false, 1, 0, 0, 7},
      {"unknown orientation", 2, data, 8, 4, 1, "Done", "", "", 0, false, 0, 0, 0, 0, 5, -3},
      {"unknown image component", 3, dir.write("c.rgba", sgiImage(2, 1, 4, Bytes(8, 1))), 2, 1, 1, "Error reading file", "", "", 0, false, 0, 0, 0, 0, 0, 0, 77},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.responder().reset();
    storeSource(c.kind, c.file, c.width, c.height);
    const std::pair<const char*, int> layout[] = {
        {"ByteType", c.byteType}, {"HeaderOffset", c.headerOffset}, {"DataStride", c.dataStride},
        {"EndianType", c.endian}, {"DataOrder", c.order},           {"DataOrigin", c.origin},
        {"Units", c.units}};
    for (const auto& [key, value] : layout)
      store(key, value);
    if (state != nullptr) state->source.imageComponent = static_cast<ImageComponent>(c.component);
    if (c.yes) host.responder().queueAnswer(true);
    start();
    const bool tried = state->raster != nullptr || !messages().empty() || !status().empty();
    if (!tried && dialog().control(kPreviewDataButton).visible()) previewData();
    EXPECT_EQ(tried, c.atShow);
    ASSERT_EQ(messages().size(), c.title.empty() ? 0u : 1u);
    if (!c.title.empty()) {
      const auto& shown = messages()[0].message;
      EXPECT_EQ(shown.title, c.title);
      if (!c.message.empty()) {
        EXPECT_EQ(std::tie(shown.text, shown.kind), std::tie(c.message, c.messageKind));
      }
    }
    EXPECT_EQ(status(), c.status);
    const char* begun = c.kind == kFractalKind ? "Generating Fractal Map..."
                        : c.kind == 3          ? "Reading Image..."
                                               : "Reading File...";
    EXPECT_EQ(statusTexts, c.status.empty() ? Texts{} : (Texts{begun, c.status}));
    EXPECT_EQ(state->raster != nullptr, c.status == "Done");
    // The bar spans two passes over the rows (reading, then the range), one for images; the
    // rows whose load changed the height are left out.
    if (c.status == "Done" && state->source.height == c.height) {
      EXPECT_EQ(dialog().control(kProgressBar).range().second,
                c.height * (c.kind == 3 ? 1.0 : 2.0));
    }
  }
}

TEST_F(Loading, ACachedImageLoadsByItselfWhateverItsSize) {
  storeSource(3, dir.write("small.rgb", sgiImage(4, 3, 3, Bytes(36, 50))), 2000, 2000);
  start();
  EXPECT_EQ(state->raster, nullptr);
  previewData();
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(std::tie(state->source.width, state->source.height), std::make_tuple(4, 3));  // its own

  state->source.width = 2000;
  state->source.height = 2000;
  ASSERT_EQ(rasterIsCachedImage(state->imageCache, state->source.fileName), 1);
  autoLoad(state);
  EXPECT_NE(state->raster, nullptr);
  EXPECT_EQ(state->source.width, 4);

  // Another component of the cached image loads by itself too.
  state->source.width = 2000;
  dialog().control(kGreenRadio).press();
  EXPECT_NE(state->raster, nullptr);
  EXPECT_EQ(state->source.imageComponent, ImageComponent::Green);

  // Closing the dialog releases the cached image.
  dialog().close();
  EXPECT_EQ(state->imageCache, nullptr);
}

// While a slider is dragged the map is at 128.
TEST_F(Loading, WhileASliderIsDraggedTheMapIsAt128) {
  storeSource(kFractalKind, "", 256, 256);
  start();
  ASSERT_NE(state->raster, nullptr);
  for (const auto& [phase, width] : {std::pair{SX_SCALE_DRAGGING, 128}, {SX_SCALE_FINAL, 256}}) {
    dialog().control(kNoiseScale).slide(0.5, phase);
    ASSERT_NE(state->raster, nullptr);
    EXPECT_EQ(state->raster->width, width);
  }
  EXPECT_EQ(state->ui.sliderDragging, 0);
}

// Fractals load by themselves up to 4096 x 4096; the generation itself is refused, which shows
// that the load was tried.
TEST_F(Loading, FractalsLoadByThemselvesUpTo4096By4096) {
  sxhost::AllocationFailure refuse = sxhost::AllocationFailure::above(1 << 20);
  for (const int height : {4096, 4097}) {
    storeSource(kFractalKind, "", 4096, height);
    start();
    EXPECT_EQ(state->raster, nullptr);
    const Texts tried = {"Generating Fractal Map...", "Error creating fractal map"};
    EXPECT_EQ(statusTexts, height == 4096 ? tried : Texts{}) << height;
  }
}

TEST_F(Loading, PostsAndSpacingsFollowTheLoadAndTheAutomaticLoadStartsFromNothing) {
  storeSource(2, dir.write("grid.bin", std::string(12, '\x03')), 4, 3);
  store("LatStart", 10.0f);
  store("LatEnd", 11.0f);
  store("LongStart", 20.0f);
  store("LongEnd", 22.0f);
  start();
  ASSERT_NE(state->raster, nullptr);
  const Extents& e = state->extents;
  EXPECT_EQ(std::tie(e.latPosts, e.longPosts, e.latSpacing, e.longSpacing),
            std::make_tuple(3.0f, 4.0f, 18000.0f, 24000.0f));
  // Too large now for a load by itself: what was loaded is discarded all the same.
  state->source.width = 600;
  state->source.height = 600;
  autoLoad(state);
  EXPECT_EQ(state->raster, nullptr);
}

// Undefined-data settings changed after a load: the range is scanned again with progress and
// the picture rebuilt, with the undefined value in yellow.
TEST(Rescan, ReadsAgainWithProgressAndRebuildsThePreview) {
  testing::HostedState hosted;
  ToolState& state = hosted.state;
  Texts statusTexts;
  hosted.host.setChangeListener([&](const sxhost::Control& control, sxhost::Change change) {
    if (control.id() == kStatusLine && change == sxhost::Change::Text) {
      statusTexts.push_back(control.text());
    }
  });
  testing::attach(state, testing::memoryRaster({{5, 9, 1}, {7, 2, 8}}));
  rasterSetMinMax(state.raster, 1, 9);  // as the load left it
  state.ranges.dedMin = 1;
  state.ranges.dedMax = 9;
  state.source.undefined = {1, 9};
  rescanDataRange(&state);
  const DataRange& range = state.ranges.data;
  EXPECT_EQ(std::make_tuple(range.dataMin, range.dataMax, range.hasNullsFound),
            std::make_tuple(1.0, 8.0, 1));
  ASSERT_FALSE(statusTexts.empty());
  EXPECT_EQ(
      std::make_pair(statusTexts.front(), statusTexts.back()),
      std::make_pair(std::string("Scanning data for Min/Max values..."), std::string("Done")));
  EXPECT_EQ(
      std::make_pair(hosted.control(kProgressBar).range(), hosted.control(kProgressBar).value()),
      std::make_pair(std::make_pair(0.0, 4.0), 0.0));
  EXPECT_FALSE(hosted.host.waitCursorShown());
  // The middle value of the first row is undefined.
  const ImageBuf& samples = state.preview.previewSamples;
  ASSERT_NE(state.preview.previewImage.pixels, nullptr);
  EXPECT_EQ(samples.pixels[samples.width / 2], 0);
  EXPECT_FALSE(hosted.control(1036).lastPicture().empty());
}

}  // namespace
}  // namespace relievo
