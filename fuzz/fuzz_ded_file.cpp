// The DED reader of `relievo inspect` over any file, and both of its reports of what it read:
// it reads the file or fails with RunError.
#include <cstdint>

#include "ded_file.h"
#include "errors.h"
#include "inspect.h"
#include "scratch_file.h"

using namespace relievo::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const relievo::fuzz::ScratchFile file(".ded");
  file.write({data, size});
  try {
    const DedFile ded = readDedFile(file.path());
    inspectText(ded);
    inspectJson(ded);
  } catch (const RunError&) {
  }
  return 0;
}
