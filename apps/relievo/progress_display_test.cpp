#include "progress_display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace relievo::cli {
namespace {

TEST(ProgressLine, BarPercentAndStatus) {
  struct Case {
    double value, maximum;
    std::string status, line;
  };
  const Case cases[] = {
      {0, 100, "Reading File...", "[........................]   0%  Reading File..."},
      {50, 100, "", "[############............]  50%"},
      {1, 3, "x", "[########................]  33%  x"},
      {100, 100, "Done", "[########################] 100%  Done"},
      {150, 100, "", "[########################] 100%"},
      {-5, 100, "", "[........................]   0%"},
      {5, 0, "", "[........................]   0%"},
      {5, -1, "", "[........................]   0%"},
      {0, 10, "DED file created\n\n/tmp/a.ded",
       "[........................]   0%  DED file created"},
      {0, 10, std::string(60, 'a'), "[........................]   0%  " + std::string(44, 'a')},
  };
  for (const Case& c : cases)
    EXPECT_EQ(progressLine(c.value, c.maximum, c.status), c.line);
}

std::string shownBy(bool enabled, const std::function<void(ProgressDisplay&)>& act) {
  std::FILE* f = std::tmpfile();
  ProgressDisplay display(f, enabled);
  act(display);
  std::fflush(f);
  std::rewind(f);
  std::string out;
  for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f))
    out += static_cast<char>(c);
  std::fclose(f);
  return out;
}

TEST(ProgressDisplay, RedrawsOnlyWhatChangedAndClearsItsLine) {
  EXPECT_EQ(shownBy(true,
                    [](ProgressDisplay& d) {
                      d.update(0, 10, "Done");
                      d.update(0, 10, "Done");
                      d.update(0, 10, "Next");
                      d.clear();
                      d.clear();
                    }),
            "\r\033[KDone\r\033[KNext\r\033[K");
  EXPECT_EQ(shownBy(false,
                    [](ProgressDisplay& d) {
                      d.update(3, 10, "Reading File...");
                      d.clear();
                    }),
            "");
}

}  // namespace
}  // namespace relievo::cli
