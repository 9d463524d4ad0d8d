#include "conversion.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "dialog_driver.h"
#include "errors.h"
#include "option_check.h"
#include "output_paths.h"
#include "plugin_host.h"
#include "progress_display.h"
#include "summary.h"
#include "sxhost/error.h"

namespace relievo::cli {

namespace {

namespace fs = std::filesystem;

// The stored settings as the host will read them: none when the file is missing or not valid
// (the host then starts from the defaults and says so). A folder is no settings file: the
// host would try to set it aside.
sxhost::Preferences readSettings(const std::optional<std::string>& path) {
  if (!path) return {};
  std::error_code ec;
  const fs::file_status status = fs::status(*path, ec);
  if (fs::is_directory(status)) throw UsageError("--settings: " + *path + " is a folder");
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    throw UsageError("--settings: " + *path + " is not a regular file");
  }
  std::ifstream in(*path, std::ios::binary);
  if (!in) return {};
  std::ostringstream content;
  content << in.rdbuf();
  try {
    return sxhost::Preferences::fromJson(content.str());
  } catch (const sxhost::Error&) {
    return {};
  }
}

// A file prompt lists existing files only; a fifo or a device could block or never end.
void checkSourceFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) throw RunError(path + ": no such file");
  if (fs::is_directory(status)) throw RunError(path + " is a folder, not a source file");
  if (!fs::is_regular_file(status)) throw RunError(path + " is not a regular file");
}

}  // namespace

int runConversion(const ConvertOptions& options, std::FILE* out, std::FILE* err) {
  const StoredSettings stored = storedSettings(readSettings(options.settings));
  checkOptionsFit(options, stored);
  checkOutputPaths({{"--output", options.output, true},
                    {"--preview", options.preview, true},
                    {"--settings", options.settings, true},
                    {"--file", options.file, false}});
  if (options.file) checkSourceFile(*options.file);

  ProgressDisplay progress(err, !options.quiet && isatty(fileno(err)) == 1);
  sxhost::Host host;
  if (options.settings) {
    const std::size_t before = host.log().size();
    host.usePreferencesFile(*options.settings);
    printHostWarnings(host, before, err);
  }
  CliResponder& responder = loadRelievo(host, progress, err, options.yes);
  // The seed has no control of its own beyond one step up or down: it goes in as a stored
  // setting, which the dialog reads when it shows.
  if (options.seed) {
    host.preferences().set(kToolName, "Fractal Seed", static_cast<int>(*options.seed));
  }
  startRelievo(host);

  DialogDriver driver(host, responder, options, stored);
  int status = kExitSuccess;
  std::optional<Summary> summary;
  try {
    driver.prepare();
    driver.writePreview();
    const std::string output = driver.generate();
    driver.showDecimalDegrees();
    summary = readSummary(driver.dialog(), output);
  } catch (const RunError& e) {
    progress.clear();
    std::fprintf(err, "relievo: %s\n", e.what());
    status = kExitFailure;
  } catch (const sxhost::Error& e) {
    progress.clear();
    std::fprintf(err, "relievo: %s\n", e.what());
    status = kExitFailure;
  }
  driver.close();
  progress.clear();
  if (options.settings) {
    try {
      host.savePreferences();
    } catch (const sxhost::Error& e) {
      std::fprintf(err, "relievo: warning: the settings were not saved: %s\n", e.what());
    }
  }
  if (summary) printSummary(out, *summary);
  return status;
}

}  // namespace relievo::cli
