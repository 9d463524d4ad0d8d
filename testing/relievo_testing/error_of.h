// errorOf: the message of the error that an action throws, for tests that check the exact
// text of a refusal.
#ifndef RELIEVO_TESTING_ERROR_OF_H
#define RELIEVO_TESTING_ERROR_OF_H

#include <string>
#include <string_view>
#include <utility>

namespace relievo::testing {

// What the `Error` that `action` throws says, or `none` when it throws nothing. Exceptions of
// other types pass through, so that a test fails on an error of the wrong kind.
template <class Error, class Action>
std::string errorOf(Action&& action, std::string_view none = "no error") {
  try {
    std::forward<Action>(action)();
  } catch (const Error& e) {
    return e.what();
  }
  return std::string(none);
}

}  // namespace relievo::testing

#endif  // RELIEVO_TESTING_ERROR_OF_H
