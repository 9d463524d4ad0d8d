// Plug-in modules: the test plug-in loaded, started, driven through every call category,
// unloaded and loaded again; static plug-ins; failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <tuple>

#include "relievo_testing/error_of.h"
#include "relievo_testing/scratch_dir.h"
#include "sxapilib.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace {

namespace fs = std::filesystem;
using relievo::testing::errorOf;

std::string pluginPath() {
  if (const char* build = std::getenv("RELIEVO_BUILD_DIR")) {
    return (fs::path(build) / "plugins" / "sxtest_plugin.so").string();
  }
  return SXTEST_PLUGIN_PATH;
}

sxhost::StaticPlugin linkedAt(const std::string& modulePath, SxpInitFn init, SxpExitFn exit) {
  return {modulePath, init, exit, "", "", "", ""};
}

int pref(sxhost::Host& host, const char* key) {
  return host.preferences().getInteger("Host Test", key).value_or(0);
}

class PluginTest : public testing::Test {
 protected:
  sxhost::Dialog& start() {
    host.startTool("Host Test");
    return host.dialog(300);
  }
  sxhost::Host host;
  const sxhost::PluginInfo& plugin = host.loadPlugin(pluginPath());
};

TEST_F(PluginTest, ExportsToolsAndHelpFileAreRead) {
  EXPECT_EQ(plugin.path, fs::absolute(pluginPath()).lexically_normal().string());
  EXPECT_EQ(
      std::tie(plugin.vendor, plugin.id, plugin.uuid, plugin.version),
      std::tuple("Relievo Tests", "HostTest", "7c1f4d52-0b3e-4a8e-9d61-2f5a8c3e9b10", "1.2.3"));
  EXPECT_EQ(plugin.helpFiles, (std::vector<std::string>{"hosttest.hlp"}));
  ASSERT_EQ(host.plugins().size(), 1u);
  const auto tools = host.tools();
  ASSERT_EQ(tools.size(), 1u);
  EXPECT_EQ(tools[0].name, "Host Test");
  const std::vector<std::pair<std::string, std::string>> attributes{{"Version", "1.2"},
                                                                    {"MenuLocation", "Tests"},
                                                                    {"MenuLabel", "Host Test..."},
                                                                    {"HelpContext", "4242"}};
  EXPECT_EQ(tools[0].attributes, attributes);
  EXPECT_EQ(tools[0].attribute("MenuLabel"), "Host Test...");
  EXPECT_EQ(tools[0].attribute("Nothing"), "");
}

TEST_F(PluginTest, StartingBuildsTheDialogFromTheModuleResourceAndDrivesIt) {
  EXPECT_EQ(host.findDialog(300), nullptr);
  sxhost::Dialog& d = start();
  EXPECT_EQ(std::tuple(d.visible(), d.caption(), d.helpContext(), d.control(10).text()),
            std::tuple(true, "Host Test 1", "4242", "4 8 32"));
  // The module's init event took its pixmap; its show event refreshed the value field from
  // the preference's default.
  ASSERT_NE(d.control(25).pixmap(), nullptr);
  EXPECT_EQ(d.control(25).pixmap()->id, 200);
  EXPECT_EQ(d.control(16).text(), "-1");
  // The module's calls reach the responder, the preferences and the controls.
  host.responder().queueAnswer(true);
  const std::pair<std::function<void()>, std::string> steps[] = {
      {[&] { d.control(11).press(); }, "yes"},
      {[&] { d.control(11).press(); }, "no"},
      {[&] { d.control(16).type(" 77 "); }, "value 77"},
      {[&] { d.control(16).type("7x"); }, "not a number"},
  };
  for (const auto& [action, status] : steps) {
    action();
    EXPECT_EQ(d.control(12).text(), status);
  }
  EXPECT_EQ(d.control(16).text(), "77");
  // A second start shows the same dialog again.
  host.startTool("Host Test");
  EXPECT_EQ(&host.dialog(300), &d);
  EXPECT_EQ(d.caption(), "Host Test 2");
  EXPECT_EQ(d.control(10).text(), "4 8 32 32");
  EXPECT_EQ(errorOf<sxhost::Error>([&] { host.startTool("Nope"); }), "no tool named \"Nope\"");
}

TEST_F(PluginTest, UnloadAndLoadAgainStartsFresh) {
  start();
  host.startTool("Host Test");
  SxDialog old = host.dialog(300).handle();
  SxGui oldControl = host.dialog(300).control(12).handle();
  EXPECT_EQ(host.dialog(300).caption(), "Host Test 2");

  const SxPlugin first = plugin.handle;  // `plugin` goes with the unload
  host.unloadPlugin(first);
  // The shown dialog was closed while the plug-in was whole, then sxpExit ran.
  EXPECT_EQ(pref(host, "Closes"), 1);
  EXPECT_EQ(pref(host, "Exits"), 1);
  EXPECT_TRUE(host.tools().empty());
  EXPECT_TRUE(host.plugins().empty());
  EXPECT_EQ(host.findDialog(300), nullptr);
  EXPECT_NE(sxShowDialog(old), 0);
  EXPECT_NE(sxTextSetString(oldControl, "x"), 0);
  EXPECT_EQ(errorOf<sxhost::Error>([&] { host.unloadPlugin(first); }), "no such plug-in is loaded");

  const sxhost::PluginInfo& again = host.loadPlugin(pluginPath());
  EXPECT_NE(again.handle, first);
  host.startTool("Host Test");
  // Module state began anew: this is the first start of the fresh module.
  EXPECT_EQ(host.dialog(300).caption(), "Host Test 1");
  EXPECT_EQ(host.dialog(300).control(10).text(), "4 8 32");
}

TEST_F(PluginTest, LoadFailuresAreClear) {
  const std::string path = fs::absolute(pluginPath()).lexically_normal().string();
  EXPECT_EQ(errorOf<sxhost::Error>([&] { host.loadPlugin(pluginPath()); }),
            path + ": is loaded already");
  const relievo::testing::ScratchDir dir;
  const std::string missing = dir.path("no_such_plugin.so");
  EXPECT_EQ(errorOf<sxhost::Error>([&] {
              host.loadPlugin(missing);
            }).rfind(missing + ": cannot be loaded: ", 0),
            0u);
  const fs::path host = fs::path(pluginPath()).parent_path().parent_path() / "lib" / "libsxapi.so";
  EXPECT_EQ(errorOf<sxhost::Error>([&] { this->host.loadPlugin(host.string()); }),
            host.lexically_normal().string() + ": is not a plug-in (it exports no sxpInit)");
  EXPECT_EQ(this->host.plugins().size(), 1u);
}

TEST(PluginLifetime, TheHostUnloadsPluginsAndSavesPreferencesAsItGoes) {
  const relievo::testing::ScratchDir dir;
  const std::string file = dir.path("prefs.json");
  {
    sxhost::Host host;
    host.usePreferencesFile(file);
    host.loadPlugin(pluginPath());
    host.startTool("Host Test");
  }
  sxhost::Host host;
  host.usePreferencesFile(file);
  EXPECT_EQ(pref(host, "Closes"), 1);
  EXPECT_EQ(pref(host, "Exits"), 1);
}

// A plug-in linked into the test program.
namespace linked {
int exits = 0;
SxResource resource = nullptr;
int initFails(SxPlugin, void*, void*) {
  return 0;
}
int initLoadsResource(SxPlugin plugin, void*, void*) {
  resource = sxLoadResource(sxGetModuleHandle(plugin));
  return 1;
}
void exit(SxPlugin plugin) {
  ++exits;
  sxUnregisterAllTools(plugin);
}
}  // namespace linked

TEST(StaticPlugins, AFailedInitUnloadsThePlugin) {
  sxhost::Host host;
  linked::exits = 0;
  EXPECT_EQ(errorOf<sxhost::Error>([&] {
              host.attachPlugin(linkedAt("/nowhere/linked.so", linked::initFails, linked::exit));
            }),
            "/nowhere/linked.so: sxpInit failed");
  EXPECT_EQ(linked::exits, 1);
  EXPECT_TRUE(host.plugins().empty());
}

// The test plug-in module reads a good resource; a bad one is reported with its path.
TEST(StaticPlugins, ABadResourceBesideTheModuleIsReported) {
  const relievo::testing::ScratchDir dir;
  const std::string resource = dir.write(
      "linked.rsrc.json",
      R"({"dialogs": [{"id": 1, "size": [5, 5], "controls": [{"kind": "dial", "rect": [0, 0, 1, 1]}]}]})");
  sxhost::Host host;
  host.attachPlugin(linkedAt(dir.path("linked.so"), linked::initLoadsResource, linked::exit));
  EXPECT_EQ(linked::resource, nullptr);
  EXPECT_EQ(host.lastError(), resource + ", dialog 1, control 1: unknown kind \"dial\"");
}

TEST(StaticPlugins, FrameCallsRefuseWhatIsNotAPlugin) {
  sxhost::Host host;
  EXPECT_EQ(sxGetModuleHandle(nullptr), nullptr);
  EXPECT_EQ(sxLoadResource(nullptr), nullptr);
  EXPECT_EQ(host.lastError(), "sxLoadResource: not a module handle");
  EXPECT_NE(sxRegisterHelpFile(nullptr, "x.hlp"), 0);
  EXPECT_EQ(sxRegisterViewer(nullptr, "T", nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(host.lastError(), "sxRegisterViewer: not a loaded plug-in");
  sxUnregisterAllTools(nullptr);
  sxUnloadResource(nullptr);
}

int startNothing(SxTool, SxResource) {
  return 0;
}

int initRegistering(SxPlugin plugin, void*, void*) {
  EXPECT_EQ(sxRegisterViewer(plugin, "", startNothing, nullptr, nullptr), nullptr);
  EXPECT_EQ(sxRegisterViewer(plugin, "T", startNothing, nullptr, "Version",
                             static_cast<const char*>(nullptr), nullptr),
            nullptr);
  EXPECT_EQ(
      sxRegisterViewer(plugin, "T", startNothing, reinterpret_cast<SxResource>(plugin), nullptr),
      nullptr);
  EXPECT_NE(sxRegisterViewer(plugin, "T", startNothing, nullptr, "Version", "1", nullptr), nullptr);
  EXPECT_EQ(sxRegisterViewer(plugin, "T", startNothing, nullptr, nullptr), nullptr);
  EXPECT_EQ(sxhost::Host::current()->lastError(),
            "sxRegisterViewer: a tool named \"T\" is registered already");
  EXPECT_NE(sxRegisterHelpFile(plugin, ""), 0);
  return 1;
}

TEST(StaticPlugins, RegistrationChecksItsArguments) {
  sxhost::Host host;
  host.attachPlugin(linkedAt("/nowhere/reg.so", initRegistering, nullptr));
  EXPECT_EQ(host.lastError(), "sxRegisterHelpFile: no file name");
  ASSERT_EQ(host.tools().size(), 1u);
  EXPECT_EQ(host.tools()[0].attribute("Version"), "1");
  EXPECT_NO_THROW(host.startTool("T"));
}

namespace selfunload {
SxPlugin self = nullptr;
std::string refusal;
int start(SxTool, SxResource) {
  try {
    sxhost::Host::current()->unloadPlugin(self);
  } catch (const sxhost::Error& e) {
    refusal = e.what();
  }
  return 0;
}
int init(SxPlugin plugin, void*, void*) {
  self = plugin;
  return sxRegisterViewer(plugin, "Self", start, nullptr, nullptr) != nullptr;
}
}  // namespace selfunload

TEST(StaticPlugins, CannotBeUnloadedWhileTheirCodeRuns) {
  sxhost::Host host;
  host.attachPlugin(linkedAt("/nowhere/self.so", selfunload::init, nullptr));
  host.startTool("Self");
  EXPECT_EQ(selfunload::refusal, "a plug-in cannot be unloaded while plug-in code runs");
  EXPECT_EQ(host.plugins().size(), 1u);
  host.unloadPlugin(selfunload::self);
  EXPECT_TRUE(host.plugins().empty());
}

}  // namespace
