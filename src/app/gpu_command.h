#pragma once
// The per-GPU command: "-ac" with a card and parameters such as gpu_p2=1100;900 or
// power_target=20. Each card's current values are read, the parameters laid over them, and
// only the groups the parameters name are written back, then the regulator values and the
// three switches (constant fan speed, Power Efficiency, Chill).

#include <string>

namespace tw {

class App;

// Reports its own problems; the command line's exit status does not depend on it.
void RunGpuCommand(App& app, const std::string& gpuIdText, const std::string& parameters,
                   const std::string& commandText, bool console);

}  // namespace tw
