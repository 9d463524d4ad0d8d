// relievo: converts elevation data into DED files by driving the Relievo plug-in's dialog
// in the stand-in host, and inspects DED files. The kind of a source file that the command
// line leaves open is told here, before the conversion starts.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "conversion.h"
#include "errors.h"
#include "inspect.h"
#include "options.h"
#include "source_detect.h"

int main(int argc, char** argv) {
  using namespace relievo::cli;
  const std::vector<std::string> args(argv, argv + argc);
  try {
    const Command command = parseCommandLine(args);
    switch (command.kind) {
      case Command::Kind::Help:
        std::fputs(command.help.c_str(), stdout);
        return kExitSuccess;
      case Command::Kind::Version:
        std::printf("relievo %s\n%s\n", RELIEVO_VERSION, gdalVersion().c_str());
        return kExitSuccess;
      case Command::Kind::Convert: {
        ConvertOptions options = command.convert;
        resolveSource(options, stderr);
        return runConversion(options, stdout, stderr);
      }
      case Command::Kind::Inspect:
        return runInspect(command.inspect, stdout, stderr);
    }
  } catch (const UsageError& e) {
    std::fprintf(stderr, "relievo: %s\n", e.what());
    return kExitUsage;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "relievo: %s\n", e.what());
    return kExitFailure;
  }
  return kExitFailure;
}
