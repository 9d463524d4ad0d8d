// sxMalloc and sxFree: zero-filled blocks from the C library, with the refusal hook of
// sxhost/memory.h. The counters are atomics because a front end may allocate from a
// worker thread even though the plug-in never does.
#include <atomic>
#include <cstdlib>
#include <mutex>

#include "sxapilib.h"
#include "sxhost/memory.h"

namespace {

std::mutex policyMutex;
sxhost::AllocationPolicy policy;
std::uint64_t requestsAtPolicy = 0;
std::atomic<std::uint64_t> requests{0};
std::atomic<std::int64_t> live{0};

bool refused(std::size_t size, std::uint64_t request) {
  std::lock_guard lock(policyMutex);
  if (size > policy.maxBytes) return true;
  return policy.failAt != 0 && request == requestsAtPolicy + policy.failAt;
}

}  // namespace

namespace sxhost {

void setAllocationPolicy(const AllocationPolicy& p) {
  std::lock_guard lock(policyMutex);
  policy = p;
  requestsAtPolicy = requests.load();
}

AllocationPolicy allocationPolicy() {
  std::lock_guard lock(policyMutex);
  return policy;
}

std::int64_t liveAllocations() {
  return live.load();
}
std::uint64_t allocationRequests() {
  return requests.load();
}

}  // namespace sxhost

extern "C" void* sxMalloc(size_t size) {
  const std::uint64_t request = ++requests;
  if (refused(size, request)) return nullptr;
  // calloc(0) may give null; a zero-byte request still gets a block of its own.
  void* block = std::calloc(size == 0 ? 1 : size, 1);
  if (block != nullptr) ++live;
  return block;
}

extern "C" void sxFree(void* block) {
  if (block == nullptr) return;
  --live;
  std::free(block);
}
