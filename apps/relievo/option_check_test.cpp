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
std::string fitError(const std::string& line, const StoredSettings& stored) {
  std::istringstream in("relievo " + line);
  const std::vector<std::string> args{std::istream_iterator<std::string>(in), {}};
  return relievo::testing::errorOf<UsageError>(
      [&] { checkOptionsFit(parseCommandLine(args).convert, stored); }, "");
}

// What the options leave open (the kind of source, the element size, water, units, undefined
// data) comes from the stored settings, the dialog's defaults when none are given.
TEST(OptionCheck, OptionsThatTheSourceKindHidesAndOptionsThatFit) {
  const std::tuple<const char*, StoredSettings, const char*> cases[] = {
      {"--source fractal --file a", {}, "--file does not apply to --source fractal"},
      {"--source geo --origin upper-left", {}, "--origin does not apply to --source geo"},
      {"--source binary --byte-order big", {}, "--byte-order does not apply to 1-byte elements"},
      {"--source fractal --unit-scale 2", {}, "--unit-scale applies to --units other only"},
      {"--source binary --replace 1", {}, "--replace needs --nodata (the value of undefined data)"},
      {"--source ascii --file a --delimiter ; --nodata 9 --replace -1 --order cols", {}, ""},
      {"--source geo --file a --band 2 --nodata 0 --round", {}, ""},
      {"--source fractal --water-level 0.2 --units other --unit-scale 3", {}, ""},
      {"--byte-order big", {.sourceKind = SourceKind::Binary, .byteType = 1}, ""},
      {"--byte-order big",
       {},
       "--byte-order does not apply to the stored fractal source; choose the kind of source "
       "with --source ascii|binary|image|fractal|geo"},
      {"--water-level 0.1", {.water = false}, "--water-level needs water on (--water)"},
      {"--water-level 0.1 --water", {.water = false}, ""},
      {"--unit-scale 0.5", {.units = Unit::Other}, ""},
      {"--replace 7", {.sourceKind = SourceKind::Ascii, .hasNullData = true}, ""},
      // A stored kind that is no menu position decides nothing.
      {"--file x", {.sourceKind = std::nullopt}, ""},
  };
  for (const auto& [line, stored, message] : cases)
    EXPECT_EQ(fitError(line, stored), message) << line;
}

TEST(OptionCheck, StoredSettingsReadTheToolsPreferences) {
  const auto fields = [](const StoredSettings& s) {
    return std::tuple(s.sourceKind, s.byteType, s.water, s.units, s.hasNullData, s.fractalSize);
  };
  sxhost::Preferences prefs;
  EXPECT_EQ(fields(storedSettings(prefs)),
            std::tuple(std::optional(SourceKind::Fractal), 0, true, Unit::Meters, false, 256));
  const std::pair<const char*, int> stored[] = {{"DataType", 1},      {"ByteType", 4},
                                                {"Fractal Water", 0}, {"Units", 8},
                                                {"HasNullData", 1},   {"Fractal Size", 512}};
  for (const auto& [key, value] : stored)
    prefs.set(kToolName, key, value);
  EXPECT_EQ(fields(storedSettings(prefs)),
            std::tuple(std::optional(SourceKind::Ascii), 4, false, Unit::Other, true, 512));
  // Stored values that are no menu position.
  prefs.set(kToolName, "DataType", 9);
  prefs.set(kToolName, "Units", 0);
  EXPECT_EQ(fields(storedSettings(prefs)),
            std::tuple(std::optional<SourceKind>(), 4, false, Unit::Meters, true, 512));
}

}  // namespace
}  // namespace relievo::cli
