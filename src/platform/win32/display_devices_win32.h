#pragma once

#include <memory>

#include "platform/display_devices.h"

namespace tw::win32 {

class SetupApi;

// The display class through SetupAPI: present devices of the current hardware profile.
class DisplayDevicesWin32 final : public DisplayDevices {
 public:
  std::unique_ptr<DisplayDeviceSet> OpenPresent(uint32_t& error) override;

 private:
  std::shared_ptr<const SetupApi> api_;  // bound on the first open
};

}  // namespace tw::win32
