#include "platform/simulated/simulated_display_devices.h"

#include <string>

namespace tw::simulated {
namespace {

constexpr uint32_t kErrorInvalidData = 13;
constexpr uint32_t kErrorNoMoreItems = 259;
constexpr int kInstanceIdBytes = 520 * 3;  // 520 characters of UTF-8

class SimulatedDeviceSet final : public DisplayDeviceSet {
 public:
  SimulatedDeviceSet(const SimulatorServices& services, int count) : services_(services), count_(count) {}

  bool HasDevice(uint32_t index) override { return index < static_cast<uint32_t>(count_); }

  std::optional<std::string> InstanceId(uint32_t index, uint32_t& error) override {
    return Text(services_.instanceId, index, error);
  }

  bool Restart(uint32_t index, uint32_t& error) override {
    if (!Check(index, error)) return false;
    error = services_.restart(static_cast<int>(index));
    return error == 0;
  }

  std::optional<std::string> FriendlyName(uint32_t index, uint32_t& error) override {
    return Text(services_.friendlyName, index, error);
  }

  bool SetFriendlyName(uint32_t index, std::string_view name, uint32_t& error) override {
    if (!Check(index, error)) return false;
    error = services_.setFriendlyName(static_cast<int>(index), std::string(name).c_str());
    return error == 0;
  }

  bool RemoveFriendlyName(uint32_t index, uint32_t& error) override {
    if (!Check(index, error)) return false;
    error = services_.removeFriendlyName(static_cast<int>(index));
    return error == 0;
  }

 private:
  bool Check(uint32_t index, uint32_t& error) const {
    if (index < static_cast<uint32_t>(count_)) return true;
    error = kErrorNoMoreItems;
    return false;
  }

  template <typename Function>
  std::optional<std::string> Text(Function function, uint32_t index, uint32_t& error) {
    if (!Check(index, error)) return std::nullopt;
    std::string buffer(kInstanceIdBytes, '\0');
    int length = 0;
    error = function(static_cast<int>(index), buffer.data(), static_cast<int>(buffer.size()), &length);
    if (error != 0) return std::nullopt;
    buffer.resize(buffer.find('\0'));
    return buffer;
  }

  const SimulatorServices& services_;
  int count_;
};

}  // namespace

std::unique_ptr<DisplayDeviceSet> SimulatedDisplayDevices::OpenPresent(uint32_t& error) {
  const SimulatorServices* services = simulator_.Services();
  if (!services) {
    error = kErrorInvalidData;
    return nullptr;
  }
  int count = 0;
  error = services->displayDevicesCount(&count);
  if (error != 0) return nullptr;
  return std::make_unique<SimulatedDeviceSet>(*services, count);
}

}  // namespace tw::simulated
