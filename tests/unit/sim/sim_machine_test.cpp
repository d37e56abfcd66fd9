// The simulated machine: the platform/simulated adapters over the simulator's machine services.

#include <gtest/gtest.h>

#include "platform/simulated/simulated_display_devices.h"
#include "platform/simulated/simulated_machine.h"
#include "sim/sim_library.h"

#if defined(_WIN32)
#include "platform/win32/library_loader_win32.h"
#include "platform/win32/machine_win32.h"
using RealMachine = tw::win32::MachineWin32;
#else
#include "platform/posix/library_loader_posix.h"
#include "platform/posix/machine_posix.h"
using RealMachine = tw::posix::MachinePosix;
#endif

namespace tw::test {
namespace {

// Loads by plain name from the folder, as the program's loader does from its own folder.
class FolderLoader final : public LibraryLoader {
 public:
  explicit FolderLoader(const std::filesystem::path& folder) : folder_(folder) {}
  std::unique_ptr<LoadedLibrary> Load(std::string_view name) override {
    loads.emplace_back(name);
#if defined(_WIN32)
    return inner_.Load((folder_ / std::string(name)).string());
#else
    posix::LibraryLoaderPosix inner(folder_);
    return inner.Load(name);
#endif
  }
  std::vector<std::string> loads;

 private:
  std::filesystem::path folder_;
#if defined(_WIN32)
  win32::LibraryLoaderWin32 inner_{win32::LibrarySearch::ProgramFolderFirst};
#endif
};

struct Rig {
  explicit Rig(const std::string& scenario = "", const std::string& libraryName = "atiadlxx.dll") {
    if (!scenario.empty()) folder.Write("adlsim.ini", scenario);
    if (!libraryName.empty())
      std::filesystem::copy_file(VariantLibrary("full"), folder.path() / libraryName);
  }
  std::vector<std::string> Drivers() {
    std::vector<uintptr_t> addresses;
    uint32_t needed = 0;
    std::vector<std::string> names;
    if (!machine.EnumerateDeviceDrivers(1024, addresses, needed)) return {"failed"};
    for (size_t i = 0; i < needed / sizeof(void*); ++i) names.push_back(machine.DeviceDriverBaseName(addresses[i]));
    return names;
  }
  SimFolder folder;
  FolderLoader loader{folder.path()};
  RealMachine real;
  simulated::SimulatorLink link{loader};
  uint32_t lastError = 0;
  simulated::SimulatedMachine machine{real, link, [this](uint32_t code) { lastError = code; }};
  simulated::SimulatedDisplayDevices devices{link};
};

TEST(SimulatedMachineTest, WithoutASimulatorThereIsNoDriverAndNoAdministrator) {
  Rig rig("", "");
  EXPECT_TRUE(rig.Drivers().empty());
  EXPECT_FALSE(rig.machine.IsUserAdmin());
  uint32_t error = 0;
  EXPECT_EQ(rig.devices.OpenPresent(error), nullptr);
  EXPECT_NE(error, 0u);
  EXPECT_EQ(rig.loader.loads, (std::vector<std::string>{"atiadlxx.dll", "atiadlxy.dll", "amdadlxx.dll"}))
      << "tried once, by the three names";
}

TEST(SimulatedMachineTest, TheSimulatorIsFoundUnderItsThirdNameAndLoadedOnce) {
  Rig rig("", "amdadlxx.dll");
  EXPECT_EQ(rig.Drivers(), (std::vector<std::string>{"ntoskrnl.exe", "hal.dll", "atikmdag.sys", "dxgkrnl.sys", "nvlddmkm.sys"}));
  EXPECT_TRUE(rig.machine.IsUserAdmin());
  EXPECT_EQ(rig.loader.loads.size(), 3u);
}

TEST(SimulatedMachineTest, ScenarioDriversAdminFlagAndEnumerationFailure) {
  Rig rig("[machine]\nadmin = 0\nkernel_drivers = ntoskrnl.exe, AtiKmdag.sys\n[faults]\nadlsim_KernelDrivers_Count = 31 from 2\n");
  EXPECT_EQ(rig.Drivers(), (std::vector<std::string>{"ntoskrnl.exe", "AtiKmdag.sys"}));
  EXPECT_FALSE(rig.machine.IsUserAdmin());
  EXPECT_EQ(rig.Drivers(), (std::vector<std::string>{"failed"}));
  EXPECT_EQ(rig.lastError, 31u);
}

TEST(SimulatedMachineTest, DisplayDevicesMatchTheCardsAndKeepFriendlyNames) {
  Rig rig("[machine]\nextra_display_devices = ROOT\\BASICDISPLAY\\0000\n[card a]\npreset = polaris\n"
          "friendly_name = Left card\n[card b]\npreset = navi\nbus = 2\n");
  uint32_t error = 0;
  std::unique_ptr<DisplayDeviceSet> set = rig.devices.OpenPresent(error);
  ASSERT_NE(set, nullptr);
  std::vector<std::string> ids;
  for (uint32_t i = 0; set->HasDevice(i); ++i) ids.push_back(set->InstanceId(i, error).value_or("?"));
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_EQ(ids[0].rfind("PCI\\VEN_1002&DEV_67DF", 0), 0u);
  EXPECT_EQ(ids[2], "ROOT\\BASICDISPLAY\\0000");
  EXPECT_EQ(set->FriendlyName(0, error), std::optional<std::string>("Left card"));
  EXPECT_EQ(set->FriendlyName(1, error), std::nullopt);
  EXPECT_EQ(error, 13u);
  ASSERT_TRUE(set->SetFriendlyName(1, "Navi \"2\"", error));
  ASSERT_TRUE(set->RemoveFriendlyName(0, error));
  std::unique_ptr<DisplayDeviceSet> again = rig.devices.OpenPresent(error);
  EXPECT_EQ(again->FriendlyName(1, error), std::optional<std::string>("Navi \"2\""));
  EXPECT_EQ(again->FriendlyName(0, error), std::nullopt);
  EXPECT_FALSE(again->InstanceId(3, error));
  EXPECT_EQ(error, 259u);
}

TEST(SimulatedMachineTest, RestartIsJournalledAndGivesTheCardItsDefaultsBack) {
  Rig rig;
  {
    SimLibrary library(rig.folder, "full", "atiadlxy.dll");
    SimContext context(library);
    adl::ADLODNPowerLimitSetting power{adl::kOdnModeManual, 30, 90};
    ASSERT_EQ(library.Get<adl::OverdriveN_PowerLimit_Set>("ADL2_OverdriveN_PowerLimit_Set")(context.get(), 1, &power), 0);
  }
  uint32_t error = 0;
  std::unique_ptr<DisplayDeviceSet> set = rig.devices.OpenPresent(error);
  ASSERT_TRUE(set);
  ASSERT_TRUE(set->Restart(1, error)) << error;  // device 1: the Polaris card
  const std::vector<std::string> lines = rig.folder.JournalLines();
  EXPECT_EQ(lines.back().rfind("adlsim_DisplayDevice_Restart index=1 id=\"PCI\\\\VEN_1002&DEV_67DF", 0), 0u) << lines.back();
  EXPECT_NE(rig.folder.Read("adlsim.state").find("power = 0 90"), std::string::npos);
}

TEST(SimulatedMachineTest, EachDisplayDeviceStepCanFailWithItsCode) {
  struct Row {
    const char* fault;
    int step;
  } rows[] = {{"adlsim_DisplayDevices_Count", 0},
              {"adlsim_DisplayDevice_InstanceId", 1},
              {"adlsim_DisplayDevice_Restart", 2},
              {"adlsim_DisplayDevice_SetFriendlyName", 3},
              {"adlsim_DisplayDevice_RemoveFriendlyName", 4}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.fault);
    Rig rig(std::string("[card a]\npreset = polaris\n[faults]\n") + row.fault + " = 5\n");
    uint32_t error = 0;
    std::unique_ptr<DisplayDeviceSet> set = rig.devices.OpenPresent(error);
    bool ok = set != nullptr;
    if (ok && row.step == 1) ok = set->InstanceId(0, error).has_value();
    if (ok && row.step == 2) ok = set->Restart(0, error);
    if (ok && row.step == 3) ok = set->SetFriendlyName(0, "x", error);
    if (ok && row.step == 4) ok = set->RemoveFriendlyName(0, error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, 5u);
  }
}

}  // namespace
}  // namespace tw::test
