#pragma once
// One card's OverdriveN records, read and decoded once for everything that shows or keeps
// them: the current values and the main window. Each read reports its own failure (with the
// driver's result code) under the console flag and returns false.

#include <cstdint>
#include <vector>

namespace tw {

class DriverConnection;
class MessageWriter;
struct GPUItem;

// One P-state: clock in MHz (already divided from the driver's 10 kHz).
struct LevelReading {
  int32_t clock = 0;
  int32_t vcc = 0;
  bool enabled = false;
};

struct FanControlReading {
  int32_t fanMin = 0;
  int32_t fanMax = 0;
  int32_t fanTarget = 0;
  int32_t fanAcoustic = 0;
};

struct PowerLimitReading {
  int32_t powerTemp = 0;
  int32_t powerTarget = 0;
};

// All the card's levels, GPU (gpuLevels) or memory; `levels` is left as it was on a failure.
bool ReadOdnLevels(DriverConnection& connection, MessageWriter& messages, const GPUItem& gpu, bool gpuLevels,
                   std::vector<LevelReading>& levels, bool console);
// The card's own defaults for the levels, read without a word on failure (they only
// inform, so a card that cannot tell them is not an error).
bool ReadOdnDefaultLevels(DriverConnection& connection, const GPUItem& gpu, bool gpuLevels,
                          std::vector<LevelReading>& levels);
bool ReadOdnFanControl(DriverConnection& connection, MessageWriter& messages, const GPUItem& gpu,
                       FanControlReading& fan, bool console);
bool ReadOdnPowerLimit(DriverConnection& connection, MessageWriter& messages, const GPUItem& gpu,
                       PowerLimitReading& power, bool console);

}  // namespace tw
