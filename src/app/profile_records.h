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
// taken from the profile when it has that state and from `current` otherwise; a clock or
// voltage the profile leaves unset is taken from `current` too. A clock whose 10 kHz value
// does not fit (see FirstUnsendableValue) throws std::bad_optional_access.
std::vector<adl::ADLODNPerformanceLevelX2> OverdriveNLevels(const ProfileItem& profile, const ProfileItem& current,
                                                            StateKind kind, int stateCount);

// Whether a clock or voltage of the first states the card counts holds the not-set marker.
bool HasUnsetStateValue(const ProfileItem& profile, int gpuStateCount, int memStateCount);

// An Overdrive8 profile is complete when every value that is sent can come from it. A
// profile with fewer than three GPU states cannot describe the card's curve at all: that
// throws std::out_of_range, which the command line reports as a command it cannot parse.
bool IsCompleteForOverdrive8(const ProfileItem& profile);

// Fills the ids a profile carries (0..9, 11, 14, 15, 19..28); a value not set leaves what
// `values` held. The other ids are left alone.
void FillOd8Values(const ProfileItem& profile, Od8Values& values);

}  // namespace tw
