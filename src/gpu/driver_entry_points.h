#pragma once
// The 21 entry points every driver connection resolves, in the order they are looked up.
// All are required, also ADL2_Adapter_Active_Get, which is never called: its absence marks
// a library the program does not trust.

#include <array>
#include <string_view>

#include "gpu/adl_abi.h"

namespace tw {

struct EntryPointName {
  std::string_view name;
  std::string_view note;  // appended to the name in the missing-functions message
};

inline constexpr size_t kEntryPointCount = 21;
extern const std::array<EntryPointName, kEntryPointCount> kEntryPointNames;

struct DriverEntryPoints {
  adl::Main_Control_Create Main_Control_Create = nullptr;
  adl::Main_Control_Destroy Main_Control_Destroy = nullptr;
  adl::Adapter_NumberOfAdapters_Get Adapter_NumberOfAdapters_Get = nullptr;
  adl::Adapter_AdapterInfo_Get Adapter_AdapterInfo_Get = nullptr;
  adl::OverdriveN_CapabilitiesX2_Get OverdriveN_CapabilitiesX2_Get = nullptr;
  adl::Overdrive_Caps Overdrive_Caps = nullptr;
  adl::OverdriveN_ClocksX2_Get OverdriveN_SystemClocksX2_Get = nullptr;
  adl::OverdriveN_ClocksX2_Set OverdriveN_SystemClocksX2_Set = nullptr;
  adl::OverdriveN_ClocksX2_Get OverdriveN_MemoryClocksX2_Get = nullptr;
  adl::OverdriveN_ClocksX2_Set OverdriveN_MemoryClocksX2_Set = nullptr;
  adl::OverdriveN_FanControl_Get OverdriveN_FanControl_Get = nullptr;
  adl::OverdriveN_FanControl_Set OverdriveN_FanControl_Set = nullptr;
  adl::OverdriveN_PowerLimit_Get OverdriveN_PowerLimit_Get = nullptr;
  adl::OverdriveN_PowerLimit_Set OverdriveN_PowerLimit_Set = nullptr;
  adl::Display_WriteAndReadI2C Display_WriteAndReadI2C = nullptr;
  adl::Adapter_Active_Get Adapter_Active_Get = nullptr;
  adl::OverdriveN_SettingsExt_Get OverdriveN_SettingsExt_Get = nullptr;
  adl::OverdriveN_SettingsExt_Set OverdriveN_SettingsExt_Set = nullptr;
  adl::Overdrive8_Setting_Set Overdrive8_Setting_Set = nullptr;
  adl::Overdrive8_Init_SettingX2_Get Overdrive8_Init_SettingX2_Get = nullptr;
  adl::Overdrive8_Current_SettingX2_Get Overdrive8_Current_SettingX2_Get = nullptr;
};

// Typed entry points from addresses resolved in the order of kEntryPointNames.
DriverEntryPoints TypedEntryPoints(const std::array<void*, kEntryPointCount>& addresses);

}  // namespace tw
