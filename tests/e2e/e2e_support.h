// What the end-to-end tests of the plug-in share: the built module loaded into a fresh
// stand-in host, the dialogs' control ids as the resource file names them, and checks of
// what the controls show.
//
// The tests act only as a user would: they press, type, select and click in the dialogs,
// answer prompts through the scripted responder and read what the controls show. They never
// call into the converter's code.
#ifndef RELIEVO_TESTS_E2E_E2E_SUPPORT_H
#define RELIEVO_TESTS_E2E_E2E_SUPPORT_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "sxhost/host.h"
#include "test_files.h"

namespace relievo::e2e {

// Controls of the main dialog (template 100), by group.
// clang-format off
enum Id : int {
  kClose = 1, kStatus = 5, kProgress = 1068, kGenerate = 1044, kSaveAscii = 1037,
  kSourceKind = 1087, kFile = 1014, kBrowse = 1015, kFileSize = 1043,
  kWidth = 1033, kHeight = 1034, kRows = 1018, kCols = 1019, kUpperLeft = 1084,
  kUnitsMenu = 1022, kUnitsScale = 1023,
  kOffsetLabel = 1095, kOffset = 1035, kStrideLabel = 1070, kStride = 1047,
  kDataSizeGroup = 1058, kInt8 = 1026, kInt16 = 1029, kInt32 = 1028, kFloat32 = 1027,
  kFloat64 = 1030, kByteOrderGroup = 1059, kLittleEndian = 1031, kBigEndian = 1032, kSigned = 1008,
  kScanFile = 1009, kDelimiterLabel = 1060, kDelimiterShown = 1062, kDelimiterMenu = 1021,
  kEnterDelimiterLabel = 1061, kOtherDelimiter = 1020,
  kComponentGroup = 1094, kIntensity = 1093, kRed = 1089, kGreen = 1090, kBlue = 1091,
  kAlpha = 1092,
  kSeedLabel = 1110, kSeedDown = 1096, kSeedUp = 1097, kNoiseLabel = 1102, kNoise = 1098,
  kValleysLabel = 1104, kValleys = 1100, kPlateausLabel = 1105, kPlateaus = 1101, kWater = 1111,
  kLevelLabel = 1112, kWaterLevel = 1099,
  kHasUndefined = 1075, kUndefinedValue = 1076, kReplaceKind = 1086, kReplaceValue = 1085,
  kRawMin = 1038, kRawMax = 1039, kMetersMin = 1042, kMetersMax = 1045, kDedMin = 1040,
  kDedMax = 1041,
  kDms = 1081, kDecimal = 1082, kSwLat = 1049, kSwLon = 1050, kNeLat = 1051, kNeLon = 1052,
  kLatPosts = 1055, kLonPosts = 1056,
  kPreview = 1036, kPreviewFrame = 1063, kPreviewData = 1007, kRamp = 1046, kColorsLabel = 1079,
  kShaded = 1077, kInvert = 1080, kDefaultColors = 1078,
  kDataSizeHint = 1065, kDimensionHint = 1064, kSetDataSize = 1066, kSetDimension = 1067,
  kRound = 1113, kBandLabel = 1114, kBandList = 1115, kPlacementLabel = 1116, kPlacement = 1117,
};

// Controls of the Scan File dialog (template 108).
enum ScanId : int {
  kScanOk = 1, kScanCancel = 2, kScanGetColumns = 3, kScanGetRows = 4, kScanOffset = 1035,
  kScanRows = 1036, kScanColumns = 1037, kScanList = 1073,
};
// clang-format on

// Positions of the source-kind menu.
enum Kind : int { kAscii = 1, kBinary = 2, kImage = 3, kFractal = 4, kGeo = 5 };

inline constexpr char kTool[] = "Relievo";

// The built relievo.so: $RELIEVO_BUILD_DIR/plugins, else the path the build compiled in.
std::string pluginPath();

// A fresh host with relievo.so loaded; the main dialog after start(). At the end of each test
// the host's log must be empty (the plug-in made no host call that failed), the wait cursor
// gone and the progress bar back at 0.
class RelievoTest : public ::testing::Test {
 protected:
  RelievoTest();
  void TearDown() override;

  sxhost::Dialog& start();
  // Starts on a stored binary source: `file` of width x height elements of the stored
  // "ByteType" (0 is one byte).
  void startBinary(const std::string& file, int width, int height, int byteType = 0);
  sxhost::Dialog& main() { return host.dialog(100); }
  sxhost::Control& c(int id) { return main().control(id); }
  sxhost::ScriptedResponder& responder() { return host.responder(); }
  // Preferences of the tool as the host holds them.
  void setPref(const std::string& key, sxhost::PrefValue value) {
    host.preferences().set(kTool, key, std::move(value));
  }
  std::optional<sxhost::PrefValue> pref(const std::string& key) {
    return host.preferences().get(kTool, key);
  }

  // Chooses a file with "..." (the open prompt answered with path).
  void chooseFile(const std::string& path);
  // Answers the save prompt with path and presses "Generate DED".
  void generate(const std::string& path);

  // What the main dialog's controls show.
  void expectTexts(std::initializer_list<std::pair<int, std::string>> texts);
  void expectVisible(std::initializer_list<int> ids, bool visible);
  void expectEnabled(std::initializer_list<int> ids, bool enabled);
  // Of the controls that belong to one source kind, exactly `shown` are visible.
  void expectShown(std::initializer_list<int> shown);

  ScratchDir dir;
  sxhost::Host host;
  sxhost::PluginInfo plugin;
};

}  // namespace relievo::e2e

#endif  // RELIEVO_TESTS_E2E_E2E_SUPPORT_H
