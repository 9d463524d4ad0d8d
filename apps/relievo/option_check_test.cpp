#include "option_check.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "relievo_testing/error_of.h"

namespace relievo::cli {
namespace {

// The first option of a command line (split at blanks) that does not fit, or "" when they all
// fit.
std::string fitError(const std::string& line, const StoredSettings& stored = {}) {
  std::istringstream in("relievo " + line);
  const std::vector<std::string> args{std::istream_iterator<std::string>(in), {}};
  return relievo::testing::errorOf<UsageError>(
      [&] { checkOptionsFit(parseCommandLine(args).convert, stored); }, "");
}

TEST(OptionCheck, OptionsThatTheSourceKindHidesAndOptionsThatFit) {
  const std::pair<const char*, const char*> cases[] = {
      {"--source fractal --file a", "--file does not apply to --source fractal"},
      {"--source ascii --stride 2", "--stride does not apply to --source ascii"},
      {"--source binary --delimiter ,", "--delimiter does not apply to --source binary"},
      {"--source image --width 3", "--width does not apply to --source image"},
      {"--source binary --component red", "--component does not apply to --source binary"},
      {"--source ascii --band 2", "--band does not apply to --source ascii"},
      {"--source geo --origin upper-left", "--origin does not apply to --source geo"},
      {"--source binary --byte-order big", "--byte-order does not apply to 1-byte elements"},
      {"--source fractal --no-water --water-level 0.5", "--water-level needs water on (--water)"},
      {"--source fractal --unit-scale 2", "--unit-scale applies to --units other only"},
      {"--source binary --replace ded-null",
       "--replace needs --nodata (the value of undefined data)"},
      {"", ""},
      {"--source ascii --file a --scan --delimiter ; --nodata -9999 --replace -1 --order cols", ""},
      {"--source binary --type f32 --byte-order little --stride 8", ""},
      {"--source image --component green", ""},
      {"--source geo --file a --band 2 --nodata 0 --round", ""},
      {"--source fractal --seed 5 --size 64 --water-level 0.2 --units other --unit-scale 3", ""},
  };
  for (const auto& [line, message] : cases)
    EXPECT_EQ(fitError(line), message) << line;
}

TEST(OptionCheck, WhatTheOptionsLeaveOpenComesFromTheStoredSettings) {
  StoredSettings binary16;
  binary16.sourceKind = SourceKind::Binary;
  binary16.byteType = 1;
  EXPECT_EQ(fitError("--byte-order big", binary16), "");
  EXPECT_EQ(fitError("--byte-order big"),
            "--byte-order does not apply to the stored fractal source; choose the kind of source "
            "with --source ascii|binary|image|fractal|geo");

  StoredSettings dry;
  dry.water = false;
  EXPECT_EQ(fitError("--water-level 0.1", dry), "--water-level needs water on (--water)");
  EXPECT_EQ(fitError("--water-level 0.1 --water", dry), "");

  StoredSettings other;
  other.units = Unit::Other;
  EXPECT_EQ(fitError("--unit-scale 0.5", other), "");

  StoredSettings withNulls;
  withNulls.sourceKind = SourceKind::Ascii;
  withNulls.hasNullData = true;
  EXPECT_EQ(fitError("--replace 7", withNulls), "");

  // A stored kind that is no menu position decides nothing.
  StoredSettings nonsense;
  nonsense.sourceKind = std::nullopt;
  EXPECT_EQ(fitError("--file x", nonsense), "");
}

TEST(OptionCheck, StoredSettingsReadTheToolsPreferences) {
  const auto fields = [](const StoredSettings& s) {
    return std::tuple(s.sourceKind, s.byteType, s.water, s.units, s.hasNullData, s.fractalSize);
  };
  sxhost::Preferences prefs;
  EXPECT_EQ(fields(storedSettings(prefs)),
            std::tuple(std::optional(SourceKind::Fractal), 0, true, Unit::Meters, false, 256));
  prefs.set(kToolName, "DataType", 1);
  prefs.set(kToolName, "ByteType", 4);
  prefs.set(kToolName, "Fractal Water", 0);
  prefs.set(kToolName, "Units", 8);
  prefs.set(kToolName, "HasNullData", 1);
  prefs.set(kToolName, "Fractal Size", 512);
  EXPECT_EQ(fields(storedSettings(prefs)),
            std::tuple(std::optional(SourceKind::Ascii), 4, false, Unit::Other, true, 512));
  // Stored values that are no menu position.
  prefs.set(kToolName, "DataType", 9);
  prefs.set(kToolName, "Units", 0);
  const StoredSettings s = storedSettings(prefs);
  EXPECT_EQ(std::tuple(s.sourceKind, s.units),
            std::tuple(std::optional<SourceKind>(), Unit::Meters));
}

}  // namespace
}  // namespace relievo::cli
