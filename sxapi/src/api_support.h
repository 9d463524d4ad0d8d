// Shared steps of the host calls on controls: finding the control of a handle and changing
// its state with notice to the change listener.
#ifndef SXHOST_SRC_API_SUPPORT_H
#define SXHOST_SRC_API_SUPPORT_H

#include <initializer_list>
#include <utility>

#include "host_state.h"

namespace sxhost::detail {

// The control of a call when the handle is a live control of one of `kinds` (any kind when
// empty); otherwise null, with the failure recorded as "<call>: ...".
ControlRec* controlFor(const char* call, SxGui gui, std::initializer_list<ControlKind> kinds = {});

template <class T>
void change(HostState& s, ControlRec& c, T& field, T value, Change what) {
  if (field == value) return;
  field = std::move(value);
  s.notify(c, what);
}

}  // namespace sxhost::detail

#endif  // SXHOST_SRC_API_SUPPORT_H
