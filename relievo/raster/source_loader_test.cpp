#include "raster/source_loader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "dialog/main_dialog.h"
#include "dialog/source_panel.h"
#include "fractal/fractal_source.h"
#include "plugin/plugin_entry.h"
#include "raster/image_reader.h"
#include "raster/test_files.h"
#include "raster/test_images.h"
#include "sxhost/host.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::Bytes;
using testing::TempDir;

constexpr char kTool[] = "Relievo";
constexpr int kFractalKind = 4;

const char kNotAscii[] =
    "This file does not appear to be an ASCII text file.\n\nDo you want to try to read it "
    "anyway?";

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
  // Stored settings of a file source of that kind and layout.
  void storeFile(SourceKind kind, const std::string& path, int width, int height) {
    store("DataType", static_cast<int>(kind));
    store("FileName", path);
    store("Width", width);
    store("Height", height);
  }
  void start() {
    host.startTool(kTool);
    state = toolStateCurrent();
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
  TempDir dir;
  ToolState* state = nullptr;
  std::vector<std::string> statusTexts;  // every text the status line showed, in order
};

TEST_F(Loading, FileSourcesLoadByThemselvesUpTo512By512) {
  const std::string small = dir.write("small.bin", std::string(512 * 512, '\x01'));
  storeFile(SourceKind::Binary, small, 512, 512);
  start();
  EXPECT_NE(state->raster, nullptr);
  EXPECT_EQ(status(), "Done");
  EXPECT_EQ(statusTexts, (std::vector<std::string>{"Reading File...", "Done"}));
}

TEST_F(Loading, ALargerBinaryGridWaitsForPreviewData) {
  const std::string big = dir.write("big.bin", std::string(600 * 600, '\x02'));
  storeFile(SourceKind::Binary, big, 600, 600);
  start();
  EXPECT_EQ(state->raster, nullptr);
  EXPECT_EQ(status(), "");
  EXPECT_TRUE(statusTexts.empty());
  previewData();
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->dataMin, 2.0);
  EXPECT_EQ(state->dataMax, 2.0);
  EXPECT_EQ(statusTexts, (std::vector<std::string>{"Reading File...", "Done"}));
}

TEST_F(Loading, AnImageOf600By600LoadsByItself) {
  const std::string image =
      dir.write("big.png", testing::pngImage(600, 600, 1, Bytes(600 * 600, 9)));
  storeFile(SourceKind::Image, image, 600, 600);
  start();
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->width, 600);
  EXPECT_EQ(state->height, 600);
  EXPECT_EQ(statusTexts, (std::vector<std::string>{"Reading Image...", "Done"}));
}

TEST_F(Loading, ACachedImageLoadsByItselfWhateverItsSize) {
  const std::string image = dir.write("small.rgb", testing::sgiImage(4, 3, 3, Bytes(36, 50)));
  storeFile(SourceKind::Image, image, 2000, 2000);  // beyond 1024 x 1024
  start();
  EXPECT_EQ(state->raster, nullptr);
  previewData();
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->width, 4);  // the image's own size
  EXPECT_EQ(state->height, 3);

  state->width = 2000;
  state->height = 2000;
  ASSERT_EQ(rasterIsCachedImage(state->fileName), 1);
  autoLoad(state);
  EXPECT_NE(state->raster, nullptr);
  EXPECT_EQ(state->width, 4);

  // Another component of the cached image loads by itself too.
  state->width = 2000;
  dialog().control(kGreenRadio).press();
  EXPECT_NE(state->raster, nullptr);
  EXPECT_EQ(state->imageComponent, ImageComponent::Green);
}

TEST_F(Loading, FractalsLoadByThemselvesUpTo4096By4096) {
  // The generation itself is refused, which shows that the load was tried.
  sxhost::AllocationFailure refuse = sxhost::AllocationFailure::above(1 << 20);
  struct Case {
    int width, height;
    bool tried;
  };
  const Case cases[] = {{4096, 4096, true}, {4096, 4097, false}, {65536, 65536, false}};
  for (const Case& c : cases) {
    // Closing saves the settings: the ones to load are stored after it.
    if (host.findDialog(kMainDialogTemplate) != nullptr) dialog().close();
    store("DataType", kFractalKind);
    store("Width", c.width);
    store("Height", c.height);
    statusTexts.clear();
    start();
    EXPECT_EQ(state->raster, nullptr);
    if (c.tried) {
      EXPECT_EQ(statusTexts, (std::vector<std::string>{"Generating Fractal Map...",
                                                       "Error creating fractal map"}));
    } else {
      EXPECT_TRUE(statusTexts.empty()) << c.width << " x " << c.height;
    }
  }
}

TEST_F(Loading, AFractalSourceLoadsWithoutAFile) {
  store("DataType", kFractalKind);
  store("Width", 64);
  store("Height", 64);
  start();
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->raster->width, 64);
  EXPECT_EQ(state->raster->sourceKind, SourceKind::Fractal);
  EXPECT_EQ(statusTexts, (std::vector<std::string>{"Generating Fractal Map...", "Done"}));
}

TEST_F(Loading, WhileASliderIsDraggedTheMapIsAt128) {
  store("DataType", kFractalKind);
  store("Width", 256);
  store("Height", 256);
  start();
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->raster->width, 256);
  statusTexts.clear();
  dialog().control(kNoiseScale).slide(0.5, SX_SCALE_DRAGGING);
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->raster->width, 128);
  EXPECT_TRUE(statusTexts.empty());  // no progress while dragging
  dialog().control(kNoiseScale).slide(0.5, SX_SCALE_FINAL);
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->raster->width, 256);
  EXPECT_EQ(state->sliderDragging, 0);
}

TEST_F(Loading, AnEmptyFileNameDoesNothing) {
  for (const SourceKind kind : {SourceKind::Ascii, SourceKind::Binary, SourceKind::Image}) {
    if (host.findDialog(kMainDialogTemplate) != nullptr) dialog().close();
    store("DataType", static_cast<int>(kind));
    store("Width", 2);
    store("Height", 2);
    start();
    statusTexts.clear();
    sxTextSetString(state->statusText, "before");
    statusTexts.clear();
    EXPECT_EQ(loadSource(state), 0);
    EXPECT_EQ(state->raster, nullptr);
    EXPECT_EQ(status(), "before");
    EXPECT_TRUE(statusTexts.empty());
    EXPECT_TRUE(messages().empty());
  }
}

TEST_F(Loading, NoToTheAsciiQuestionLoadsNothingAndShowsNothing) {
  const std::string path = dir.write("latin.txt", "1 2 \xE9 3 4\n");
  storeFile(SourceKind::Ascii, path, 2, 2);
  start();  // the default answer is no
  EXPECT_EQ(state->raster, nullptr);
  EXPECT_EQ(status(), "");
  EXPECT_TRUE(statusTexts.empty());
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].message.title, "Incorrect Format");
  EXPECT_EQ(messages()[0].message.text, kNotAscii);
  EXPECT_EQ(messages()[0].message.kind, 2052);
}

TEST_F(Loading, YesToTheAsciiQuestionReadsOn) {
  const std::string path = dir.write("latin.txt", "1 2 \xE9 3 4\n");
  storeFile(SourceKind::Ascii, path, 2, 2);
  host.responder().queueAnswer(true);
  start();
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].message.text, kNotAscii);
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->dataMin, 1.0);
  EXPECT_EQ(state->dataMax, 4.0);
  EXPECT_EQ(statusTexts, (std::vector<std::string>{"Reading File...", "Done"}));
}

TEST_F(Loading, ATextThatEndsEarlySaysHowManyValuesItRead) {
  const std::string path = dir.write("short.txt", "1 2 3\n4 5\n");
  storeFile(SourceKind::Ascii, path, 3, 2);
  start();
  EXPECT_EQ(state->raster, nullptr);
  EXPECT_EQ(status(), "Unexpected end of file, 5 of 6 values read");
  EXPECT_EQ(statusTexts, (std::vector<std::string>{"Reading File...",
                                                   "Unexpected end of file, 5 of 6 values read"}));
  EXPECT_TRUE(messages().empty());
}

TEST_F(Loading, ABinaryFileTooSmallForItsLayout) {
  const std::string path = dir.write("small.bin", std::string(99, '\0'));
  storeFile(SourceKind::Binary, path, 10, 10);
  start();
  EXPECT_EQ(state->raster, nullptr);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].message.title, "Invalid Settings for this File");
  EXPECT_EQ(messages()[0].message.text,
            "This file is not large enough to contain 10 x 10 x 1-byte elements.\n\n"
            "The largest dimensions for this data size is 9 x 9.\n");
  EXPECT_EQ(messages()[0].message.kind, 1025);
  EXPECT_EQ(status(), "");
}

TEST_F(Loading, AFileTheHostCannotReadAsAnImage) {
  const std::string path = dir.write("grid.png", "1 2 3 4\n");
  storeFile(SourceKind::Image, path, 2, 2);
  start();
  EXPECT_EQ(state->raster, nullptr);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].message.title, "Incorrect Format");
  EXPECT_EQ(messages()[0].message.text, "This file is not a valid Image file.");
  EXPECT_EQ(messages()[0].message.kind, 1025);
  EXPECT_EQ(status(), "");
}

TEST_F(Loading, AnImageThatDoesNotDecodeReadsNoValues) {
  // A whole header, then nothing of the planes it announces.
  Bytes truncated = testing::sgiImage(3, 2, 1, Bytes(6, 1));
  truncated.resize(512 + 2);
  const std::string path = dir.write("cut.bw", truncated);
  storeFile(SourceKind::Image, path, 3, 2);
  start();
  EXPECT_EQ(state->raster, nullptr);
  EXPECT_EQ(status(), "Unexpected end of file, 0 of 6 values read");
  EXPECT_EQ(statusTexts, (std::vector<std::string>{"Reading Image...",
                                                   "Unexpected end of file, 0 of 6 values read"}));
}

TEST_F(Loading, AComponentTheImageLacksIsAReadError) {
  // The name offers alpha; the picture has none.
  const std::string path = dir.write("rgb.rgba", testing::sgiImage(2, 2, 3, Bytes(12, 5)));
  storeFile(SourceKind::Image, path, 2, 2);
  start();
  ASSERT_NE(state->raster, nullptr);
  statusTexts.clear();
  dialog().control(kAlphaRadio).press();
  EXPECT_EQ(state->imageComponent, ImageComponent::Alpha);
  EXPECT_EQ(state->raster, nullptr);
  EXPECT_EQ(status(), "Error reading file");
  EXPECT_EQ(statusTexts, (std::vector<std::string>{"Reading Image...", "Error reading file"}));
}

TEST_F(Loading, PostsAndSpacingsFollowTheLoad) {
  const std::string path = dir.write("grid.bin", std::string(12, '\x03'));
  storeFile(SourceKind::Binary, path, 4, 3);
  store("LatStart", 10.0f);
  store("LatEnd", 11.0f);
  store("LongStart", 20.0f);
  store("LongEnd", 22.0f);
  start();
  ASSERT_NE(state->raster, nullptr);
  EXPECT_EQ(state->latPosts, 3.0f);
  EXPECT_EQ(state->longPosts, 4.0f);
  EXPECT_FLOAT_EQ(state->latSpacing, 18000.0f);
  EXPECT_FLOAT_EQ(state->longSpacing, 24000.0f);
}

TEST_F(Loading, TheAutomaticLoadStartsFromNothing) {
  const std::string path = dir.write("grid.bin", std::string(12, '\x03'));
  storeFile(SourceKind::Binary, path, 4, 3);
  start();
  ASSERT_NE(state->raster, nullptr);
  // Too large now for a load by itself: what was loaded is discarded all the same.
  state->width = 600;
  state->height = 600;
  autoLoad(state);
  EXPECT_EQ(state->raster, nullptr);
}

// Stored settings that no dialog would produce: they load, and the load then fails with a
// message or a status text. The sanitizer build checks that nothing reads out of bounds or
// asks for an overflowing block on the way.
TEST_F(Loading, HostileStoredSettings) {
  const std::string data = dir.write("data.bin", std::string(64, '\x07'));
  const std::string text = dir.write("data.txt", "1 2 3 4\n");
  const std::string folder = dir.path("");
  constexpr int kBig = 1 << 20;
  struct Case {
    const char* what;
    int kind;
    std::string file;
    int width, height, byteType;
    int headerOffset, dataStride;
    std::string messageTitle;  // empty when no message is expected
    std::string status;        // after the load, Preview Data pressed when needed
    int endian = 0, order = 0, origin = 0, component = 1, units = 4;
  };
  const Case cases[] = {
      {"negative width", 2, data, -5, 10, 0, 0, 0, "Invalid Settings for this File", ""},
      {"huge layout", 2, data, kBig, kBig, 0, 0, 0, "Invalid Settings for this File", ""},
      {"unknown byte type", 2, data, 8, 8, 9, 0, 0, "Invalid Settings for this File", ""},
      {"negative offset", 2, data, 8, 8, 0, -4, 0, "Invalid Settings for this File", ""},
      {"huge stride", 2, data, 8, 8, 0, 0, INT32_MAX, "", "Done"},
      {"negative stride", 2, data, 8, 8, 0, 0, -3, "", "Done"},
      {"directory as binary", 2, folder, 2, 2, 0, 0, 0, "Invalid Settings for this File", ""},
      {"directory as text", 1, folder, 2, 2, 0, 0, 0, "Incorrect Format", ""},
      {"directory as image", 3, folder, 2, 2, 0, 0, 0, "Incorrect Format", ""},
      {"missing file", 1, dir.path("none.txt"), 2, 2, 0, 0, 0, "Incorrect Format", ""},
      {"negative text width", 1, text, -1, 4, 0, 0, 0, "", "Error reading file"},
      {"huge text layout", 1, text, kBig, kBig, 0, 0, 0, "",
       "Unexpected end of file, 0 of 1099511627776 values read"},
      {"text offset past the end", 1, text, 2, 2, 0, 1000, 0, "",
       "Unexpected end of file, 0 of 4 values read"},
      {"huge image layout", 3, dir.write("i.bw", testing::sgiImage(1, 1, 1, {4})), kBig, kBig, 0, 0,
       0, "", "Done"},
      {"fractal of size 0", 4, "", 0, 0, 0, 0, 0, "", "Error creating fractal map"},
      {"fractal of size 100", 4, "", 100, 100, 0, 0, 0, "", "Error creating fractal map"},
      {"fractal beyond 4096", 4, "", 65536, 65536, 0, 0, 0, "", "Error creating fractal map"},
      {"negative fractal", 4, "", -8, -8, 0, 0, 0, "", "Error creating fractal map"},
      {"unknown source kind", 9, data, 2, 2, 0, 0, 0, "", "Error reading file"},
      {"source kind 0", 0, data, 2, 2, 0, 0, 0, "", "Error reading file"},
      {"unknown byte order", 2, data, 4, 4, 1, 0, 0, "", "Done", 7},
      {"unknown orientation", 2, data, 8, 4, 0, 0, 0, "", "Done", 0, 5, -3},
      {"unknown image component", 3, dir.write("c.rgba", testing::sgiImage(2, 1, 4, Bytes(8, 1))),
       2, 1, 0, 0, 0, "", "Error reading file", 0, 0, 0, 77},
      {"unknown units", 2, data, 8, 8, 0, 0, 0, "", "Done", 0, 0, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.responder().reset();
    if (host.findDialog(kMainDialogTemplate) != nullptr) {
      dialog().close();
      sxTextSetString(state->statusText, "");  // the status line outlives a close
    }
    store("DataType", c.kind);
    store("FileName", c.file);
    store("Width", c.width);
    store("Height", c.height);
    store("ByteType", c.byteType);
    store("HeaderOffset", c.headerOffset);
    store("DataStride", c.dataStride);
    store("EndianType", c.endian);
    store("DataOrder", c.order);
    store("DataOrigin", c.origin);
    store("Units", c.units);
    if (state != nullptr) state->imageComponent = static_cast<ImageComponent>(c.component);
    start();
    if (state->raster == nullptr && messages().empty() && status().empty()) previewData();
    if (c.messageTitle.empty()) {
      EXPECT_TRUE(messages().empty());
    } else {
      ASSERT_EQ(messages().size(), 1u);
      EXPECT_EQ(messages()[0].message.title, c.messageTitle);
    }
    EXPECT_EQ(status(), c.status);
    EXPECT_EQ(state->raster != nullptr, c.status == "Done");
  }
}

}  // namespace
}  // namespace relievo
