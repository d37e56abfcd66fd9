#include "platform/simulated/simulator_link.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace tw::simulated {
namespace {

constexpr std::array<std::string_view, 3> kLibraryNames = {"atiadlxx.dll", "atiadlxy.dll", "amdadlxx.dll"};

template <typename Function>
bool Take(LoadedLibrary& library, std::string_view name, Function& target) {
  target = reinterpret_cast<Function>(library.Resolve(name));
  return target != nullptr;
}

}  // namespace

const SimulatorServices* SimulatorLink::Services() {
  if (!tried_) {
    tried_ = true;
    for (std::string_view name : kLibraryNames)
      if ((library_ = loader_.Load(name))) break;
    if (library_) {
      LoadedLibrary& l = *library_;
      SimulatorServices& s = services_;
      // Every export is looked up, so that a partial simulator is recognised as such.
      const bool found[] = {
          Take(l, "adlsim_KernelDrivers_Count", s.kernelDriversCount),
          Take(l, "adlsim_KernelDriver_Name", s.kernelDriverName),
          Take(l, "adlsim_IsUserAdmin", s.isUserAdmin),
          Take(l, "adlsim_DisplayDevices_Count", s.displayDevicesCount),
          Take(l, "adlsim_DisplayDevice_InstanceId", s.instanceId),
          Take(l, "adlsim_DisplayDevice_Restart", s.restart),
          Take(l, "adlsim_DisplayDevice_FriendlyName", s.friendlyName),
          Take(l, "adlsim_DisplayDevice_SetFriendlyName", s.setFriendlyName),
          Take(l, "adlsim_DisplayDevice_RemoveFriendlyName", s.removeFriendlyName),
      };
      complete_ = std::all_of(std::begin(found), std::end(found), [](bool taken) { return taken; });
    }
  }
  return complete_ ? &services_ : nullptr;
}

}  // namespace tw::simulated
