#pragma once

#include "platform/display_devices.h"

namespace tw::win32 {

// The display class through SetupAPI: present devices of the current hardware profile.
class DisplayDevicesWin32 final : public DisplayDevices {
 public:
  std::unique_ptr<DisplayDeviceSet> OpenPresent(uint32_t& error) override;
};

}  // namespace tw::win32
