#include "raster/source_layout.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace relievo {
namespace {

TEST(SourceTakeFileName, DerivesTheDedNameAndTheDirectory) {
  struct Case {
    const char* name;
    const char* dedFileName;
    const char* sourceDir;  // "was" when it keeps its value
  };
  const Case cases[] = {{"/a.b/grid", "/a.ded", "/a.b/"},
                        {"/data/grid.txt", "/data/grid.ded", "/data/"},
                        {"/data/x.tar.gz", "/data/x.tar.ded", "/data/"},
                        {"grid.txt", "grid.ded", "was"},
                        {"plain", "plain.ded", "was"},
                        {"/", "/.ded", "/"},
                        {".hidden", ".ded", "was"}};
  for (const Case& c : cases) {
    SourceLayout source{};
    std::snprintf(source.sourceDir, sizeof source.sourceDir, "was");
    EXPECT_TRUE(sourceTakeFileName(source, c.name)) << c.name;
    EXPECT_STREQ(source.fileName, c.name);
    EXPECT_STREQ(source.dedFileName, c.dedFileName) << c.name;
    EXPECT_STREQ(source.sourceDir, c.sourceDir) << c.name;
    EXPECT_EQ(source.fileSize, 0) << c.name;                     // none of them exists
    EXPECT_FALSE(sourceTakeFileName(source, c.name)) << c.name;  // the same name again
  }
  SourceLayout source{};
  EXPECT_FALSE(sourceTakeFileName(source, ""));
}

}  // namespace
}  // namespace relievo
