#include "platform/win32/display_devices_win32.h"

#include <windows.h>
#include <setupapi.h>

#include <memory>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/library_loader_win32.h"
#include "platform/win32/wide.h"

namespace tw::win32 {

// setupapi.dll is not on Windows' list of known DLLs: a load-time import of it would be
// taken from the exe's folder before the program could restrict the search. Delay-loading
// it is no way out either: binutils' 32-bit delay-import stubs leave every import slot
// empty, so the first call jumps to address 0. Its few functions are bound here instead,
// from the system folder, when the first device set is opened.
class SetupApi {
 public:
  // nullptr with the last error set when the library or one of its functions is missing.
  static std::shared_ptr<const SetupApi> Bind() {
    ModuleHandle module(LoadSystemFolderOnly(L"setupapi.dll"));
    if (!module) return nullptr;
    auto api = std::shared_ptr<SetupApi>(new SetupApi(std::move(module)));
    if (api->BindAll()) return api;
    const DWORD error = ::GetLastError();  // unloading may overwrite it
    api.reset();
    ::SetLastError(error);
    return nullptr;
  }

  decltype(&::SetupDiGetClassDevsW) getClassDevs = nullptr;
  decltype(&::SetupDiEnumDeviceInfo) enumDeviceInfo = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) destroyDeviceInfoList = nullptr;
  decltype(&::SetupDiGetDeviceInstanceIdW) getDeviceInstanceId = nullptr;
  decltype(&::SetupDiRestartDevices) restartDevices = nullptr;  // may be missing
  decltype(&::SetupDiGetDeviceRegistryPropertyW) getDeviceRegistryProperty = nullptr;
  decltype(&::SetupDiSetDeviceRegistryPropertyW) setDeviceRegistryProperty = nullptr;

 private:
  explicit SetupApi(ModuleHandle module) : module_(std::move(module)) {}

  template <typename Function>
  bool BindOne(Function& function, const char* name) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
    return function != nullptr;
  }
  bool BindAll() {
    // Wine's setupapi has no SetupDiRestartDevices; without it only a restart fails.
    BindOne(restartDevices, "SetupDiRestartDevices");
    return BindOne(getClassDevs, "SetupDiGetClassDevsW") && BindOne(enumDeviceInfo, "SetupDiEnumDeviceInfo") &&
           BindOne(destroyDeviceInfoList, "SetupDiDestroyDeviceInfoList") &&
           BindOne(getDeviceInstanceId, "SetupDiGetDeviceInstanceIdW") &&
           BindOne(getDeviceRegistryProperty, "SetupDiGetDeviceRegistryPropertyW") &&
           BindOne(setDeviceRegistryProperty, "SetupDiSetDeviceRegistryPropertyW");
  }

  ModuleHandle module_;
};

namespace {

// {4d36e968-e325-11ce-bfc1-08002be10318}
const GUID kDisplayClass = {0x4d36e968, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr DWORD kInstanceIdChars = 520;
constexpr DWORD kFriendlyNameBytes = 520;
constexpr size_t kFriendlyNameMaxChars = 259;

// A device information set, destroyed through the library that made it (which it keeps
// loaded until then).
class DeviceInfoSet {
 public:
  DeviceInfoSet(std::shared_ptr<const SetupApi> api, HDEVINFO set) : api_(std::move(api)), set_(set) {}
  ~DeviceInfoSet() { api_->destroyDeviceInfoList(set_); }
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
  const SetupApi& api() const { return *api_; }
  HDEVINFO get() const { return set_; }

 private:
  std::shared_ptr<const SetupApi> api_;
  HDEVINFO set_;
};

class DisplayDeviceSetWin32 final : public DisplayDeviceSet {
 public:
  DisplayDeviceSetWin32(std::shared_ptr<const SetupApi> api, HDEVINFO set) : set_(std::move(api), set) {}

  bool HasDevice(uint32_t index) override {
    SP_DEVINFO_DATA data{};
    return Enumerate(index, data);
  }

  std::optional<std::string> InstanceId(uint32_t index, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!Enumerate(index, data)) return Failed<std::optional<std::string>>(error);
    wchar_t buffer[kInstanceIdChars] = {};
    if (!set_.api().getDeviceInstanceId(set_.get(), &data, buffer, kInstanceIdChars, nullptr))
      return Failed<std::optional<std::string>>(error);
    return Narrow(buffer);
  }

  bool Restart(uint32_t index, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!set_.api().restartDevices) ::SetLastError(ERROR_PROC_NOT_FOUND);
    if (!set_.api().restartDevices || !Enumerate(index, data) || !set_.api().restartDevices(set_.get(), &data))
      return Failed<bool>(error);
    return true;
  }

  std::optional<std::string> FriendlyName(uint32_t index, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!Enumerate(index, data)) return Failed<std::optional<std::string>>(error);
    BYTE buffer[kFriendlyNameBytes + sizeof(wchar_t)] = {};
    DWORD type = 0;
    if (!set_.api().getDeviceRegistryProperty(set_.get(), &data, SPDRP_FRIENDLYNAME, &type, buffer, kFriendlyNameBytes,
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
    if (!set_.api().setDeviceRegistryProperty(set_.get(), &data, SPDRP_FRIENDLYNAME,
                                             reinterpret_cast<const BYTE*>(text.c_str()), bytes))
      return Failed<bool>(error);
    return true;
  }

  bool RemoveFriendlyName(uint32_t index, uint32_t& error) override {
    SP_DEVINFO_DATA data{};
    if (!Enumerate(index, data) || !set_.api().setDeviceRegistryProperty(set_.get(), &data, SPDRP_FRIENDLYNAME, nullptr, 0))
      return Failed<bool>(error);
    return true;
  }

 private:
  bool Enumerate(uint32_t index, SP_DEVINFO_DATA& data) {
    data.cbSize = sizeof data;
    return set_.api().enumDeviceInfo(set_.get(), index, &data) != FALSE;
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
  if (!api_) api_ = SetupApi::Bind();
  const HDEVINFO set = api_ ? api_->getClassDevs(&kDisplayClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_PROFILE)
                            : INVALID_HANDLE_VALUE;
  if (set == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    return nullptr;
  }
  return std::make_unique<DisplayDeviceSetWin32>(api_, set);
}

}  // namespace tw::win32
