// The exported C names: cdecl, undecorated, exactly as the display driver's library names
// them. A library variant leaves chosen exports out (ADLSIM_NO_* definitions), as an older
// or smaller driver would.

#include "platform/simulated/adlsim_machine.h"
#include "api.h"
#include "api_machine.h"

#if defined(_WIN32)
#define ADLSIM_EXPORT extern "C" __declspec(dllexport)
#else
#define ADLSIM_EXPORT extern "C" __attribute__((visibility("default")))
#endif
#define ADL_ENTRY(name) ADLSIM_EXPORT int TW_ADL_CDECL name

using namespace tw::adl;
namespace api = adlsim::api;
namespace machine = adlsim::machine;

ADL_ENTRY(ADL2_Main_Control_Create)(MallocCallback callback, int enumConnected, Context* context) {
  return api::MainControlCreate(callback, enumConnected, context);
}
#ifndef ADLSIM_NO_DESTROY
ADL_ENTRY(ADL2_Main_Control_Destroy)(Context context) { return api::MainControlDestroy(context); }
#endif
ADL_ENTRY(ADL2_Adapter_NumberOfAdapters_Get)(Context c, int* count) { return api::NumberOfAdaptersGet(c, count); }
ADL_ENTRY(ADL2_Adapter_AdapterInfo_Get)(Context c, AdapterInfo* info, int bytes) { return api::AdapterInfoGet(c, info, bytes); }
#ifndef ADLSIM_NO_ACTIVE
ADL_ENTRY(ADL2_Adapter_Active_Get)(Context c, int a, int* status) { return api::AdapterActiveGet(c, a, status); }
#endif
ADL_ENTRY(ADL2_Overdrive_Caps)(Context c, int a, int* supported, int* enabled, int* version) {
  return api::OverdriveCaps(c, a, supported, enabled, version);
}

ADL_ENTRY(ADL2_OverdriveN_CapabilitiesX2_Get)(Context c, int a, ADLODNCapabilitiesX2* caps) {
  return api::OdnCapabilitiesGet(c, a, caps);
}
ADL_ENTRY(ADL2_OverdriveN_SystemClocksX2_Get)(Context c, int a, ADLODNPerformanceLevelsX2* l) { return api::OdnSystemClocksGet(c, a, l); }
ADL_ENTRY(ADL2_OverdriveN_SystemClocksX2_Set)(Context c, int a, ADLODNPerformanceLevelsX2* l) { return api::OdnSystemClocksSet(c, a, l); }
ADL_ENTRY(ADL2_OverdriveN_MemoryClocksX2_Get)(Context c, int a, ADLODNPerformanceLevelsX2* l) { return api::OdnMemoryClocksGet(c, a, l); }
ADL_ENTRY(ADL2_OverdriveN_MemoryClocksX2_Set)(Context c, int a, ADLODNPerformanceLevelsX2* l) { return api::OdnMemoryClocksSet(c, a, l); }
ADL_ENTRY(ADL2_OverdriveN_FanControl_Get)(Context c, int a, ADLODNFanControl* f) { return api::OdnFanControlGet(c, a, f); }
ADL_ENTRY(ADL2_OverdriveN_FanControl_Set)(Context c, int a, ADLODNFanControl* f) { return api::OdnFanControlSet(c, a, f); }
ADL_ENTRY(ADL2_OverdriveN_PowerLimit_Get)(Context c, int a, ADLODNPowerLimitSetting* p) { return api::OdnPowerLimitGet(c, a, p); }
ADL_ENTRY(ADL2_OverdriveN_PowerLimit_Set)(Context c, int a, ADLODNPowerLimitSetting* p) { return api::OdnPowerLimitSet(c, a, p); }
#ifndef ADLSIM_NO_SETTINGS_EXT
ADL_ENTRY(ADL2_OverdriveN_SettingsExt_Get)(Context c, int a, int* caps, int* count, ADLODNExtSingleInitSetting** ranges,
                                           int** values) {
  return api::OdnSettingsExtGet(c, a, caps, count, ranges, values);
}
ADL_ENTRY(ADL2_OverdriveN_SettingsExt_Set)(Context c, int a, int count, int* valid, int* values) {
  return api::OdnSettingsExtSet(c, a, count, valid, values);
}
#endif

ADL_ENTRY(ADL2_Overdrive8_Init_SettingX2_Get)(Context c, int a, int* caps, int* count, ADLOD8SingleInitSetting** list) {
  return api::Od8InitSettingGet(c, a, caps, count, list);
}
ADL_ENTRY(ADL2_Overdrive8_Current_SettingX2_Get)(Context c, int a, int* count, int** list) {
  return api::Od8CurrentSettingGet(c, a, count, list);
}
ADL_ENTRY(ADL2_Overdrive8_Setting_Set)(Context c, int a, ADLOD8SetSetting* set, ADLOD8CurrentSetting* current) {
  return api::Od8SettingSet(c, a, set, current);
}

ADL_ENTRY(ADL2_Display_WriteAndReadI2C)(Context c, int a, ADLI2C* transfer) { return api::WriteAndReadI2C(c, a, transfer); }

#ifndef ADLSIM_NO_FANTEST
ADL_ENTRY(ADL2_Overdrive5_FanSpeed_Set)(Context c, int a, int thermal, ADLFanSpeedValue* speed) {
  return api::Od5FanSpeedSet(c, a, thermal, speed);
}
ADL_ENTRY(ADL2_Overdrive5_FanSpeedToDefault_Set)(Context c, int a, int thermal) { return api::Od5FanSpeedToDefaultSet(c, a, thermal); }
ADL_ENTRY(ADL2_Overdrive6_FanSpeed_Set)(Context c, int a, ADLOD6FanSpeedValue* speed) { return api::Od6FanSpeedSet(c, a, speed); }
ADL_ENTRY(ADL2_Overdrive6_FanSpeed_Reset)(Context c, int a) { return api::Od6FanSpeedReset(c, a); }
#endif

ADL_ENTRY(ADL2_PPW_Status_Get)(Context c, int a, int* state) { return api::PpwStatusGet(c, a, state); }
ADL_ENTRY(ADL2_PPW_Status_Set)(Context c, int a, int state) { return api::PpwStatusSet(c, a, state); }
#ifndef ADLSIM_NO_CHILL
ADL_ENTRY(ADL2_Chill_Settings_Get)(Context c, int a, int* state) { return api::ChillSettingsGet(c, a, state); }
ADL_ENTRY(ADL2_Chill_Settings_Set)(Context c, int a, int state) { return api::ChillSettingsSet(c, a, state); }
#endif

// ---- The simulated machine -------------------------------------------------------------

ADLSIM_EXPORT unsigned adlsim_KernelDrivers_Count(int* count) { return machine::KernelDriversCount(count); }
ADLSIM_EXPORT unsigned adlsim_KernelDriver_Name(int index, char* buffer, int capacity, int* length) {
  return machine::KernelDriverName(index, buffer, capacity, length);
}
ADLSIM_EXPORT int adlsim_IsUserAdmin() { return machine::IsUserAdmin(); }
ADLSIM_EXPORT unsigned adlsim_DisplayDevices_Count(int* count) { return machine::DisplayDevicesCount(count); }
ADLSIM_EXPORT unsigned adlsim_DisplayDevice_InstanceId(int index, char* buffer, int capacity, int* length) {
  return machine::DisplayDeviceInstanceId(index, buffer, capacity, length);
}
ADLSIM_EXPORT unsigned adlsim_DisplayDevice_Restart(int index) { return machine::DisplayDeviceRestart(index); }
ADLSIM_EXPORT unsigned adlsim_DisplayDevice_FriendlyName(int index, char* buffer, int capacity, int* length) {
  return machine::DisplayDeviceFriendlyName(index, buffer, capacity, length);
}
ADLSIM_EXPORT unsigned adlsim_DisplayDevice_SetFriendlyName(int index, const char* name) {
  return machine::DisplayDeviceSetFriendlyName(index, name);
}
ADLSIM_EXPORT unsigned adlsim_DisplayDevice_RemoveFriendlyName(int index) {
  return machine::DisplayDeviceRemoveFriendlyName(index);
}

ADLSIM_EXPORT unsigned adlsim_Tool_Reset() { return machine::ToolReset(); }
ADLSIM_EXPORT unsigned adlsim_Tool_Describe(char* buffer, int capacity, int* length) {
  return machine::ToolDescribe(buffer, capacity, length);
}
ADLSIM_EXPORT unsigned adlsim_Tool_SetValue(const char* key, const char* value) { return machine::ToolSetValue(key, value); }
ADLSIM_EXPORT unsigned adlsim_Tool_Paths(char* buffer, int capacity, int* length) {
  return machine::ToolPaths(buffer, capacity, length);
}
