#pragma once
// Sending the 15 OverdriveN extended settings: [0] memory timing level, [1] zero-RPM switch,
// [2]..[4] three further settings, [5]..[14] five fan-curve pairs (°C, %).

#include "gpu/ext_settings.h"

namespace tw {

struct SetterContext;

// The values are changed in place before they are sent:
// - with the card's fan switched off, the zero-RPM switch and the curve are not applied
//   (their valid flags are cleared);
// - otherwise a curve equal to the card's defaults is sent as ten -1;
// - unless [2] is -1 (the reset record), [2]..[4] are sent as 0.
// A refusal is reported as "Failed to set Fan curve for GPU n" with the driver's result.
// With CheckValuesMismatch (and not for the reset record) the settings are read back and
// the differences listed under "Fan values mismatch ..." or "Fan/Memory values mismatch ...".
bool SetExtSettings(const SetterContext& context, ExtValues& values);

// SetExtSettings with all 15 values -1: every setting the card applies goes back to its
// default. Never verified.
bool ResetExtSettings(const SetterContext& context);

}  // namespace tw
