#include "gpu/driver_entry_points.h"

namespace tw {
namespace {

constexpr std::string_view kDriver1772 = " (17.7.2 driver or newer)";
constexpr std::string_view kDriver18122 = " (18.12.2 driver or newer)";

template <class Fn>
void Assign(Fn& field, void* address) {
  field = reinterpret_cast<Fn>(address);
}

}  // namespace

const std::array<EntryPointName, kEntryPointCount> kEntryPointNames = {{
    {"ADL2_Main_Control_Create", ""},
    {"ADL2_Main_Control_Destroy", ""},
    {"ADL2_Adapter_NumberOfAdapters_Get", ""},
    {"ADL2_Adapter_AdapterInfo_Get", ""},
    {"ADL2_OverdriveN_CapabilitiesX2_Get", ""},
    {"ADL2_Overdrive_Caps", ""},
    {"ADL2_OverdriveN_SystemClocksX2_Get", kDriver1772},
    {"ADL2_OverdriveN_SystemClocksX2_Set", kDriver1772},
    {"ADL2_OverdriveN_MemoryClocksX2_Get", kDriver1772},
    {"ADL2_OverdriveN_MemoryClocksX2_Set", kDriver1772},
    {"ADL2_OverdriveN_FanControl_Get", ""},
    {"ADL2_OverdriveN_FanControl_Set", ""},
    {"ADL2_OverdriveN_PowerLimit_Get", ""},
    {"ADL2_OverdriveN_PowerLimit_Set", ""},
    {"ADL2_Display_WriteAndReadI2C", ""},
    {"ADL2_Adapter_Active_Get", ""},
    {"ADL2_OverdriveN_SettingsExt_Get", kDriver18122},
    {"ADL2_OverdriveN_SettingsExt_Set", kDriver18122},
    {"ADL2_Overdrive8_Setting_Set", ""},
    {"ADL2_Overdrive8_Init_SettingX2_Get", ""},
    {"ADL2_Overdrive8_Current_SettingX2_Get", ""},
}};

DriverEntryPoints TypedEntryPoints(const std::array<void*, kEntryPointCount>& a) {
  DriverEntryPoints e;
  Assign(e.Main_Control_Create, a[0]);
  Assign(e.Main_Control_Destroy, a[1]);
  Assign(e.Adapter_NumberOfAdapters_Get, a[2]);
  Assign(e.Adapter_AdapterInfo_Get, a[3]);
  Assign(e.OverdriveN_CapabilitiesX2_Get, a[4]);
  Assign(e.Overdrive_Caps, a[5]);
  Assign(e.OverdriveN_SystemClocksX2_Get, a[6]);
  Assign(e.OverdriveN_SystemClocksX2_Set, a[7]);
  Assign(e.OverdriveN_MemoryClocksX2_Get, a[8]);
  Assign(e.OverdriveN_MemoryClocksX2_Set, a[9]);
  Assign(e.OverdriveN_FanControl_Get, a[10]);
  Assign(e.OverdriveN_FanControl_Set, a[11]);
  Assign(e.OverdriveN_PowerLimit_Get, a[12]);
  Assign(e.OverdriveN_PowerLimit_Set, a[13]);
  Assign(e.Display_WriteAndReadI2C, a[14]);
  Assign(e.Adapter_Active_Get, a[15]);
  Assign(e.OverdriveN_SettingsExt_Get, a[16]);
  Assign(e.OverdriveN_SettingsExt_Set, a[17]);
  Assign(e.Overdrive8_Setting_Set, a[18]);
  Assign(e.Overdrive8_Init_SettingX2_Get, a[19]);
  Assign(e.Overdrive8_Current_SettingX2_Get, a[20]);
  return e;
}

}  // namespace tw
