// --settings: a conversion's settings saved at its end bring the same conversion back, and
// a settings file that is not valid is set aside rather than lost.
#include <nlohmann/json.hpp>
#include <tuple>

#include "cli_test_support.h"

namespace relievo::e2e {
namespace {

using CliSettings = CliTest;

TEST_F(CliSettings, SavedSettingsBringABinaryConversionBack) {
  std::vector<int> values;
  for (int i = 0; i < 30; ++i)
    values.push_back(i * 3);
  writeFile(path("g.raw"), std::string(16, 'H') + int16Bytes(values, false));
  ok("--settings s.json --source binary --file g.raw --width 5 --height 6 --offset 16 --type u16 "
     "--byte-order little --origin upper-left --nodata 9 --sw 10,20 --ne 10.5,21 -o first.ded");
  const nlohmann::json saved = nlohmann::json::parse(readFile(path("s.json")));
  EXPECT_EQ(saved["tools"]["Relievo"]["Width"]["integer"], 5);
  EXPECT_EQ(saved["tools"]["Relievo"]["HeaderOffset"]["integer"], 16);
  EXPECT_EQ(saved["tools"]["Relievo"]["DataType"]["integer"], 2);

  const RunResult again = ok("--settings s.json -o again.ded");
  const DedFile a = DedFile::read(path("first.ded"));
  // Everything but the creation time is the same.
  EXPECT_EQ(withoutCreationTime(readFile(path("again.ded"))), withoutCreationTime(a.bytes));
  EXPECT_EQ(a.extent(0), 10.0f);
  EXPECT_EQ(a.extent(3), 21.0f);
  // The value 9 (the fourth of the file) is undefined: the northern post of the fourth record.
  EXPECT_EQ(a.posts().at(3 * 6 + 5), -32768);
}

TEST_F(CliSettings, AFractalAfterAFileConversionComesBackWithItsSeedAndSize) {
  writePng(path("h.png"), 2, 2, 1, {1, 2, 3, 4});
  ok("--settings s.json --source image --file h.png");
  const std::string first = readFile(path("h.ded"));
  // The fractal does not take the file's name for its output.
  ok("--settings s.json --source fractal --seed 77 --size 8 --noise 0.4 --no-water");
  EXPECT_EQ(readFile(path("h.ded")), first);
  const RunResult again = ok("--settings s.json -o b.ded");
  EXPECT_THAT(again.out, HasSubstr("Fractal Generator, 8 x 8"));
  EXPECT_EQ(DedFile::read(path("b.ded")).posts(), DedFile::read(path("terrain.ded")).posts());
  // The image stays the stored file, though the fractal conversion never loaded it.
  const nlohmann::json saved = nlohmann::json::parse(readFile(path("s.json")));
  EXPECT_EQ(saved["tools"]["Relievo"]["FileName"]["text"], abs("h.png"));
  // A new file of another kind is all that loads: the stored image is never read as text.
  writeFile(path("a.asc"), "1 2\n3 4\n");
  const RunResult text = ok("--settings s.json --source ascii --file a.asc --width 2 --height 2");
  EXPECT_EQ(text.err, "Success: DED file created\n\n" + abs("a.ded") + "\n");
}

// A settings file that is not valid is kept aside, and nothing is converted without it.
TEST_F(CliSettings, ASettingsFileThatIsNotValidStopsTheRun) {
  writeFile(path("s.json"), "{ not json");
  const RunResult r = run("--settings s.json --size 8");
  EXPECT_EQ(std::tie(r.exitCode, r.out, r.err),
            std::tuple(1, "",
                       "relievo: s.json is not a valid settings file (not valid JSON); it was set "
                       "aside as s.json.corrupt\n"));
  EXPECT_EQ(files(), (std::vector<std::string>{"s.json.corrupt"}));
  EXPECT_EQ(readFile(path("s.json.corrupt")), "{ not json");
  // Settings that cannot be saved do not undo the conversion.
  const RunResult unsaved = ok("--settings missing/s.json --size 8");
  EXPECT_THAT(unsaved.err,
              HasSubstr("relievo: warning: the settings were not saved: missing/s.json: "
                        "cannot be written: No such file or directory\n"));
}

}  // namespace
}  // namespace relievo::e2e
