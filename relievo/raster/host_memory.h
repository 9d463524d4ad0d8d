// Objects and blocks in the host's memory. What the readers keep between two calls of a pass
// comes from sxMalloc, so that the host's allocation hooks reach it and a refusal is a null
// pointer the reader turns into its failure, never an exception crossing the host's C calls.
#ifndef RELIEVO_RASTER_HOST_MEMORY_H
#define RELIEVO_RASTER_HOST_MEMORY_H

#include <cstddef>
#include <memory>
#include <utility>

#include "sxapilib.h"

namespace relievo {

struct HostFree {
  void operator()(void* block) const { sxFree(block); }
};
// A block from sxMalloc, given back when the pointer goes.
template <typename T>
using HostBlock = std::unique_ptr<T, HostFree>;

// `count` zero-filled objects of a trivial type T from sxMalloc; null when refused.
template <typename T>
HostBlock<T> hostBlock(std::size_t count) {
  return HostBlock<T>(static_cast<T*>(sxMalloc(count * sizeof(T))));
}

// A T made in a block from sxMalloc from args (which must not throw); null when refused.
template <typename T, typename... Args>
T* hostNew(Args&&... args) {
  void* block = sxMalloc(sizeof(T));
  if (block == nullptr) return nullptr;
  return std::construct_at(static_cast<T*>(block), std::forward<Args>(args)...);
}

// Ends the life of an object made by hostNew and gives its block back; null is ignored.
template <typename T>
void hostDelete(T* object) {
  if (object == nullptr) return;
  std::destroy_at(object);
  sxFree(object);
}

}  // namespace relievo

#endif  // RELIEVO_RASTER_HOST_MEMORY_H
