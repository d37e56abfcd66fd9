#pragma once
// Facts about the machine the program runs on. In the simulated-hardware builds the kernel
// driver list and the administrator test come from the simulator (platform/simulated).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tw {

class Machine {
 public:
  virtual ~Machine() = default;

  // Full path of the program's own executable.
  virtual Path ExecutablePath() = 0;

  // Load addresses of the kernel drivers, as K32EnumDeviceDrivers gives them: fills up to
  // `capacity` addresses and reports the byte count the full list needs.
  virtual bool EnumerateDeviceDrivers(size_t capacity, std::vector<uintptr_t>& addresses,
                                      uint32_t& neededBytes) = 0;
  // The base file name of the driver at a load address; its length is the call's result
  // (0 on failure).
  virtual std::string DeviceDriverBaseName(uintptr_t address) = 0;

  // The system directory and the length the call reported (below 4 means failure).
  virtual std::string SystemDirectory(uint32_t& resultLength) = 0;
  // The Windows folder shared by all users ("C:\\Windows"); empty when it cannot be named.
  virtual std::string WindowsDirectory() = 0;
  // nullopt when the query itself fails.
  virtual std::optional<bool> IsWow64Process() = 0;
  // Tests for a file with the 64-bit file-system redirection switched off around the test.
  virtual bool FileExistsWithoutRedirection(const std::string& path) = 0;

  // The process token is an enabled member of the built-in Administrators group; false
  // also when the test itself fails.
  virtual bool IsUserAdmin() = 0;
};

}  // namespace tw
