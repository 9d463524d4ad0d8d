#include "conversion.h"

#include <unistd.h>

#include <optional>

#include "dialog_driver.h"
#include "dialog_ids.h"
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

constexpr char kStandardOutput[] = "standard output";
// The DED file passed on to standard output is written here first, inside a temporary folder.
constexpr char kPassedOnName[] = "terrain.ded";

// Degrees as the dialog shows them, without the zeros that end its fixed decimals.
std::string trimmed(std::string degrees) {
  if (degrees.find('.') == std::string::npos) return degrees;
  degrees.erase(degrees.find_last_not_of('0') + 1);
  if (degrees.back() == '.') degrees.pop_back();
  return degrees;
}

// A geo raster that states no place on the globe keeps the corners it found, unless the
// command line gave both.
void warnWhenNotPlaced(CliResponder& responder, const ConvertOptions& options, const Summary& s) {
  if (s.placement != kNotPlaced || (options.sw && options.ne)) return;
  responder.warn("no georeferencing: placed at SW " + trimmed(s.swLat) + "," + trimmed(s.swLon) +
                 ", NE " + trimmed(s.neLat) + "," + trimmed(s.neLon));
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
      responder.holdPathMessages();
    }
    const std::string written = driver.generate(path);
    if (passedOn != nullptr) {
      try {
        copyFileTo(written, out, kStandardOutput);
      } catch (const RunError&) {
        responder.dropHeld();  // the file was made, but never reached the user
        throw;
      }
    }
    responder.releaseHeld();
    driver.showDecimalDegrees();
    Summary summary = readSummary(driver.dialog(), written);
    warnWhenNotPlaced(responder, options, summary);
    if (passedOn != nullptr) summary.output = kStandardOutput;
    return summary;
  } catch (const RunError& e) {
    problem = e.what();
  } catch (const sxhost::Error& e) {
    problem = e.what();
  }
  responder.releaseHeld();
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
    } catch (const sxhost::Error& e) {
      std::fprintf(err, "relievo: warning: the settings were not saved: %s\n", e.what());
    }
  }
  if (summary) printSummary(toStdout ? err : out, *summary);
  return summary ? kExitSuccess : kExitFailure;
}

}  // namespace relievo::cli
