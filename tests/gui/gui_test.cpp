// The windowed host used as a person uses it: real X events on a private X server, the
// results read from the screen, the settings file and the files written.
#include <gtest/gtest.h>

#include <string>

#include "gui_test_support.h"
#include "process.h"
#include "relievo_testing/files.h"
#include "sxhost/host.h"

namespace relievo::gui_test {
namespace {

// What the headless host draws in the preview at a first start, nothing stored: the
// built-in fractal terrain.
sxhost::Rgb headlessPreview() {
  sxhost::Host host;
  host.loadPlugin((buildDir() / "plugins" / "relievo.so").string());
  host.startTool(kTool);
  return host.dialog(100).control(kPreview).lastPicture();
}

using Relievo = GuiTest;

// A first start from the Tools menu, nothing stored: the headless host's picture shows.
// Dragging the noise slider redraws it, and so does a colour chosen for the ramp; a binary
// file chosen, sized and converted in the window gives the command's DED file; all is saved.
TEST_F(Relievo, TheWindowDrivesTheDialogAndShowsItsPictures) {
  std::string grid(200 * 150, '\0');
  for (std::size_t i = 0; i < grid.size(); ++i)
    grid[i] = static_cast<char>((i % 200 + i / 200) % 256);
  dir.write("grid.raw", grid);
  launch();
  const sxhost::Rgb expected = headlessPreview();
  ASSERT_FALSE(expected.empty());
  const Box preview = control(kPreview);
  waitForPicture(preview, expected);
  const sxhost::Rgb first = steady(preview);

  const Box noise = control(kNoise);
  const int y = noise.y + noise.h / 2;
  xdotool({"mousemove", std::to_string(noise.x + 4), std::to_string(y), "mousedown", "1"});
  for (int step = 1; step <= 4; ++step) {
    xdotool(
        {"mousemove", std::to_string(noise.x + 4 + step * noise.w * 3 / 16), std::to_string(y)});
  }
  xdotool({"mouseup", "1"});
  const sxhost::Rgb green = waitForChange(preview, first);

  // The right half of the ramp is its top colour; the chooser's hue box sits at its top left.
  const Box ramp = control(kRamp);
  click(ramp.x + ramp.w * 3 / 4, ramp.y + ramp.h / 2);
  const Box chooser = enterWindow("Color");
  click(chooser.x + 20, chooser.y + 100);
  xdotool({"key", "Return"});
  waitGone("Color");
  const sxhost::Rgb fractal = waitForChange(preview, green);

  // The menu opens at "Fractal Generator"; two items up is "Binary File".
  clickControl(kSourceKind);
  xdotool({"key", "Up", "key", "Up", "key", "Return"});
  // The chooser opens in the working folder, where the file lies, with its name field ready.
  clickControl(kBrowse);
  enterWindow("Open Raster Files or Text Files");
  xdotool({"key", "ctrl+a", "type", "grid.raw"});
  xdotool({"key", "Return"});
  waitGone("Open Raster Files or Text Files");
  typeInto(kWidth, "200");
  typeInto(kHeight, "150");
  clickControl(kPreviewData);
  waitForChange(preview, fractal);

  clickControl(kGenerate);
  enterWindow("Select Output DED File");
  xdotool({"key", "Return"});  // the proposed name: grid.ded beside the source
  enterWindow("Success");
  xdotool({"key", "Return"});
  waitGone("Success");
  ASSERT_EQ(closeMainWindow(), 0);
  const sxhost::Preferences saved = sxhost::Preferences::fromJson(
      relievo::testing::readFile(dir.path("config/relievo/settings.json")));
  EXPECT_EQ(saved.getInteger(kTool, "DataType"), 2);
  EXPECT_GT(saved.getDouble(kTool, "Fractal Noise").value_or(0.0), 0.5);
  const auto top = [&](const char* key) { return saved.getInteger(kTool, key).value_or(-1); };
  EXPECT_NE(std::make_tuple(top("TopRed"), top("TopGreen"), top("TopBlue")),
            std::make_tuple(0, 255, 0));

  SpawnOptions options;
  options.cwd = dir.root();
  options.quiet = true;
  ASSERT_EQ(run({(buildDir() / "bin" / "relievo").string(), "--source", "binary", "--file",
                 "grid.raw", "--width", "200", "--height", "150", "-o", "cli.ded"},
                options),
            0);
  const std::string gui = relievo::testing::readFile(dir.path("grid.ded"));
  const std::string cli = relievo::testing::readFile(dir.path("cli.ded"));
  ASSERT_EQ(gui.size(), cli.size());
  ASSERT_GT(gui.size(), 200u);
  // Bytes 24 ... 49 of the header hold the time the file was created.
  EXPECT_EQ(gui.substr(0, 24), cli.substr(0, 24));
  EXPECT_EQ(gui.substr(50), cli.substr(50));
}

}  // namespace
}  // namespace relievo::gui_test
