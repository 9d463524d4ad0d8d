// DialogDriver: applies a command line to the Relievo dialog through its controls, exactly
// as a user would act on them, in this order:
//
//   source kind, file, Scan File, layout, fractal settings, undefined data, load ("Preview
//   Data" when the source did not load by itself), units, DED range, extents, preview
//   options; then, on request, the preview picture and "Generate DED".
//
// The dialog must be shown (the tool started) before the driver acts. Whatever the dialog
// refuses or fails to do ends in RunError with the reason; messages the dialog showed have
// been printed by the responder by then.
#ifndef RELIEVO_APPS_DIALOG_DRIVER_H
#define RELIEVO_APPS_DIALOG_DRIVER_H

#include <cstddef>
#include <optional>
#include <string>

#include "cli_responder.h"
#include "option_check.h"
#include "options.h"
#include "sxhost/host.h"

namespace relievo::cli {

class DialogDriver {
 public:
  // options and stored outlive the driver.
  DialogDriver(sxhost::Host& host, CliResponder& responder, const ConvertOptions& options,
               const StoredSettings& stored);

  // Every setting applied and the source loaded; throws RunError when it did not load.
  void prepare();
  // Writes the preview control's whole view as drawn to --preview, when given.
  void writePreview();
  // Presses "Generate DED", the file prompt answered with `path` (else the dialog's proposal,
  // else terrain.ded in the working directory); returns the path written.
  std::string generate(const std::optional<std::string>& path);
  // Closes the dialog as a user would (its settings are saved); the display of angles is
  // put back first if the driver changed it.
  void close();

  // Angles shown (and typed) as decimal degrees from here on; close() puts the display back.
  void showDecimalDegrees();

  sxhost::Dialog& dialog() { return dialog_; }

 private:
  sxhost::Control& control(int id) { return dialog_.control(id); }
  // The control, when a user could act on it for `option`; else RunError.
  sxhost::Control& usable(int id, std::string_view option);
  SourceKind shownSourceKind();

  void reopenForPreviewSize();
  void chooseSource();
  void chooseFile();
  void chooseBand(int band);
  void scanFile();
  void enterFractalSizeWhenEmpty();
  void setLayout();
  void setFractal();
  void setUndefinedData();
  void load();
  // Why a file source with a layout of 0 values could not load, or "".
  std::string layoutHint();
  void setUnits();
  void setDedRange();
  void setExtents();
  void setPreviewOptions();
  // RunError when the dialog showed an error message since message number `since`.
  void failOnErrorMessages(std::size_t since);
  sxhost::Host& host_;
  CliResponder& responder_;
  const ConvertOptions& options_;
  const StoredSettings& stored_;
  sxhost::Dialog& dialog_;
  bool restoreDms_ = false;
};

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_DIALOG_DRIVER_H
