#pragma once
// Reading everything the driver holds for one card into CurrentValues.

namespace tw {

class App;

// Opens and closes its own connection. Failures are reported with the console flag; on a
// failure the fields filled before it keep their new values. A gpu_id outside the list
// throws std::out_of_range.
bool ReadCurrentValues(App& app, int gpuId, bool console);

}  // namespace tw
