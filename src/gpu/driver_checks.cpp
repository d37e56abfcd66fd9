#include "gpu/driver_checks.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "messages/message_writer.h"
#include "platform/machine.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

constexpr size_t kDriverSlots = 1024;

bool IsAmdKernelDriver(const std::string& baseName) {
  // Exact, case-sensitive: a driver spelled otherwise is not the AMD display driver.
  return baseName.size() == 12 && (baseName == "atikmdag.sys" || baseName == "amdkmdag.sys");
}

}  // namespace

bool CheckDriverLoaded(Machine& machine, SystemErrors& errors, MessageWriter& messages) {
  std::vector<uintptr_t> addresses;
  uint32_t neededBytes = 0;
  const uint32_t slotBytes = static_cast<uint32_t>(kDriverSlots * sizeof(void*));
  if (!machine.EnumerateDeviceDrivers(kDriverSlots, addresses, neededBytes) || neededBytes >= slotBytes) {
    messages.ShowError("EnumDeviceDrivers function failed", static_cast<int32_t>(errors.LastError()), true);
    return true;
  }
  const size_t count = std::min<size_t>(neededBytes / sizeof(void*), addresses.size());
  for (size_t i = 0; i < count; ++i)
    if (IsAmdKernelDriver(machine.DeviceDriverBaseName(addresses[i]))) return true;
  return false;
}

}  // namespace tw
