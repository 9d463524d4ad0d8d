#include "progress_display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "relievo_testing/files.h"

namespace relievo::cli {
namespace {

TEST(ProgressLine, BarPercentAndStatus) {
  const std::tuple<double, double, std::string, std::string> cases[] = {
      {0, 100, "Reading File...", "[........................]   0%  Reading File..."},
      {50, 100, "", "[############............]  50%"},
      {100, 100, "Done", "[########################] 100%  Done"},
      {-5, 100, "", "[........................]   0%"},
      {5, 0, "", "[........................]   0%"},
      {0, 10, "DED file created\n\n/tmp/a.ded",
       "[........................]   0%  DED file created"},
      {0, 10, std::string(60, 'a'), "[........................]   0%  " + std::string(44, 'a')},
  };
  for (const auto& [value, maximum, status, line] : cases)
    EXPECT_EQ(progressLine(value, maximum, status), line);
}

TEST(ProgressDisplay, RedrawsOnlyWhatChangedAndClearsItsLine) {
  for (const bool enabled : {true, false}) {
    std::FILE* f = std::tmpfile();
    {
      ProgressDisplay d(f, enabled);
      d.update(0, 10, "Done");
      d.update(0, 10, "Done");
      d.update(0, 10, "Next");
      d.clear();
      d.clear();
    }
    // Not on a terminal, nothing is shown.
    EXPECT_EQ(relievo::testing::streamContents(f),
              enabled ? "\r\033[KDone\r\033[KNext\r\033[K" : "");
    std::fclose(f);
  }
}

}  // namespace
}  // namespace relievo::cli
