#pragma once
// Whether a profile describes a card's present state.

#include "gpu/gpu_item.h"
#include "profiles/profile_item.h"

namespace tw {

// `current` is CurrentValues freshly read from `card`; `enableI2c` is the setting. The
// card's overdriveVersion, fanEnabled and i2cFound decide which fields take part.
bool ProfileMatches(const ProfileItem& current, const ProfileItem& profile, const GPUItem& card, bool enableI2c);

}  // namespace tw
