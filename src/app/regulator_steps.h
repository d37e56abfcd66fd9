#pragma once
// The regulator steps of the command line's operations, taken only with EnableI2c on.

#include <cstdint>
#include <string>

namespace tw {

class App;

// Locates the regulators once per run, before the first command that needs them.
void DetectRegulatorsOnce(App& app);

void WriteRegulatorValues(App& app, int gpuId, bool reset, int32_t offset, int32_t llc, const std::string& phaseGain,
                          const std::string& currentScale);

}  // namespace tw
