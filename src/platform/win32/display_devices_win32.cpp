#include "platform/win32/display_devices_win32.h"

#include <windows.h>
#include <setupapi.h>

#include <string>

#include "base/unique_handle.h"
#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

// {4d36e968-e325-11ce-bfc1-08002be10318}
const GUID kDisplayClass = {0x4d36e968, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr DWORD kInstanceIdChars = 520;
constexpr DWORD kFriendlyNameBytes = 520;
constexpr size_t kFriendlyNameMaxChars = 259;

struct DeviceInfoSetTraits {
  using pointer = HDEVINFO;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer h) noexcept { ::SetupDiDestroyDeviceInfoList(h); }
};
using DeviceInfoSet = unique_handle<DeviceInfoSetTraits>;

class DisplayDeviceSetWin32 final : public DisplayDeviceSet {
 public:
  explicit DisplayDeviceSetWin32(DeviceInfoSet set) : set_(std::move(set)) {}

  bool HasDevice(uint32_t index) override {
    SP_DEVINFO_DATA data{};
    return Enumerate(index, data);
  }

  std::optional<std::string> InstanceId(uint32_t index, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!Enumerate(index, data)) return Failed<std::optional<std::string>>(error);
    wchar_t buffer[kInstanceIdChars] = {};
    if (!::SetupDiGetDeviceInstanceIdW(set_.get(), &data, buffer, kInstanceIdChars, nullptr))
      return Failed<std::optional<std::string>>(error);
    return Narrow(buffer);
  }

  bool Restart(uint32_t index, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!Enumerate(index, data) || !::SetupDiRestartDevices(set_.get(), &data)) return Failed<bool>(error);
    return true;
  }

  std::optional<std::string> FriendlyName(uint32_t index, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!Enumerate(index, data)) return Failed<std::optional<std::string>>(error);
    BYTE buffer[kFriendlyNameBytes + sizeof(wchar_t)] = {};
    DWORD type = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(set_.get(), &data, SPDRP_FRIENDLYNAME, &type, buffer, kFriendlyNameBytes,
                                             nullptr))
      return Failed<std::optional<std::string>>(error);
    return Narrow(reinterpret_cast<const wchar_t*>(buffer));
  }

  bool SetFriendlyName(uint32_t index, std::string_view name, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!Enumerate(index, data)) return Failed<bool>(error);
    std::wstring text = Wide(name);
    if (text.size() > kFriendlyNameMaxChars) text.resize(kFriendlyNameMaxChars);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (!::SetupDiSetDeviceRegistryPropertyW(set_.get(), &data, SPDRP_FRIENDLYNAME,
                                             reinterpret_cast<const BYTE*>(text.c_str()), bytes))
      return Failed<bool>(error);
    return true;
  }

  bool RemoveFriendlyName(uint32_t index, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!Enumerate(index, data) || !::SetupDiSetDeviceRegistryPropertyW(set_.get(), &data, SPDRP_FRIENDLYNAME, nullptr, 0))
      return Failed<bool>(error);
    return true;
  }

 private:
  bool Enumerate(uint32_t index, SP_DEVINFO_DATA& data) {
    data.cbSize = sizeof data;
    return ::SetupDiEnumDeviceInfo(set_.get(), index, &data) != FALSE;
  }

  template <typename T>
  static T Failed(uint32_t& error) {
    error = ::GetLastError();
    return T{};
  }

  DeviceInfoSet set_;
};

}  // namespace

std::unique_ptr<DisplayDeviceSet> DisplayDevicesWin32::OpenPresent(uint32_t& error) {
  DeviceInfoSet set(::SetupDiGetClassDevsW(&kDisplayClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_PROFILE));
  if (!set) {
    error = ::GetLastError();
    return nullptr;
  }
  return std::make_unique<DisplayDeviceSetWin32>(std::move(set));
}

}  // namespace tw::win32
