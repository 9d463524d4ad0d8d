// sxhost::Error: what the stand-in host's C++ API throws when a request cannot be done
// (no such tool or dialog, a user action a user could not take, a module that does not
// load, a resource file that does not parse). what() is the whole message, ready to show.
#ifndef SXHOST_ERROR_H
#define SXHOST_ERROR_H

#include <stdexcept>
#include <string>

namespace sxhost {

class [[gnu::visibility("default")]] Error : public std::runtime_error{
  public : explicit Error(const std::string& message) : std::runtime_error(message){}
};

}  // namespace sxhost

#endif  // SXHOST_ERROR_H
