// Test hooks of the host's memory calls (sxMalloc, sxFree).
//
// A test makes the host refuse allocations so that every "cannot be allocated" path of the
// plug-in runs: refuse every request above a size, or the n-th request from now on, or both.
// The policy is process-wide; AllocationFailure restores the previous one when it goes.
#ifndef SXHOST_MEMORY_H
#define SXHOST_MEMORY_H

#include <cstddef>
#include <cstdint>
#include <limits>

namespace sxhost {

struct AllocationPolicy {
  // Requests of more bytes than this are refused.
  std::size_t maxBytes = std::numeric_limits<std::size_t>::max();
  // When not 0, the failAt-th request counted from the moment the policy is set is refused
  // (1 = the next one). Only that one: later requests succeed again.
  std::uint64_t failAt = 0;
};

[[gnu::visibility("default")]] void setAllocationPolicy(const AllocationPolicy& policy);
[[gnu::visibility("default")]] AllocationPolicy allocationPolicy();

// Blocks handed out by sxMalloc and not yet given back with sxFree.
[[gnu::visibility("default")]] std::int64_t liveAllocations();
// Every sxMalloc request so far, granted or refused.
[[gnu::visibility("default")]] std::uint64_t allocationRequests();

// Scoped policy: refuses as told while it lives, then restores the policy it replaced.
class AllocationFailure {
 public:
  explicit AllocationFailure(const AllocationPolicy& policy) : previous_(allocationPolicy()) {
    setAllocationPolicy(policy);
  }
  static AllocationFailure above(std::size_t maxBytes) {
    return AllocationFailure(AllocationPolicy{maxBytes, 0});
  }
  static AllocationFailure nth(std::uint64_t n) {
    return AllocationFailure(AllocationPolicy{std::numeric_limits<std::size_t>::max(), n});
  }
  ~AllocationFailure() { setAllocationPolicy(previous_); }
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;

 private:
  AllocationPolicy previous_;
};

}  // namespace sxhost

#endif  // SXHOST_MEMORY_H
