#pragma once

#include "platform/machine.h"

namespace tw::posix {

// The host has no Windows kernel drivers or WOW64; those answers come from the simulated
// machine layered on top (platform/simulated). What is real here: the program's path and files.
class MachinePosix : public Machine {
 public:
  Path ExecutablePath() override;
  bool EnumerateDeviceDrivers(size_t capacity, std::vector<uintptr_t>& addresses, uint32_t& neededBytes) override;
  std::string DeviceDriverBaseName(uintptr_t address) override;
  std::string SystemDirectory(uint32_t& resultLength) override;
  std::string WindowsDirectory() override { return {}; }  // Linux has none
  std::optional<bool> IsWow64Process() override;
  bool FileExistsWithoutRedirection(const std::string& path) override;
  bool IsUserAdmin() override;
};

}  // namespace tw::posix
