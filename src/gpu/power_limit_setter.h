#pragma once
// Sending the OverdriveN power limit and making sure it arrived.

#include <cstdint>
#include <string_view>

namespace tw {

struct SetterContext;

// keepOthers (window, profiles): the maximum temperature is what the card holds (the
// caller's when the card cannot be read; a caller without one, a profile, passes kNotSet,
// and then an unreadable card is reported with the read's result and nothing is sent), and
// so is a power target passed as kNotSet (a profile without one);
// without it (command line) both values are sent.
// ResetBeforeApply first sends the values and then the defaults (mode 1, power target 0,
// maximum temperature -1), results ignored. A refusal is reported with failureText (empty:
// "Failed to set Power values"), explained by the card's limits when the driver answered
// -1. CheckValuesMismatch reads back and lists the differences.
bool SetPowerLimit(const SetterContext& context, bool keepOthers, int32_t maximumTemperature, int32_t powerTarget,
                   std::string_view failureText);

}  // namespace tw
