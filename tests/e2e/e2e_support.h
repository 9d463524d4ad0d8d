// What the end-to-end tests share: the built plug-in module loaded into a fresh stand-in
// host, the main dialog's control ids as its resource file names them, scratch folders, and
// a reader of the DED files that a conversion writes.
//
// The tests act only as a user would: they press, type, select and click in the dialogs,
// answer prompts through the scripted responder and read what the controls show. They never
// call into the converter's code.
#ifndef RELIEVO_TESTS_E2E_E2E_SUPPORT_H
#define RELIEVO_TESTS_E2E_E2E_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "sxhost/host.h"

namespace relievo::e2e {

// Controls of the main dialog (template 100).
enum Id : int {
  kClose = 1,
  kStatus = 5,
  kPreviewData = 1007,
  kSigned = 1008,
  kScanFile = 1009,
  kFile = 1014,
  kBrowse = 1015,
  kRows = 1018,
  kCols = 1019,
  kOtherDelimiter = 1020,
  kDelimiterMenu = 1021,
  kUnitsMenu = 1022,
  kUnitsScale = 1023,
  kInt8 = 1026,
  kFloat32 = 1027,
  kInt32 = 1028,
  kInt16 = 1029,
  kFloat64 = 1030,
  kLittleEndian = 1031,
  kBigEndian = 1032,
  kWidth = 1033,
  kHeight = 1034,
  kOffset = 1035,
  kPreview = 1036,
  kSaveAscii = 1037,
  kRawMin = 1038,
  kRawMax = 1039,
  kDedMin = 1040,
  kDedMax = 1041,
  kMetersMin = 1042,
  kFileSize = 1043,
  kGenerate = 1044,
  kMetersMax = 1045,
  kRamp = 1046,
  kStride = 1047,
  kSwLat = 1049,
  kSwLon = 1050,
  kNeLat = 1051,
  kNeLon = 1052,
  kLatSpacing = 1053,
  kLonSpacing = 1054,
  kLatPosts = 1055,
  kLonPosts = 1056,
  kDataSizeGroup = 1058,
  kByteOrderGroup = 1059,
  kDelimiterLabel = 1060,
  kEnterDelimiterLabel = 1061,
  kDelimiterShown = 1062,
  kPreviewFrame = 1063,
  kDimensionHint = 1064,
  kDataSizeHint = 1065,
  kSetDataSize = 1066,
  kSetDimension = 1067,
  kProgress = 1068,
  kStrideLabel = 1070,
  kRawDataLabel = 1071,
  kHasUndefined = 1075,
  kUndefinedValue = 1076,
  kShaded = 1077,
  kDefaultColors = 1078,
  kColorsLabel = 1079,
  kInvert = 1080,
  kDms = 1081,
  kDecimal = 1082,
  kLowerLeft = 1083,
  kUpperLeft = 1084,
  kReplaceValue = 1085,
  kReplaceKind = 1086,
  kSourceKind = 1087,
  kRed = 1089,
  kGreen = 1090,
  kBlue = 1091,
  kAlpha = 1092,
  kIntensity = 1093,
  kComponentGroup = 1094,
  kOffsetLabel = 1095,
  kSeedDown = 1096,
  kSeedUp = 1097,
  kNoise = 1098,
  kWaterLevel = 1099,
  kValleys = 1100,
  kPlateaus = 1101,
  kNoiseLabel = 1102,
  kValleysLabel = 1104,
  kPlateausLabel = 1105,
  kSeedLabel = 1110,
  kWater = 1111,
  kLevelLabel = 1112,
};

// Controls of the Scan File dialog (template 108).
enum ScanId : int {
  kScanOk = 1,
  kScanCancel = 2,
  kScanGetColumns = 3,
  kScanGetRows = 4,
  kScanOffset = 1035,
  kScanRows = 1036,
  kScanColumns = 1037,
  kScanList = 1073,
};

// Positions of the source-kind menu.
enum Kind : int { kAscii = 1, kBinary = 2, kImage = 3, kFractal = 4 };

inline constexpr char kTool[] = "Relievo";

// The built relievo.so: $RELIEVO_BUILD_DIR/plugins, else the path the build compiled in.
std::string pluginPath();

// A scratch folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::string& path, std::span<const std::uint8_t> bytes);
void writeFile(const std::string& path, const std::string& text);
std::vector<std::uint8_t> readFile(const std::string& path);

// A DED file as read back: the fields of its three records and its posts.
struct DedFile {
  std::vector<std::uint8_t> bytes;

  static DedFile read(const std::string& path);
  std::int32_t int32At(std::size_t offset) const;
  std::int16_t int16At(std::size_t offset) const;
  float floatAt(std::size_t offset) const;
  std::string textAt(std::size_t offset, std::size_t length) const;
  // Extents value i (0 ... 9) of the record at 160.
  float extent(int i) const { return floatAt(160 + 4 * static_cast<std::size_t>(i)); }
  // Post p of data record r, records being n posts long.
  std::int16_t post(int r, int p, int n) const {
    return int16At(200 + 2 * (static_cast<std::size_t>(r) * n + p));
  }
};

// Checks the parts of the 128-byte header that do not depend on the clock exactly, and
// that its creation time is a ctime text of about now.
void expectDedHeader(const DedFile& ded);

// The extents record's feet values for the given corners and spacings, computed as the
// file format defines them: {longitude feet, latitude feet}.
std::pair<float, float> feetOf(float latSouthWest, float latNorthEast, float latSpacing,
                               float lonSpacing);

// A fresh host with relievo.so loaded; the main dialog after start(). At the end of each test
// the host's log must be empty (the plug-in made no host call that failed), the wait cursor
// gone and the progress bar back at 0.
class RelievoTest : public testing::Test {
 protected:
  RelievoTest();
  void TearDown() override;

  sxhost::Dialog& start();
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
  // The last message box shown, or an empty one when none was.
  sxhost::Message lastMessage();

  TempDir dir;
  sxhost::Host host;
  sxhost::PluginInfo plugin;
};

// A binary grid file of 16-bit integers, little-endian, row after row.
std::vector<std::uint8_t> int16Grid(std::span<const std::int16_t> values);

}  // namespace relievo::e2e

#endif  // RELIEVO_TESTS_E2E_E2E_SUPPORT_H
