// Per-tool preferences: typed reads with conversion, and the JSON file behind them.
#include "sxhost/preferences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <tuple>

#include "relievo_testing/error_of.h"
#include "relievo_testing/files.h"
#include "relievo_testing/scratch_dir.h"
#include "sxapilib.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace {

namespace fs = std::filesystem;
using relievo::testing::errorOf;
using relievo::testing::readFile;
using relievo::testing::writeFile;

// Each key read with each getter: a stored number converts to the getter's type when it fits;
// a text is no number; a key never set gives the default.
TEST(Prefs, GettersConvertNumbersOrGiveTheDefault) {
  sxhost::Host host;
  SxTool tool = host.addTool("T");
  sxPluginToolPrefSetDouble(tool, "d", -2.75);
  sxPluginToolPrefSetInteger(tool, "i", 5);
  sxPluginToolPrefSetDouble(tool, "huge", 1e300);
  sxPluginToolPrefSetDouble(tool, "nan", std::nan(""));
  sxPluginToolPrefSetString(tool, "s", "/data/a-long-file-name.txt");
  const std::tuple<const char*, int, float, double, const char*> cases[] = {
      // key, as integer, as float, as double, as a text of at most 7 characters
      {"d", -2, -2.75f, -2.75, "def"},   {"i", 5, 5.0f, 5.0, "def"},
      {"huge", -1, -1.0f, 1e300, "def"},  // beyond int and float: not held as those
      {"nan", -1, -1.0f, -1.0, "def"},   {"s", -1, -1.0f, -1.0, "/data/a"},
      {"unset", -1, -1.0f, -1.0, "def"},
  };
  for (const auto& c : cases) {
    const char* key = std::get<0>(c);
    int i = 0;
    float f = 0;
    double d = 0;
    char buf[8];
    EXPECT_EQ(sxPluginToolPrefGetInteger(tool, key, &i, -1) |
                  sxPluginToolPrefGetFloat(tool, key, &f, -1.0f) |
                  sxPluginToolPrefGetDouble(tool, key, &d, -1.0) |
                  sxPluginToolPrefGetString(tool, key, buf, 7, "def"),
              0);
    EXPECT_EQ(std::tuple(key, i, f, d, std::string(buf)), c);
  }
  char buf[4] = "abc";
  EXPECT_EQ(sxPluginToolPrefGetString(tool, "s", buf, 0, ""), 0);
  EXPECT_STREQ(buf, "");
  // Preferences belong to the tool's name.
  int i = 0;
  sxPluginToolPrefGetInteger(host.addTool("Other"), "i", &i, 44);
  EXPECT_EQ(i, 44);

  // Bad arguments fail and leave the outputs alone.
  i = 9;
  EXPECT_NE(sxPluginToolPrefGetInteger(nullptr, "k", &i, 1), 0);
  EXPECT_EQ(host.lastError(), "sxPluginToolPrefGetInteger: not a registered tool");
  EXPECT_NE(sxPluginToolPrefGetInteger(tool, nullptr, &i, 1), 0);
  EXPECT_EQ(host.lastError(), "sxPluginToolPrefGetInteger: no key");
  EXPECT_EQ(i, 9);
}

// Numbers and texts of every type come back from the file in relievo's saved settings; here
// what no setting of relievo's holds.
TEST(Prefs, TheFileKeepsTypesIsReplacedWholeAndKeepsItsPermissions) {
  const relievo::testing::ScratchDir dir;
  const fs::path file = dir.path("prefs.json");
  writeFile(file, "{\"version\": 1, \"tools\": {}}");
  fs::permissions(file, fs::perms(0664));
  {
    sxhost::Host host;
    host.usePreferencesFile(file.string());
    SxTool tool = host.addTool("Relievo");
    sxPluginToolPrefSetDouble(tool, "Far", -HUGE_VAL);
    sxPluginToolPrefSetString(tool, "Number", "12");
  }  // the host saves as it goes
  EXPECT_NE(readFile(file).find("\"-inf\""), std::string::npos) << readFile(file);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0664));
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.root()), fs::directory_iterator()), 1);

  sxhost::Host host;
  host.usePreferencesFile(file.string());
  const sxhost::Preferences::ToolPrefs expected{{"Far", -HUGE_VAL}, {"Number", std::string("12")}};
  EXPECT_EQ(host.preferences().tools().at("Relievo"), expected);
  EXPECT_TRUE(host.log().empty());
}

TEST(Prefs, FilesThatAreNotValidSayWhy) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"{\"version\": 1, \"tools\": {", "not valid JSON"},
      {"[]", "not a JSON object"},
      {"{\"tools\": {}}", "\"version\" is not 1"},
      {"{\"version\": 1, \"tools\": []}", "\"tools\" is not an object"},
      {"{\"version\": 1, \"tools\": {\"T\": 3}}", "tool \"T\" is not an object"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"integer\": 1.5}}}}", "\"T\" / \"k\" is not an integer"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"integer\": 3000000000}}}}", "\"T\" / \"k\" is out of range"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"double\": \"x\"}}}}", "\"T\" / \"k\" is not a number"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"text\": 1}}}}", "\"T\" / \"k\" is not a text"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"bool\": true}}}}", "\"T\" / \"k\" has the unknown type \"bool\""},
  };
  // clang-format on
  for (const auto& [content, reason] : cases)
    EXPECT_EQ(errorOf<sxhost::Error>([&] { sxhost::Preferences::fromJson(content); }), reason);
}

// A file that is not valid is set aside and the defaults are used; one that cannot be read is
// left as it is and never written over.
TEST(Prefs, TheHostSetsABadFileAsideAndLeavesAnUnreadableOneAlone) {
  const relievo::testing::ScratchDir dir;
  const fs::path file = dir.path("prefs.json");
  const std::string bad = "{\"version\": 1, \"tools\": {\"T\": {\"k\": 3}}}";
  writeFile(file, bad);
  sxhost::Host host;
  host.usePreferencesFile(file.string());
  EXPECT_TRUE(host.preferences().tools().empty());
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(readFile(file.string() + ".corrupt"), bad);
  ASSERT_EQ(host.log().size(), 1u);
  EXPECT_EQ(host.log()[0], "preferences file " + file.string() +
                               " is not valid (\"T\" / \"k\" must be an object with one of "
                               "integer, float, double or text); it was set aside as " +
                               file.string() + ".corrupt and the defaults are used");
  host.usePreferencesFile(dir.path("new.json"));
  EXPECT_EQ(host.log().size(), 1u);  // a missing file is no error

  const fs::path folder = dir.path("folder.json");
  fs::create_directory(folder);
  host.usePreferencesFile(folder.string());
  EXPECT_EQ(host.log().back(), "preferences file " + folder.string() +
                                   " cannot be read (Is a directory); the defaults are used and "
                                   "the file is left as it is");
  host.savePreferences();
  EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
