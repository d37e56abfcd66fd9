// State that survives unloading and other processes, fault switches, variants, and a
// scenario the simulator cannot use.

#include <gtest/gtest.h>

#include "sim/sim_library.h"

namespace tw::test {
namespace {

constexpr int kPolaris = 1;

int PowerTarget(const SimLibrary& library) {
  SimContext context(library);
  adl::ADLODNPowerLimitSetting power{};
  if (library.Get<adl::OverdriveN_PowerLimit_Get>("ADL2_OverdriveN_PowerLimit_Get")(context.get(), kPolaris, &power) != 0)
    return -1000;
  return power.iTDPLimit;
}

int SetPowerTarget(const SimLibrary& library, int target) {
  SimContext context(library);
  adl::ADLODNPowerLimitSetting power{adl::kOdnModeManual, target, 90};
  return library.Get<adl::OverdriveN_PowerLimit_Set>("ADL2_OverdriveN_PowerLimit_Set")(context.get(), kPolaris, &power);
}

TEST(SimStateTest, ValuesSurviveUnloadingAndReloading) {
  SimFolder folder;
  {
    SimLibrary library(folder);
    ASSERT_EQ(SetPowerTarget(library, 25), 0);
  }
  SimLibrary again(folder);
  EXPECT_EQ(PowerTarget(again), 25);
}

TEST(SimStateTest, AnotherProcessSeesTheStateAndItsChangesAreSeen) {
  SimFolder folder;
  SimLibrary library(folder);
  ASSERT_EQ(SetPowerTarget(library, 30), 0);
  std::string shown;
  ASSERT_EQ(RunTool(folder, {"show"}, &shown), 0) << shown;
  EXPECT_NE(shown.find("power = 30 90"), std::string::npos) << shown;
  ASSERT_EQ(RunTool(folder, {"set", "card.1.power", "-20 80"}), 0);
  EXPECT_EQ(PowerTarget(library), -20) << "a new context reads the state again";
  ASSERT_EQ(RunTool(folder, {"reset"}), 0);
  EXPECT_EQ(PowerTarget(library), 0);
}

TEST(SimStateTest, AStateFileOfAnotherScenarioIsNotUsed) {
  SimFolder folder;
  {
    SimLibrary library(folder);
    ASSERT_EQ(SetPowerTarget(library, 25), 0);
  }
  folder.Write("adlsim.ini", "[card a]\npreset = polaris\n[card b]\npreset = polaris\nbus = 2\n");
  SimLibrary again(folder);
  EXPECT_EQ(PowerTarget(again), 0);
}

TEST(SimFaultTest, AForcedResultAppliesAlwaysOrFromTheNthCallAcrossLoads) {
  SimFolder folder;
  folder.Write("adlsim.ini", std::string(R"([card a]
preset = polaris
adapters = 2
[faults]
ADL2_OverdriveN_PowerLimit_Get = -8
ADL2_OverdriveN_PowerLimit_Set = -5 from 3
)"));
  {
    SimLibrary library(folder);
    EXPECT_EQ(PowerTarget(library), -1000);
    EXPECT_EQ(SetPowerTarget(library, 1), 0);
  }
  SimLibrary library(folder);
  EXPECT_EQ(SetPowerTarget(library, 2), 0);
  EXPECT_EQ(SetPowerTarget(library, 3), -5) << "the third call, counted over two loads";
  EXPECT_EQ(SetPowerTarget(library, 4), -5);
  std::string last;
  for (const std::string& line : folder.JournalLines())
    if (line.rfind("ADL2_OverdriveN_PowerLimit_Set ", 0) == 0) last = line;
  EXPECT_NE(last.find(" call=4 fault=result "), std::string::npos) << last;
}

TEST(SimFaultTest, NullListIgnoreAndDelaySwitches) {
  SimFolder folder;
  folder.Write("adlsim.ini", std::string(R"([card a]
preset = navi
[card b]
preset = polaris
bus = 2
[faults]
ADL2_Overdrive8_Current_SettingX2_Get = null_list
ADL2_OverdriveN_PowerLimit_Set = ignore
delay_ms.ADL2_Adapter_NumberOfAdapters_Get = 30
delay_us.ADL2_OverdriveN_PowerLimit_Get = 1500
)"));
  SimLibrary library(folder);
  SimContext context(library);
  int count = 29;
  int* list = reinterpret_cast<int*>(&count);
  EXPECT_EQ(library.Get<adl::Overdrive8_Current_SettingX2_Get>("ADL2_Overdrive8_Current_SettingX2_Get")(context.get(), 0, &count, &list), 0);
  EXPECT_EQ(list, nullptr);
  adl::ADLODNPowerLimitSetting power{adl::kOdnModeManual, 20, 90};
  EXPECT_EQ(library.Get<adl::OverdriveN_PowerLimit_Set>("ADL2_OverdriveN_PowerLimit_Set")(context.get(), 1, &power), 0);
  adl::ADLODNPowerLimitSetting now{};
  ASSERT_EQ(library.Get<adl::OverdriveN_PowerLimit_Get>("ADL2_OverdriveN_PowerLimit_Get")(context.get(), 1, &now), 0);
  EXPECT_EQ(now.iTDPLimit, 0) << "the set answered success and changed nothing";
  int adapters = 0;
  ASSERT_EQ(library.Get<adl::Adapter_NumberOfAdapters_Get>("ADL2_Adapter_NumberOfAdapters_Get")(context.get(), &adapters), 0);
  const std::string last = folder.JournalLines().back();
  const size_t us = last.find(" us=");
  ASSERT_NE(us, std::string::npos);
  EXPECT_GE(std::stoi(last.substr(us + 4)), 30000) << "the delay is time spent inside the simulator: " << last;
  for (const std::string& line : folder.JournalLines()) {
    if (line.rfind("ADL2_OverdriveN_PowerLimit_Get ", 0) != 0) continue;
    const size_t at = line.find(" us=");
    ASSERT_NE(at, std::string::npos);
    EXPECT_GE(std::stoi(line.substr(at + 4)), 1500) << "a delay below a millisecond is slept too: " << line;
  }
}

TEST(SimScenarioTest, ABadScenarioIsNamedAndEveryCallFailsWithoutCrashing) {
  SimFolder folder;
  folder.Write("adlsim.ini", "[card a]\npreset = polaris\ngpu_clock_range = 2000..300\n");
  SimLibrary library(folder);
  adl::Context context = nullptr;
  EXPECT_EQ(library.Get<adl::Main_Control_Create>("ADL2_Main_Control_Create")(&AllocationCounter::Allocate, 1, &context), -1);
  int count = 0;
  EXPECT_EQ(library.Get<adl::Adapter_NumberOfAdapters_Get>("ADL2_Adapter_NumberOfAdapters_Get")(context, &count), -1);
  const std::string journal = folder.Read("adlsim.journal");
  EXPECT_NE(journal.find("adlsim.ini: [card a] key 'gpu_clock_range' (line 3): minimum above maximum"), std::string::npos)
      << journal;
  auto drivers = library.Get<unsigned (*)(int*)>("adlsim_KernelDrivers_Count");
  EXPECT_NE(drivers(&count), 0u);
}

struct VariantRow {
  const char* variant;
  std::vector<const char*> missing;
};

class SimVariantTest : public ::testing::TestWithParam<VariantRow> {};

const char* const kAllEntryPoints[] = {
    "ADL2_Main_Control_Create", "ADL2_Main_Control_Destroy", "ADL2_Adapter_NumberOfAdapters_Get",
    "ADL2_Adapter_AdapterInfo_Get", "ADL2_OverdriveN_CapabilitiesX2_Get", "ADL2_Overdrive_Caps",
    "ADL2_OverdriveN_SystemClocksX2_Get", "ADL2_OverdriveN_SystemClocksX2_Set", "ADL2_OverdriveN_MemoryClocksX2_Get",
    "ADL2_OverdriveN_MemoryClocksX2_Set", "ADL2_OverdriveN_FanControl_Get", "ADL2_OverdriveN_FanControl_Set",
    "ADL2_OverdriveN_PowerLimit_Get", "ADL2_OverdriveN_PowerLimit_Set", "ADL2_Display_WriteAndReadI2C",
    "ADL2_Adapter_Active_Get", "ADL2_OverdriveN_SettingsExt_Get", "ADL2_OverdriveN_SettingsExt_Set",
    "ADL2_Overdrive8_Setting_Set", "ADL2_Overdrive8_Init_SettingX2_Get", "ADL2_Overdrive8_Current_SettingX2_Get",
    "ADL2_Overdrive5_FanSpeed_Set", "ADL2_Overdrive5_FanSpeedToDefault_Set", "ADL2_Overdrive6_FanSpeed_Set",
    "ADL2_Overdrive6_FanSpeed_Reset", "ADL2_PPW_Status_Get", "ADL2_PPW_Status_Set", "ADL2_Chill_Settings_Get",
    "ADL2_Chill_Settings_Set", "adlsim_KernelDrivers_Count", "adlsim_DisplayDevices_Count", "adlsim_IsUserAdmin"};

TEST_P(SimVariantTest, EachVariantLacksExactlyItsEntryPointsUnderAllThreeNames) {
  for (const char* name : {"atiadlxx.dll", "atiadlxy.dll", "amdadlxx.dll"}) {
    SimFolder folder;
    SimLibrary library(folder, GetParam().variant, name);
    ASSERT_TRUE(library.loaded()) << name;
    for (const char* entry : kAllEntryPoints) {
      bool shouldMiss = false;
      for (const char* missing : GetParam().missing) shouldMiss |= std::string(missing) == entry;
      EXPECT_EQ(library.Resolve(entry) == nullptr, shouldMiss) << GetParam().variant << " " << name << " " << entry;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Variants, SimVariantTest,
    ::testing::Values(VariantRow{"full", {}},
                      VariantRow{"old-driver", {"ADL2_OverdriveN_SettingsExt_Get", "ADL2_OverdriveN_SettingsExt_Set"}},
                      VariantRow{"no-destroy", {"ADL2_Main_Control_Destroy"}},
                      VariantRow{"no-active", {"ADL2_Adapter_Active_Get"}},
                      VariantRow{"no-chill", {"ADL2_Chill_Settings_Get", "ADL2_Chill_Settings_Set"}},
                      VariantRow{"no-fantest",
                                 {"ADL2_Overdrive5_FanSpeed_Set", "ADL2_Overdrive5_FanSpeedToDefault_Set",
                                  "ADL2_Overdrive6_FanSpeed_Set", "ADL2_Overdrive6_FanSpeed_Reset"}}));

}  // namespace
}  // namespace tw::test
