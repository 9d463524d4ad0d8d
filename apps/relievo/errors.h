// The two ways a run of `relievo` fails, by exit status.
#ifndef RELIEVO_APPS_ERRORS_H
#define RELIEVO_APPS_ERRORS_H

#include <stdexcept>
#include <string>

namespace relievo::cli {

enum ExitStatus : int { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

// A mistake in the command line: exit status 2, the message on one line.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// The conversion (or the inspection) could not be done: exit status 1. The message says why
// in a line of its own; what the dialog showed has been printed before it.
class RunError : public std::runtime_error {
 public:
  explicit RunError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace relievo::cli

#endif  // RELIEVO_APPS_ERRORS_H
