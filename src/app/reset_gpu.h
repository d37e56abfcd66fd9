#pragma once
// Returning a card to the driver's default values.

namespace tw {

class App;

// Every step is tried and reports its own failure; nothing is returned. From the command
// line the regulator goes back to offset 0 and load-line off (with EnableI2c).
void ResetGpu(App& app, int gpuId, bool console, bool fromCommandLine);

}  // namespace tw
