// Per-tool preferences: typed reads with conversion, and the JSON file behind them.
#include "sxhost/preferences.h"

#include <gtest/gtest.h>

#include <climits>
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

class PrefsTest : public testing::Test {
 protected:
  const relievo::testing::ScratchDir scratch;
  const fs::path& dir = scratch.root();
};

// Each key read with each getter: a stored number converts to the getter's type when it fits;
// a text is no number; a key never set gives the default.
TEST_F(PrefsTest, GettersConvertNumbersOrGiveTheDefault) {
  sxhost::Host host;
  SxTool tool = host.addTool("T");
  sxPluginToolPrefSetDouble(tool, "d", -2.75);
  sxPluginToolPrefSetFloat(tool, "f", 7.9f);
  sxPluginToolPrefSetInteger(tool, "i", 5);
  sxPluginToolPrefSetDouble(tool, "huge", 1e300);
  sxPluginToolPrefSetDouble(tool, "nan", std::nan(""));
  sxPluginToolPrefSetString(tool, "s", "/data/a-long-file-name.txt");
  const struct {
    const char* key;
    int asInteger;
    float asFloat;
    double asDouble;
    const char* asText;  // at most 7 characters and a terminator
  } cases[] = {
      {"d", -2, -2.75f, -2.75, "def"},
      {"f", 7, 7.9f, static_cast<double>(7.9f), "def"},
      {"i", 5, 5.0f, 5.0, "def"},
      {"huge", -1, -1.0f, 1e300, "def"},  // beyond int and float: not held as those
      {"nan", -1, -1.0f, -1.0, "def"},
      {"s", -1, -1.0f, -1.0, "/data/a"},
      {"unset", -1, -1.0f, -1.0, "def"},
  };
  for (const auto& c : cases) {
    int i = 0;
    float f = 0;
    double d = 0;
    char buf[8];
    EXPECT_EQ(sxPluginToolPrefGetInteger(tool, c.key, &i, -1), 0);
    EXPECT_EQ(sxPluginToolPrefGetFloat(tool, c.key, &f, -1.0f), 0);
    EXPECT_EQ(sxPluginToolPrefGetDouble(tool, c.key, &d, -1.0), 0);
    EXPECT_EQ(sxPluginToolPrefGetString(tool, c.key, buf, 7, "def"), 0);
    EXPECT_EQ(std::tuple(i, f, d, std::string(buf)),
              std::tuple(c.asInteger, c.asFloat, c.asDouble, c.asText))
        << c.key;
  }
  char buf[4] = "abc";
  EXPECT_EQ(sxPluginToolPrefGetString(tool, "s", buf, 0, ""), 0);
  EXPECT_STREQ(buf, "");
  sxPluginToolPrefGetString(tool, "unset", buf, 3, nullptr);
  EXPECT_STREQ(buf, "");
  // Preferences belong to the tool's name.
  int i = 0;
  sxPluginToolPrefGetInteger(host.addTool("Other"), "i", &i, 44);
  EXPECT_EQ(i, 44);
}

TEST_F(PrefsTest, BadArgumentsFailAndLeaveOutputs) {
  sxhost::Host host;
  SxTool tool = host.addTool("T");
  int i = 9;
  char buf[4] = "abc";
  EXPECT_NE(sxPluginToolPrefGetInteger(nullptr, "k", &i, 1), 0);
  EXPECT_EQ(host.lastError(), "sxPluginToolPrefGetInteger: not a registered tool");
  EXPECT_NE(sxPluginToolPrefGetInteger(tool, nullptr, &i, 1), 0);
  EXPECT_EQ(host.lastError(), "sxPluginToolPrefGetInteger: no key");
  EXPECT_NE(sxPluginToolPrefGetInteger(tool, "k", nullptr, 1), 0);
  EXPECT_NE(sxPluginToolPrefGetString(tool, "k", buf, -1, "x"), 0);
  EXPECT_NE(sxPluginToolPrefSetString(tool, "k", nullptr), 0);
  EXPECT_NE(sxPluginToolPrefSetInteger(reinterpret_cast<SxTool>(buf), "k", 1), 0);
  EXPECT_EQ(i, 9);
  EXPECT_STREQ(buf, "abc");
  EXPECT_THROW(host.addTool("T"), sxhost::Error);
}

TEST_F(PrefsTest, FileRoundTripKeepsTypes) {
  const fs::path file = dir / "prefs.json";
  {
    sxhost::Host host;
    host.usePreferencesFile(file.string());
    SxTool tool = host.addTool("Relievo");
    sxPluginToolPrefSetInteger(tool, "Width", 256);
    sxPluginToolPrefSetFloat(tool, "LatStart", 0.1f);
    sxPluginToolPrefSetDouble(tool, "Fractal Noise", 0.1);
    sxPluginToolPrefSetDouble(tool, "Far", -HUGE_VAL);
    sxPluginToolPrefSetString(tool, "FileName", "/data/\xC3\xA9t\xC3\xA9.txt");
    sxPluginToolPrefSetString(tool, "Number", "12");
    host.savePreferences();
    EXPECT_TRUE(fs::exists(file));
    sxPluginToolPrefSetInteger(tool, "Height", 128);
  }  // the host saves again as it goes
  const std::string text = readFile(file);
  EXPECT_NE(text.find("\"integer\": 128"), std::string::npos) << text;
  EXPECT_NE(text.find("\"-inf\""), std::string::npos) << text;

  sxhost::Host host;
  host.usePreferencesFile(file.string());
  const sxhost::Preferences::ToolPrefs expected{
      {"Width", 256},
      {"Height", 128},
      {"LatStart", 0.1f},
      {"Fractal Noise", 0.1},
      {"Far", -HUGE_VAL},
      {"FileName", std::string("/data/\xC3\xA9t\xC3\xA9.txt")},
      {"Number", std::string("12")}};
  EXPECT_EQ(host.preferences().tools().at("Relievo"), expected);
  EXPECT_TRUE(host.log().empty());
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(PrefsTest, CorruptFilesAreSetAsideAndDefaultsUsed) {
  const struct {
    const char* content;
    const char* reason;
  } cases[] = {
      {"{\"version\": 1, \"tools\": {", "not valid JSON"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"float\": 1e400}}}}", "not valid JSON"},
      {"[]", "not a JSON object"},
      {"{\"tools\": {}}", "\"version\" is not 1"},
      {"{\"version\": 1, \"tools\": []}", "\"tools\" is not an object"},
      {"{\"version\": 1, \"tools\": {\"T\": 3}}", "tool \"T\" is not an object"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": 3}}}",
       "\"T\" / \"k\" must be an object with one of integer, float, double or text"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"integer\": 1.5}}}}",
       "\"T\" / \"k\" is not an integer"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"integer\": 3000000000}}}}",
       "\"T\" / \"k\" is out of range"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"integer\": 18446744073709551615}}}}",
       "\"T\" / \"k\" is out of range"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"double\": \"x\"}}}}",
       "\"T\" / \"k\" is not a number"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"text\": 1}}}}",
       "\"T\" / \"k\" is not a text"},
      {"{\"version\": 1, \"tools\": {\"T\": {\"k\": {\"bool\": true}}}}",
       "\"T\" / \"k\" has the unknown type \"bool\""},
  };
  for (const auto& c : cases) {
    const fs::path file = dir / "prefs.json";
    const fs::path aside = dir / "prefs.json.corrupt";
    fs::remove(aside);
    writeFile(file, c.content);
    sxhost::Host host;
    host.usePreferencesFile(file.string());
    EXPECT_TRUE(host.preferences().tools().empty()) << c.content;
    EXPECT_FALSE(fs::exists(file)) << c.content;
    EXPECT_EQ(readFile(aside), c.content);
    ASSERT_EQ(host.log().size(), 1u) << c.content;
    EXPECT_EQ(host.log()[0], "preferences file " + file.string() + " is not valid (" + c.reason +
                                 "); it was set aside as " + aside.string() +
                                 " and the defaults are used");
    SxTool tool = host.addTool("T");
    int v = 0;
    sxPluginToolPrefGetInteger(tool, "k", &v, 17);
    EXPECT_EQ(v, 17);
  }
}

TEST_F(PrefsTest, AMissingFileIsNoErrorAndOthersAreReportedWithTheReason) {
  sxhost::Host host;
  host.usePreferencesFile((dir / "new.json").string());
  EXPECT_TRUE(host.log().empty());
  const std::string unwritable = (dir / "no" / "such" / "dir.json").string();
  host.usePreferencesFile(unwritable);
  EXPECT_EQ(errorOf<sxhost::Error>([&] { host.savePreferences(); }),
            unwritable + ": cannot be written: No such file or directory");
  // A file that cannot be read is left as it is: the defaults are used and nothing is saved.
  const fs::path folder = dir / "folder.json";
  fs::create_directory(folder);
  host.usePreferencesFile(folder.string());
  EXPECT_EQ(host.log().back(), "preferences file " + folder.string() +
                                   " cannot be read (Is a directory); the defaults are used and "
                                   "the file is left as it is");
  host.savePreferences();
  EXPECT_TRUE(fs::is_directory(folder));
  // A file replaced keeps its permissions.
  const fs::path file = dir / "shared.json";
  writeFile(file, "{\"version\": 1, \"tools\": {}}");
  fs::permissions(file, fs::perms(0664));
  host.usePreferencesFile(file.string());
  host.savePreferences();
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0664));
  host.usePreferencesFile((dir / "new.json").string());
}

}  // namespace
