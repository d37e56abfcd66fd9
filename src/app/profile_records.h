#pragma once
// Translation between a profile (or the card's current values) and the records the two
// driver generations take.

#include <vector>

#include "gpu/adl_abi.h"
#include "gpu/od8_values.h"
#include "profiles/profile_item.h"

namespace tw {

enum class StateKind { Gpu, Memory };

// The first `stateCount` levels of an OverdriveN clock record (10 kHz, mV, enabled), each
// taken from the profile when it has that state and from `current` otherwise.
std::vector<adl::ADLODNPerformanceLevelX2> OverdriveNLevels(const ProfileItem& profile, const ProfileItem& current,
                                                            StateKind kind, int stateCount);

// An Overdrive8 profile is complete when every value that is sent can come from it.
bool IsCompleteForOverdrive8(const ProfileItem& profile);

// Fills the ids a profile carries (0..9, 11, 14, 15, 19..28); a value not set leaves what
// `values` held. The other ids are left alone.
void FillOd8Values(const ProfileItem& profile, Od8Values& values);

}  // namespace tw
