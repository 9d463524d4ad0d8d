// Plug-in modules: the test plug-in unloaded with a dialog shown and loaded again, failures,
// and plug-ins linked into the program. What every module load does (the exports, the tools,
// the dialogs from the module's resource file) is seen in the end-to-end tests of relievo.so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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

// How often the test plug-in saw its dialog close and its module exit.
std::tuple<int, int> closesAndExits(sxhost::Host& host) {
  const auto count = [&](const char* key) {
    return host.preferences().getInteger("Host Test", key).value_or(0);
  };
  return {count("Closes"), count("Exits")};
}

TEST(Plugins, LoadFailuresUnloadWithADialogShownAndTheHostsEnd) {
  const relievo::testing::ScratchDir dir;
  const std::string prefs = dir.path("prefs.json");
  {
    sxhost::Host host;
    host.usePreferencesFile(prefs);
    const SxPlugin first = host.loadPlugin(pluginPath()).handle;
    const std::string path = fs::absolute(pluginPath()).lexically_normal().string();
    EXPECT_EQ(errorOf<sxhost::Error>([&] { host.loadPlugin(pluginPath()); }),
              path + ": is loaded already");
    const std::string missing = dir.path("no_such_plugin.so");
    EXPECT_EQ(errorOf<sxhost::Error>([&] {
                host.loadPlugin(missing);
              }).rfind(missing + ": cannot be loaded: ", 0),
              0u);
    const fs::path lib = fs::path(path).parent_path().parent_path() / "lib" / "libsxapi.so";
    EXPECT_EQ(errorOf<sxhost::Error>([&] { host.loadPlugin(lib.string()); }),
              lib.lexically_normal().string() + ": is not a plug-in (it exports no sxpInit)");

    host.startTool("Host Test");
    host.unloadPlugin(first);
    // The shown dialog was closed while the plug-in was whole, then sxpExit ran.
    EXPECT_EQ(closesAndExits(host), std::tuple(1, 1));
    EXPECT_EQ(errorOf<sxhost::Error>([&] { host.unloadPlugin(first); }),
              "no such plug-in is loaded");
    EXPECT_EQ(errorOf<sxhost::Error>([&] { host.startTool("Host Test"); }),
              "no tool named \"Host Test\"");
    host.loadPlugin(pluginPath());
    host.startTool("Host Test");
  }
  // The host's end closed the dialog shown again, unloaded the module and saved the preferences.
  sxhost::Host host;
  host.usePreferencesFile(prefs);
  EXPECT_EQ(closesAndExits(host), std::tuple(2, 2));
}

// Plug-ins linked into the test program.
sxhost::StaticPlugin linkedAt(const std::string& modulePath, SxpInitFn init, SxpExitFn exit) {
  return {modulePath, init, exit, "", "", "", ""};
}

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
SxPlugin self = nullptr;
std::string refusal;
int startUnloadingItself(SxTool, SxResource) {
  try {
    sxhost::Host::current()->unloadPlugin(self);
  } catch (const sxhost::Error& e) {
    refusal = e.what();
  }
  return 0;
}
int initRegistering(SxPlugin plugin, void*, void*) {
  self = plugin;
  EXPECT_NE(sxRegisterViewer(plugin, "T", startUnloadingItself, nullptr, "Version", "1", nullptr),
            nullptr);
  EXPECT_EQ(sxRegisterViewer(plugin, "T", startUnloadingItself, nullptr, nullptr), nullptr);
  EXPECT_EQ(sxhost::Host::current()->lastError(),
            "sxRegisterViewer: a tool named \"T\" is registered already");
  EXPECT_EQ(sxRegisterViewer(plugin, "", startUnloadingItself, nullptr, nullptr), nullptr);
  EXPECT_EQ(sxhost::Host::current()->lastError(),
            "sxRegisterViewer: a tool needs a name and a start function");
  const auto notResource = reinterpret_cast<SxResource>(plugin);
  EXPECT_EQ(sxRegisterViewer(plugin, "U", startUnloadingItself, notResource, nullptr), nullptr);
  EXPECT_EQ(sxhost::Host::current()->lastError(),
            "sxRegisterViewer: tool \"U\": not a loaded resource");
  EXPECT_NE(sxRegisterHelpFile(plugin, ""), 0);
  return 1;
}
}  // namespace linked

// A failed sxpInit unloads the module, a bad resource file is reported, registrations check
// their arguments, and no plug-in unloads itself.
TEST(StaticPlugins, InitRegistrationAndUnloading) {
  const relievo::testing::ScratchDir dir;
  sxhost::Host host;
  EXPECT_EQ(errorOf<sxhost::Error>([&] {
              host.attachPlugin(linkedAt("/nowhere/linked.so", linked::initFails, linked::exit));
            }),
            "/nowhere/linked.so: sxpInit failed");
  EXPECT_EQ(std::tuple(linked::exits, host.plugins().empty()), std::tuple(1, true));
  const std::string resource = dir.write(
      "linked.rsrc.json",
      R"({"dialogs": [{"id": 1, "size": [5, 5], "controls": [{"kind": "dial", "rect": [0, 0, 1, 1]}]}]})");
  host.attachPlugin(linkedAt(dir.path("linked.so"), linked::initLoadsResource, linked::exit));
  EXPECT_EQ(linked::resource, nullptr);
  EXPECT_EQ(host.lastError(), resource + ", dialog 1, control 1: unknown kind \"dial\"");

  EXPECT_EQ(sxLoadResource(nullptr), nullptr);
  EXPECT_EQ(host.lastError(), "sxLoadResource: not a module handle");
  EXPECT_EQ(sxRegisterViewer(nullptr, "T", nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(host.lastError(), "sxRegisterViewer: not a loaded plug-in");
  host.attachPlugin(linkedAt("/nowhere/reg.so", linked::initRegistering, nullptr));
  EXPECT_EQ(host.lastError(), "sxRegisterHelpFile: no file name");
  host.startTool("T");
  EXPECT_EQ(linked::refusal, "a plug-in cannot be unloaded while plug-in code runs");
  host.unloadPlugin(linked::self);
  EXPECT_EQ(host.plugins().size(), 1u);  // the one with the bad resource stays
}

}  // namespace
