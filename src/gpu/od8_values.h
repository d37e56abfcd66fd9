#pragma once
// The 29 Overdrive8 settings of a card, indexed by the driver's setting id.

#include <array>
#include <cstdint>

#include "gpu/gpu_item.h"

namespace tw {

using Od8Values = std::array<int32_t, kOd8SettingCount>;

}  // namespace tw
