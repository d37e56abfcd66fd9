#pragma once
// The machine of the simulated-hardware builds: the kernel driver list and the
// administrator test come from the simulator; everything else from the real machine.

#include <cstdint>
#include <functional>

#include "platform/machine.h"
#include "platform/simulated/simulator_link.h"

namespace tw::simulated {

class SimulatedMachine final : public Machine {
 public:
  // `setLastError` records a failure's Windows code where the core reads it (SystemErrors).
  SimulatedMachine(Machine& base, SimulatorLink& simulator, std::function<void(uint32_t)> setLastError);

  Path ExecutablePath() override { return base_.ExecutablePath(); }
  bool EnumerateDeviceDrivers(size_t capacity, std::vector<uintptr_t>& addresses, uint32_t& neededBytes) override;
  std::string DeviceDriverBaseName(uintptr_t address) override;
  std::string SystemDirectory(uint32_t& resultLength) override { return base_.SystemDirectory(resultLength); }
  std::string WindowsDirectory() override { return base_.WindowsDirectory(); }
  std::optional<bool> IsWow64Process() override { return base_.IsWow64Process(); }
  bool FileExistsWithoutRedirection(const std::string& path) override {
    return base_.FileExistsWithoutRedirection(path);
  }
  bool IsUserAdmin() override;

 private:
  Machine& base_;
  SimulatorLink& simulator_;
  std::function<void(uint32_t)> setLastError_;
};

}  // namespace tw::simulated
