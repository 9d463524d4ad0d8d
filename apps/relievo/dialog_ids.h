// The controls of the Relievo dialogs that the command acts on and reads, by their ids in
// the plug-in's resource file: the dialogs' public face, as a user sees it.
#ifndef RELIEVO_APPS_DIALOG_IDS_H
#define RELIEVO_APPS_DIALOG_IDS_H

namespace relievo::cli {

inline constexpr int kMainDialog = 100;
inline constexpr int kScanDialog = 108;

namespace main_ids {
inline constexpr int kStatusLine = 5;
inline constexpr int kPreviewData = 1007;
inline constexpr int kSigned = 1008;
inline constexpr int kScanFile = 1009;
inline constexpr int kFileText = 1014;
inline constexpr int kChooseFile = 1015;
inline constexpr int kRows = 1018;
inline constexpr int kCols = 1019;
inline constexpr int kOtherDelimiter = 1020;
inline constexpr int kDelimiterMenu = 1021;
inline constexpr int kUnitsMenu = 1022;
inline constexpr int kUnitScale = 1023;
inline constexpr int kInt8 = 1026;
inline constexpr int kFloat32 = 1027;
inline constexpr int kInt32 = 1028;
inline constexpr int kInt16 = 1029;
inline constexpr int kFloat64 = 1030;
inline constexpr int kLittleEndian = 1031;
inline constexpr int kBigEndian = 1032;
inline constexpr int kWidth = 1033;
inline constexpr int kHeight = 1034;
inline constexpr int kOffset = 1035;
inline constexpr int kPreview = 1036;
inline constexpr int kRawMin = 1038;
inline constexpr int kRawMax = 1039;
inline constexpr int kDedMin = 1040;
inline constexpr int kDedMax = 1041;
inline constexpr int kMetresMin = 1042;
inline constexpr int kFileSize = 1043;
inline constexpr int kGenerate = 1044;
inline constexpr int kMetresMax = 1045;
inline constexpr int kColourRamp = 1046;
inline constexpr int kStride = 1047;
inline constexpr int kSwLat = 1049;
inline constexpr int kSwLon = 1050;
inline constexpr int kNeLat = 1051;
inline constexpr int kNeLon = 1052;
inline constexpr int kLatSpacing = 1053;
inline constexpr int kLonSpacing = 1054;
inline constexpr int kLatPosts = 1055;
inline constexpr int kLonPosts = 1056;
inline constexpr int kRawLabel = 1071;
inline constexpr int kHasUndefined = 1075;
inline constexpr int kUndefinedValue = 1076;
inline constexpr int kShaded = 1077;
inline constexpr int kInvert = 1080;
inline constexpr int kDisplayDms = 1081;
inline constexpr int kDisplayDecimal = 1082;
inline constexpr int kLowerLeft = 1083;
inline constexpr int kUpperLeft = 1084;
inline constexpr int kReplacementValue = 1085;
inline constexpr int kReplaceMenu = 1086;
inline constexpr int kSourceMenu = 1087;
inline constexpr int kRed = 1089;
inline constexpr int kGreen = 1090;
inline constexpr int kBlue = 1091;
inline constexpr int kAlpha = 1092;
inline constexpr int kIntensity = 1093;
inline constexpr int kNoise = 1098;
inline constexpr int kWaterLevel = 1099;
inline constexpr int kValleys = 1100;
inline constexpr int kPlateaus = 1101;
inline constexpr int kWater = 1111;
inline constexpr int kRound = 1113;
inline constexpr int kBandList = 1115;
inline constexpr int kPlacement = 1117;
}  // namespace main_ids

namespace scan_ids {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kLines = 1073;
}  // namespace scan_ids

// What the main dialog's status line says after a successful Generate DED, and after a
// successful load.
inline constexpr char kCreatedStatus[] = "DED file created";
inline constexpr char kLoadedStatus[] = "Done";
// What the geo raster's georeferencing text says of a raster that is not placed.
inline constexpr char kNotPlaced[] = "none";

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_DIALOG_IDS_H
