#include "gpu/driver_alloc.h"

#include <atomic>
#include <cstdlib>

namespace tw {
namespace {

// The callback is a plain C function, so the count cannot live in an object.
std::atomic<long> liveBlocks{0};

}  // namespace

void* TW_ADL_STDCALL DriverAlloc(int size) {
  if (size < 1) return nullptr;
  void* block = std::malloc(static_cast<size_t>(size));
  if (block) ++liveBlocks;
  return block;
}

void DriverFree(void* block) {
  if (!block) return;
  --liveBlocks;
  std::free(block);
}

long DriverAllocLiveBlocks() { return liveBlocks.load(); }

}  // namespace tw
