#include "conversion.h"

#include <unistd.h>

#include <filesystem>
#include <optional>
#include <system_error>

#include "dialog_driver.h"
#include "errors.h"
#include "file_output.h"
#include "first_show.h"
#include "option_check.h"
#include "output_paths.h"
#include "plugin_host.h"
#include "progress_display.h"
#include "settings_file.h"
#include "summary.h"
#include "sxhost/error.h"

namespace relievo::cli {

namespace {

namespace fs = std::filesystem;

constexpr char kStandardOutput[] = "standard output";
// The DED file passed on to standard output is written here first, inside a temporary folder.
constexpr char kPassedOnName[] = "terrain.ded";

// A file prompt lists existing files only; a fifo or a device could block or never end.
void checkSourceFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) throw RunError(path + ": no such file");
  if (fs::is_directory(status)) throw RunError(path + " is a folder, not a source file");
  if (!fs::is_regular_file(status)) throw RunError(path + " is not a regular file");
}

// Everything checked before a host starts; returns the stored settings to start from.
sxhost::Preferences checkBeforeStart(const ConvertOptions& options, bool toStdout, std::FILE* out) {
  if (toStdout && isatty(fileno(out)) == 1) {
    throw UsageError("--output " + *options.output +
                     ": standard output is a terminal; send the DED file to a file or a pipe");
  }
  sxhost::Preferences settings =
      options.settings ? readSettingsFile(*options.settings) : sxhost::Preferences();
  checkOptionsFit(options, storedSettings(settings));
  checkOutputPaths({{"--output", toStdout ? std::nullopt : options.output, true},
                    {"--preview", options.preview, true},
                    {"--settings", options.settings, true},
                    {"--file", options.file, false}});
  if (options.file) checkSourceFile(*options.file);
  return settings;
}

// The conversion through the dialog: the summary, or none when it failed (the reason printed).
// A DED file for standard output (passedOn) is written into its folder, then copied to `out`.
std::optional<Summary> convertInDialog(DialogDriver& driver, CliResponder& responder,
                                       const ConvertOptions& options,
                                       const TemporaryFolder* passedOn, std::FILE* out) {
  std::string problem;
  try {
    driver.prepare();
    driver.writePreview();
    std::optional<std::string> path = options.output;
    if (passedOn != nullptr) {
      path = passedOn->path(kPassedOnName);
      responder.showPathAs(absolutePath(*path), kStandardOutput);
    }
    const std::string written = driver.generate(path);
    if (passedOn != nullptr) copyFileTo(written, out, kStandardOutput);
    driver.showDecimalDegrees();
    Summary summary = readSummary(driver.dialog(), written);
    if (passedOn != nullptr) summary.output = kStandardOutput;
    return summary;
  } catch (const RunError& e) {
    problem = e.what();
  } catch (const sxhost::Error& e) {
    problem = e.what();
  }
  responder.reportFailure(problem);
  return std::nullopt;
}

}  // namespace

int runConversion(const ConvertOptions& options, std::FILE* out, std::FILE* err) {
  const bool toStdout = options.output && namesStandardOutput(*options.output);
  sxhost::Preferences settings = checkBeforeStart(options, toStdout, out);
  const StoredSettings stored = storedSettings(settings);
  std::optional<TemporaryFolder> passedOn;
  if (toStdout) passedOn.emplace();

  ProgressDisplay progress(err, !options.quiet && isatty(fileno(err)) == 1);
  sxhost::Host host;
  host.preferences() = std::move(settings);
  // The seed has no control of its own beyond one step up or down: it goes in as a stored
  // setting, which the dialog reads when it shows.
  if (options.seed) {
    host.preferences().set(kToolName, "Fractal Seed", static_cast<int>(*options.seed));
  }
  const std::string heldFile = prepareFirstShow(host.preferences(), options, stored);
  CliResponder& responder = loadRelievo(host, progress, err, options.yes);
  startRelievo(host);

  DialogDriver driver(host, responder, options, stored);
  const std::optional<Summary> summary =
      convertInDialog(driver, responder, options, passedOn ? &*passedOn : nullptr, out);
  driver.close();
  progress.clear();
  if (options.settings) {
    restoreHeldFile(host.preferences(), heldFile);
    try {
      saveSettingsFile(*options.settings, host.preferences());
    } catch (const RunError& e) {
      std::fprintf(err, "relievo: warning: the settings were not saved: %s\n", e.what());
    }
  }
  if (summary) printSummary(toStdout ? err : out, *summary);
  return summary ? kExitSuccess : kExitFailure;
}

}  // namespace relievo::cli
