#pragma once
// The cards whose fan control the user switched off, kept as "FanDeactivatedGpus".

#include <string_view>

namespace tw {

class App;

// Whether gpu_id is listed in the option text as read at start (wrapped in ";").
bool IsFanDeactivated(std::string_view wrappedList, int gpuId);

// Rewrites the key from the cards' fanEnabled flags (removes it when none is off) and
// sets app.anyFanDeactivated. False when the file could not be read or written.
bool SaveFanDeactivatedGpus(App& app);

}  // namespace tw
