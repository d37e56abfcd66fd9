#include "powerplay/device_restart.h"

#include <cstdint>
#include <memory>
#include <optional>

#include "messages/message_writer.h"
#include "platform/display_devices.h"

namespace tw {

bool RestartDevice(DisplayDevices& devices, MessageWriter& messages, const std::string& instanceId) {
  uint32_t error = 0;
  const std::unique_ptr<DisplayDeviceSet> set = devices.OpenPresent(error);
  if (!set) {
    messages.ShowError("SetupDiGetClassDevs function failed", static_cast<int32_t>(error), true);
    return false;
  }
  for (uint32_t index = 0; set->HasDevice(index); ++index) {
    const std::optional<std::string> id = set->InstanceId(index, error);
    if (!id) {
      messages.ShowError("SetupDiGetDeviceInstanceId function failed", static_cast<int32_t>(error), true);
      return false;
    }
    if (*id != instanceId) continue;
    if (!set->Restart(index, error)) {
      messages.ShowError("SetupDiRestartDevices function failed", static_cast<int32_t>(error), true);
      return false;
    }
    return true;
  }
  return false;
}

}  // namespace tw
