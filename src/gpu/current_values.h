#pragma once
// Reading everything the driver holds for one card into the current values (the regulator
// values are added above, in app/read_current_values.h).

#include "gpu/gpu_context.h"
#include "gpu/gpu_item.h"
#include "profiles/profile_item.h"

namespace tw {

// Opens and closes its own connection. Failures are reported with the console flag; on a
// failure the fields filled before it keep their new values.
bool ReadDriverValues(const GpuContext& context, GPUItem& gpu, int gpuId, ProfileItem& currentValues, bool console);

}  // namespace tw
