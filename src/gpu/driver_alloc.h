#pragma once
// The memory the driver library hands back. The library allocates every list it returns
// through the callback given at context creation; the program releases those lists with
// the matching DriverFree, so both sides must use the same allocator.

#include <cstddef>

#include "gpu/adl_calling_convention.h"

namespace tw {

// The allocation callback passed to ADL2_Main_Control_Create. Sizes below 1 give null.
void* TW_ADL_STDCALL DriverAlloc(int size);

// Releases a block from DriverAlloc; null is ignored.
void DriverFree(void* block);

// Blocks handed out by DriverAlloc and not yet released: lets the tests prove that every
// list the driver returned was released.
long DriverAllocLiveBlocks();

}  // namespace tw
