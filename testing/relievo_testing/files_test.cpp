#include "relievo_testing/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "relievo_testing/error_of.h"
#include "relievo_testing/scratch_dir.h"

namespace relievo::testing {
namespace {

using Bytes = std::vector<unsigned char>;

TEST(Files, WholeFilesKeepEveryByte) {
  const ScratchDir dir;
  const std::string text = dir.path("text");
  const std::string withNul("a\0\r\nb", 5);
  writeFile(text, withNul);
  EXPECT_EQ(readFile(text), withNul);
  writeFile(text, "c");  // replaced, not appended to
  EXPECT_EQ(readFile(text), "c");
  const std::string bytes = dir.write("bytes", Bytes{0xFF, 0x00, 0x80});
  EXPECT_EQ(readFile<Bytes>(bytes), (Bytes{0xFF, 0x00, 0x80}));
  EXPECT_EQ(readFile(dir.path("missing")), "");
  const std::string nowhere = dir.path("no/such/folder/f");
  EXPECT_EQ(errorOf<std::runtime_error>([&] { writeFile(nowhere, "x"); }),
            "cannot write " + nowhere);
}

TEST(Files, StreamContentsAreReadFromTheStartWhereverTheStreamStands) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::tmpfile(), std::fclose);
  ASSERT_TRUE(stream);
  std::fputs("first ", stream.get());
  std::fputs("second", stream.get());
  std::fseek(stream.get(), 3, SEEK_SET);
  EXPECT_EQ(streamContents(stream.get()), "first second");
  EXPECT_EQ(std::ftell(stream.get()), 12);
  EXPECT_EQ(streamContents<Bytes>(stream.get()).size(), 12u);
}

TEST(ErrorOf, TheMessageOfTheErrorOfThatKindOnly) {
  EXPECT_EQ(errorOf<std::runtime_error>([] { throw std::runtime_error("refused"); }), "refused");
  EXPECT_EQ(errorOf<std::runtime_error>([] {}), "no error");
  EXPECT_EQ(errorOf<std::runtime_error>([] {}, ""), "");
  EXPECT_THROW(errorOf<std::runtime_error>([] { throw std::logic_error("other"); }),
               std::logic_error);
}

}  // namespace
}  // namespace relievo::testing
