#include "e2e_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace relievo::e2e {

std::string pluginPath() {
  const char* build = std::getenv("RELIEVO_BUILD_DIR");
  return build ? (std::filesystem::path(build) / "plugins" / "relievo.so").string()
               : RELIEVO_PLUGIN_PATH;
}

RelievoTest::RelievoTest() : plugin(host.loadPlugin(pluginPath())) {}

void RelievoTest::TearDown() {
  for (const std::string& line : host.log())
    ADD_FAILURE() << "host log: " << line;
  // Every operation ends with the normal cursor and the progress bar back at 0.
  EXPECT_FALSE(host.waitCursorShown());
  if (host.findDialog(100) != nullptr) {
    EXPECT_EQ(c(kProgress).value(), 0.0);
  }
}

sxhost::Dialog& RelievoTest::start() {
  host.startTool(kTool);
  return main();
}

void RelievoTest::startBinary(const std::string& file, int width, int height, int byteType) {
  setPref("DataType", kBinary);
  setPref("ByteType", byteType);
  setPref("Width", width);
  setPref("Height", height);
  setPref("FileName", file);
  start();
}

void RelievoTest::chooseFile(const std::string& path) {
  responder().queueFile({path});
  c(kBrowse).press();
  EXPECT_EQ(responder().pendingFiles(), 0u) << "no file prompt for " << path;
}

void RelievoTest::generate(const std::string& path) {
  responder().queueFile({path});
  c(kGenerate).press();
  EXPECT_EQ(responder().pendingFiles(), 0u) << "no save prompt for " << path;
}

void RelievoTest::expectTexts(std::initializer_list<std::pair<int, std::string>> texts) {
  for (const auto& [id, text] : texts)
    EXPECT_EQ(c(id).text(), text) << "control " << id;
}

void RelievoTest::expectVisible(std::initializer_list<int> ids, bool visible) {
  for (const int id : ids)
    EXPECT_EQ(c(id).visible(), visible) << "control " << id;
}

void RelievoTest::expectEnabled(std::initializer_list<int> ids, bool enabled) {
  for (const int id : ids)
    EXPECT_EQ(c(id).enabled(), enabled) << "control " << id;
}

void RelievoTest::expectShown(std::initializer_list<int> shown) {
  // clang-format off
  static constexpr int kOfSomeKind[] = {
      kOffsetLabel, kOffset, kScanFile, kDelimiterLabel, kDelimiterShown, kDelimiterMenu,
      kEnterDelimiterLabel, kOtherDelimiter, kStrideLabel, kStride, kDataSizeGroup, kInt8, kInt16,
      kInt32, kFloat32, kFloat64, kByteOrderGroup, kLittleEndian, kBigEndian, kSigned,
      kDataSizeHint, kDimensionHint, kSetDataSize, kSetDimension, kComponentGroup, kIntensity, kRed,
      kGreen, kBlue, kAlpha, kSeedLabel, kSeedDown, kSeedUp, kNoiseLabel, kNoise, kValleysLabel,
      kValleys, kPlateausLabel, kPlateaus, kWater, kLevelLabel, kWaterLevel, kBandLabel, kBandList,
      kPlacementLabel, kPlacement};
  // clang-format on
  for (const int id : kOfSomeKind)
    EXPECT_EQ(c(id).visible(), std::find(shown.begin(), shown.end(), id) != shown.end()) << id;
}

}  // namespace relievo::e2e
