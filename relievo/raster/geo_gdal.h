// GDAL at the plug-in's boundary: its drivers registered before first use, and its messages
// caught instead of printed, so that what the user sees always names the file it is about.
#ifndef RELIEVO_RASTER_GEO_GDAL_H
#define RELIEVO_RASTER_GEO_GDAL_H

#include <cpl_error.h>

#include <string>
#include <string_view>

namespace relievo {

// Registers GDAL's drivers when none is registered (the first use in the process, or the
// first after GDAL's driver manager was destroyed); does nothing otherwise.
void geoRegisterDrivers();

// While it lives, GDAL's messages on this thread come here instead of to GDAL's own handler,
// which prints them on standard error. The text of the first failure is kept, as the later
// ones mostly report its consequences; warnings and debug messages are dropped. Captures
// nest: the innermost one hears the messages.
class GdalErrorCapture {
 public:
  GdalErrorCapture();
  ~GdalErrorCapture();
  GdalErrorCapture(const GdalErrorCapture&) = delete;
  GdalErrorCapture& operator=(const GdalErrorCapture&) = delete;

  // The first failure's text on one line, without a leading "<path>: " that would name the
  // file twice in a message that starts with it; `fallback` when GDAL reported no failure.
  std::string reason(std::string_view path, std::string_view fallback) const;

 private:
  static void CPL_STDCALL handle(CPLErr kind, CPLErrorNum number, const char* message);
  std::string first_;
};

}  // namespace relievo

#endif  // RELIEVO_RASTER_GEO_GDAL_H
