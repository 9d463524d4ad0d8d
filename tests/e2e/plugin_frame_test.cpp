// The plug-in frame as a host sees it: the exports, the registered tool, the main dialog a
// start builds, and the life cycle of starts, closes, unloads and loads.
#include <cctype>

#include "e2e_support.h"
#include "sxhost/memory.h"

namespace relievo::e2e {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;
using Texts = std::vector<std::string>;

TEST_F(RelievoTest, ExportsTheRegisteredToolAndAnExitWithoutStart) {
  const std::int64_t before = sxhost::liveAllocations();
  EXPECT_EQ(std::tie(plugin.vendor, plugin.id, plugin.version, plugin.helpFiles),
            std::tuple("Quorvan, Inc.", "Relievo", "3.0.0", Texts{"sxforgeon.hlp"}));
  // 8-4-4-4-12 hexadecimal digits.
  const std::string& uuid = plugin.uuid;
  bool isUuid = uuid.size() == 36;
  for (std::size_t i = 0; isUuid && i < uuid.size(); ++i)
    isUuid = i == 8 || i == 13 || i == 18 || i == 23
                 ? uuid[i] == '-'
                 : std::isxdigit(static_cast<unsigned char>(uuid[i])) != 0;
  EXPECT_TRUE(isUuid) << uuid;

  const auto tools = host.tools();
  ASSERT_EQ(tools.size(), 1u);
  EXPECT_EQ(std::tie(tools[0].name, tools[0].attributes),
            std::tuple("Relievo", Pairs{{"Version", "3.0"},
                                        {"MenuLocation", "Terrain"},
                                        {"MenuLabel", "Relievo..."},
                                        {"HelpContext", "130022"}}));
  // Loading alone creates no dialog.
  EXPECT_EQ(host.findDialog(100), nullptr);

  // Exit without any start releases everything and stores nothing.
  host.unloadPlugin(plugin.handle);
  EXPECT_TRUE(host.tools().empty() && host.plugins().empty() && host.preferences().tools().empty());
  EXPECT_EQ(sxhost::liveAllocations(), before);
}

TEST_F(RelievoTest, FirstStartCloseAndTheNextStart) {
  sxhost::Dialog& d = start();
  EXPECT_EQ(std::tuple(d.visible(), d.caption(), d.helpContext()),
            std::tuple(true, "Relievo", "130022"));

  EXPECT_EQ(c(kSourceKind).items(),
            (Texts{"ASCII File", "Binary File", "Image File", "Fractal Generator", "Geo Raster"}));
  EXPECT_EQ(c(kUnitsMenu).items(), (Texts{"Inches", "Feet", "Centimeters", "Meters", "Kilometers",
                                          "Miles", "Nautical Miles", "Other Units"}));
  EXPECT_EQ(c(kDelimiterMenu).items(), (Texts{"<colon>", "<semi-colon>", "<vertical-bar>",
                                              "<comma>", "<space>", "<tab>", "Other"}));
  EXPECT_EQ(c(kReplaceKind).items(), (Texts{"DED NULL", "Custom"}));
  EXPECT_EQ(std::tuple(c(kSourceKind).selectedPos(), c(kUnitsMenu).selectedPos(),
                       c(kDelimiterMenu).selectedPos(), c(kReplaceKind).selectedPos()),
            std::tuple(int{kFractal}, 4, 5, 1));

  EXPECT_FALSE(c(kSaveAscii).visible());
  EXPECT_EQ(c(kSeedDown).pixmap()->id, 109);
  // A first run: the fractal generator, no file, nothing stored until the dialog closes.
  expectTexts({{kFile, "N/A"}, {kFileSize, "N/A"}, {kDecimal, "Decimal Degrees"}});
  EXPECT_TRUE(host.preferences().tools().empty());
  EXPECT_TRUE(c(kDms).checked() && !c(kDecimal).checked());

  // A second start shows the same dialog and keeps the edits rather than load the settings.
  c(kWidth).type("64");
  host.startTool(kTool);
  EXPECT_EQ(&main(), &d);
  expectTexts({{kWidth, "64"}, {kHeight, "64"}});

  // Close saves the settings and the next start loads them.
  c(kSourceKind).select(kBinary);
  for (const int id : {kInt16, kBigEndian, kSigned, kCols, kUpperLeft, kDecimal, kHasUndefined})
    c(id).press();
  c(kReplaceKind).select(2);
  const std::pair<int, const char*> typed[] = {{kWidth, "10"},         {kHeight, "20"},
                                               {kOffset, "5"},         {kStride, "1"},
                                               {kSwLat, "0.25"},       {kUndefinedValue, "-9999"},
                                               {kReplaceValue, "-500"}};
  for (const auto& [id, text] : typed)
    c(id).type(text);
  c(kClose).press();
  EXPECT_FALSE(main().visible());

  // Each control's value as the settings store it (every key's type is the settings' unit
  // tests' case).
  const std::pair<const char*, sxhost::PrefValue> saved[] = {
      {"Width", 10},        {"Height", 20},     {"HeaderOffset", 5},    {"DataStride", 1},
      {"ByteType", 1},      {"DataType", 2},    {"EndianType", 1},      {"DataOrder", 1},
      {"DataOrigin", 1},    {"isSigned", 1},    {"ReplaceNullKind", 2}, {"ReplaceNullValue", -500},
      {"NullValue", -9999}, {"HasNullData", 1}, {"Display DMS", 0},     {"LatStart", 0.25f},
  };
  for (const auto& [key, value] : saved)
    EXPECT_EQ(pref(key), value) << key;

  // The next show loads what is stored, including a value changed meanwhile.
  setPref("Width", 12);
  start();
  expectTexts({{kWidth, "12"}, {kHeight, "20"}, {kSwLat, "0.250000000"}, {kReplaceValue, "-500"}});
  EXPECT_TRUE(c(kBigEndian).checked() && c(kUpperLeft).checked() && c(kHasUndefined).checked());
}

// A start refused the state record's memory is the memory sweeps' case.
TEST_F(RelievoTest, CloseReleasesTheSourceAndUnloadEverything) {
  const std::int64_t before = sxhost::liveAllocations();
  setPref("Width", 32);
  setPref("Height", 32);
  start();
  ASSERT_TRUE(c(kPreview).visible());
  main().close();
  // Only the state record itself outlives a close, and no Scan File dialog was made.
  EXPECT_EQ(sxhost::liveAllocations() - before, 1);
  EXPECT_EQ(host.findDialog(108), nullptr);

  // The next start loads again; closing hides the Scan File dialog too, and started again, it
  // stays hidden.
  setPref("DataType", kAscii);
  setPref("FileName", dir.write("grid.txt", "1 2\n3 4\n"));
  setPref("Width", 2);
  setPref("Height", 2);
  start();
  ASSERT_EQ(c(kStatus).text(), "Done");
  c(kScanFile).press();
  sxhost::Dialog& scan = host.dialog(108);
  ASSERT_TRUE(scan.visible());
  main().close();
  EXPECT_FALSE(main().visible() || scan.visible());
  start();
  EXPECT_FALSE(scan.visible());
  c(kUnitsMenu).select(8);
  c(kUnitsScale).type("2.5");
  ASSERT_EQ(c(kMetersMax).text(), "10");

  // Unloading releases everything; the close it makes saves the settings.
  host.unloadPlugin(plugin.handle);
  EXPECT_TRUE(host.findDialog(108) == nullptr && host.findDialog(100) == nullptr &&
              host.tools().empty() && host.plugins().empty());
  EXPECT_EQ(sxhost::liveAllocations(), before);
  EXPECT_EQ(pref("Units"), sxhost::PrefValue{8});

  plugin = host.loadPlugin(pluginPath());
  start();
  EXPECT_EQ(c(kStatus).text(), "Done");
  EXPECT_EQ(c(kUnitsMenu).selectedPos(), 8);
  // The "Other Units" scale lives only as long as the module.
  expectTexts({{kUnitsScale, "1"}, {kMetersMax, "4"}});
}

TEST(RelievoModuleTest, AModuleWithoutItsResourceFileShowsNoDialog) {
  const ScratchDir dir;
  const std::string module = dir.path("relievo.so");
  std::filesystem::copy_file(pluginPath(), module);
  sxhost::Host host;
  host.loadPlugin(module);
  ASSERT_EQ(host.tools().size(), 1u);
  for (int start = 0; start < 2; ++start) {
    host.startTool(kTool);
    EXPECT_EQ(host.findDialog(100), nullptr);
  }
}

}  // namespace
}  // namespace relievo::e2e
