#include "plugin/plugin_entry.h"

#include <gtest/gtest.h>

#include "relievo_testing/error_of.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace relievo {
namespace {

// Loading without a refusal is what every end-to-end test does first.
TEST(PluginEntry, InitFailsWhenTheToolCannotBeRegistered) {
  sxhost::Host host;
  host.addTool("Relievo");  // the host refuses a second tool of that name
  const sxhost::StaticPlugin linked{"/nowhere/relievo.so", sxpInit, sxpExit, "", "", "", ""};
  EXPECT_EQ(testing::errorOf<sxhost::Error>([&] { host.attachPlugin(linked); }),
            "/nowhere/relievo.so: sxpInit failed");
}

}  // namespace
}  // namespace relievo
