#pragma once
// Reading everything the driver holds for one card into CurrentValues (the regulator values
// are added above, in app/read_current_values.h).

namespace tw {

class App;

// Opens and closes its own connection. Failures are reported with the console flag; on a
// failure the fields filled before it keep their new values. A gpu_id outside the list
// throws std::out_of_range.
bool ReadDriverValues(App& app, int gpuId, bool console);

}  // namespace tw
