#pragma once
// Writing a stored profile to one card, and applying it only where the card differs.

#include <string_view>

namespace tw {

class App;

// Sends the profile's values to the card: for OverdriveN the GPU and memory tables, the fan
// control, the extended settings and the power limit in this order; for Overdrive8 one set
// of the 29 settings. Then, with EnableI2c, the regulator values. Values the profile does
// not hold are taken from the card. The result is that of the power-limit or Overdrive8
// set; the other setters report their own failures.
bool ApplyProfile(App& app, int profile, int gpuId, bool console);

// "cp" applies the profile when the card differs from it, "cm" also says so, "co" only says
// so. False only when the card's values could not be read.
bool CompareProfile(App& app, int profile, int gpuId, std::string_view mode, bool console);

}  // namespace tw
