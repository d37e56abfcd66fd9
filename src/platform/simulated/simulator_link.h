#pragma once
// The simulator library as the simulated machine reaches it: loaded once per process, on
// first use, by the names the program loads the driver library by ("atiadlxx.dll",
// "atiadlxy.dll", "amdadlxx.dll"), through the program's own library loader, so that it is
// the very library the program's driver connections use. Without one, every machine
// service answers as a machine without an AMD driver would.

#include <memory>

#include "platform/simulated/adlsim_machine.h"
#include "platform/library_loader.h"

namespace tw::simulated {

struct SimulatorServices {
  adlsim_KernelDrivers_Count_t kernelDriversCount = nullptr;
  adlsim_KernelDriver_Name_t kernelDriverName = nullptr;
  adlsim_IsUserAdmin_t isUserAdmin = nullptr;
  adlsim_DisplayDevices_Count_t displayDevicesCount = nullptr;
  adlsim_DisplayDevice_InstanceId_t instanceId = nullptr;
  adlsim_DisplayDevice_Restart_t restart = nullptr;
  adlsim_DisplayDevice_FriendlyName_t friendlyName = nullptr;
  adlsim_DisplayDevice_SetFriendlyName_t setFriendlyName = nullptr;
  adlsim_DisplayDevice_RemoveFriendlyName_t removeFriendlyName = nullptr;
};

class SimulatorLink {
 public:
  explicit SimulatorLink(LibraryLoader& loader) : loader_(loader) {}
  // nullptr when no simulator library loads or it lacks a machine service.
  const SimulatorServices* Services();

 private:
  LibraryLoader& loader_;
  bool tried_ = false;
  std::unique_ptr<LoadedLibrary> library_;
  SimulatorServices services_;
  bool complete_ = false;
};

}  // namespace tw::simulated
