#pragma once
// The command line's "-t": restart a card's device and wait for its driver to answer.

namespace tw {

class App;

inline constexpr int kDriverWaitAttempts = 7;
inline constexpr int kDriverWaitMilliseconds = 1000;

// False when the process lacks administrator rights or the device could not be restarted
// (both reported); true otherwise, also when the driver did not answer in time.
bool RestartGpu(App& app, int gpuId, bool console, bool waitForDriver);

}  // namespace tw
