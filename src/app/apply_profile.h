#pragma once
// Writing a stored profile to one card, and applying it only where the card differs.

#include <string_view>

namespace tw {

class App;

// Sends the profile's values to the card: for OverdriveN the GPU and memory tables, the fan
// control, the extended settings and the power limit in this order; for Overdrive8 one set
// of the 29 settings. Then, with EnableI2c, the regulator values. Values the profile does
// not hold are taken from the card. A profile with a value the card's fields cannot take is
// refused before anything is sent. Every group is attempted; the result is true only when
// every group was sent (a failure hidden by IgnoreError-8 counts as sent, a read-back
// mismatch does not count against it).
bool ApplyProfile(App& app, int profile, int gpuId, bool console);

enum class CompareOutcome {
  Done,         // the card matched, was told so, or took the profile
  ReadFailed,   // the card's values could not be read (reported by the read)
  ApplyFailed,  // "cp"/"cm" had to apply the profile and the apply failed (reported)
};

// "cp" applies the profile when the card differs from it, "cm" also says so, "co" only says so.
CompareOutcome CompareProfile(App& app, int profile, int gpuId, std::string_view mode, bool console);

}  // namespace tw
