#include "plugin/plugin_entry.h"

#include <gtest/gtest.h>

#include "relievo_testing/error_of.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace relievo {
namespace {

const sxhost::StaticPlugin kLinked{"/nowhere/relievo.so", sxpInit, sxpExit, "", "", "", ""};

TEST(PluginEntry, InitFailsWhenTheToolCannotBeRegistered) {
  {
    sxhost::Host host;
    host.addTool("Relievo");  // the host refuses a second tool of that name
    EXPECT_EQ(testing::errorOf<sxhost::Error>([&] { host.attachPlugin(kLinked); }),
              "/nowhere/relievo.so: sxpInit failed");
    EXPECT_TRUE(host.plugins().empty());
  }
  sxhost::Host host;
  host.attachPlugin(kLinked);
  EXPECT_EQ(host.tools().at(0).name, "Relievo");
}

}  // namespace
}  // namespace relievo
