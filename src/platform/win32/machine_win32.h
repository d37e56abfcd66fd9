#pragma once

#include "platform/machine.h"

namespace tw::win32 {

class MachineWin32 : public Machine {
 public:
  Path ExecutablePath() override;
  bool EnumerateDeviceDrivers(size_t capacity, std::vector<uintptr_t>& addresses, uint32_t& neededBytes) override;
  std::string DeviceDriverBaseName(uintptr_t address) override;
  std::string SystemDirectory(uint32_t& resultLength) override;
  std::string WindowsDirectory() override;
  std::optional<bool> IsWow64Process() override;
  bool FileExistsWithoutRedirection(const std::string& path) override;
  bool IsUserAdmin() override;
};

}  // namespace tw::win32
