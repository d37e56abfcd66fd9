#pragma once
// The present display-class devices of the current hardware profile, as the device
// installer services give them: walked by index, each with its instance id, its
// friendly-name property and a restart. Every failure carries its Windows error code.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// An opened device set; destroying it releases the set.
class DisplayDeviceSet {
 public:
  virtual ~DisplayDeviceSet() = default;
  // False when the walk has ended: there is no device at this index.
  virtual bool HasDevice(uint32_t index) = 0;
  virtual std::optional<std::string> InstanceId(uint32_t index, uint32_t& error) = 0;
  virtual bool Restart(uint32_t index, uint32_t& error) = 0;
  // nullopt when the device has no friendly name or it cannot be read (error says which).
  virtual std::optional<std::string> FriendlyName(uint32_t index, uint32_t& error) = 0;
  virtual bool SetFriendlyName(uint32_t index, std::string_view name, uint32_t& error) = 0;
  virtual bool RemoveFriendlyName(uint32_t index, uint32_t& error) = 0;
};

class DisplayDevices {
 public:
  virtual ~DisplayDevices() = default;
  // The set of present display devices; nullptr with the error when it cannot be taken.
  virtual std::unique_ptr<DisplayDeviceSet> OpenPresent(uint32_t& error) = 0;
};

}  // namespace tw
