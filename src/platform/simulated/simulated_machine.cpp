#include "platform/simulated/simulated_machine.h"

#include <string>

namespace tw::simulated {
namespace {

// Kernel drivers are named by made-up load addresses: the list position, page-aligned
// above the null page, so that no address is 0.
constexpr uintptr_t kAddressBase = 0x10000;
constexpr uintptr_t kAddressStride = 0x1000;

}  // namespace

SimulatedMachine::SimulatedMachine(Machine& base, SimulatorLink& simulator, std::function<void(uint32_t)> setLastError)
    : base_(base), simulator_(simulator), setLastError_(std::move(setLastError)) {}

bool SimulatedMachine::EnumerateDeviceDrivers(size_t capacity, std::vector<uintptr_t>& addresses,
                                              uint32_t& neededBytes) {
  addresses.clear();
  neededBytes = 0;
  const SimulatorServices* services = simulator_.Services();
  if (!services) return true;  // no simulator: a machine without the AMD driver
  int count = 0;
  if (const unsigned error = services->kernelDriversCount(&count); error != 0) {
    setLastError_(error);
    return false;
  }
  neededBytes = static_cast<uint32_t>(count) * static_cast<uint32_t>(sizeof(void*));
  for (size_t i = 0; i < static_cast<size_t>(count) && i < capacity; ++i)
    addresses.push_back(kAddressBase + i * kAddressStride);
  return true;
}

std::string SimulatedMachine::DeviceDriverBaseName(uintptr_t address) {
  const SimulatorServices* services = simulator_.Services();
  if (!services || address < kAddressBase) return {};
  const int index = static_cast<int>((address - kAddressBase) / kAddressStride);
  char buffer[128] = {};
  int length = 0;
  if (const unsigned error = services->kernelDriverName(index, buffer, sizeof buffer, &length); error != 0) {
    setLastError_(error);
    return {};
  }
  return std::string(buffer);
}

bool SimulatedMachine::IsUserAdmin() {
  const SimulatorServices* services = simulator_.Services();
  return services && services->isUserAdmin() != 0;
}

}  // namespace tw::simulated
