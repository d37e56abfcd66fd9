#pragma once
// The display device set of the simulated machine, from the simulator's machine services.

#include "platform/display_devices.h"
#include "platform/simulated/simulator_link.h"

namespace tw::simulated {

class SimulatedDisplayDevices final : public DisplayDevices {
 public:
  explicit SimulatedDisplayDevices(SimulatorLink& simulator) : simulator_(simulator) {}
  std::unique_ptr<DisplayDeviceSet> OpenPresent(uint32_t& error) override;

 private:
  SimulatorLink& simulator_;
};

}  // namespace tw::simulated
