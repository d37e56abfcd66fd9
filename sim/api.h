#pragma once
// The driver entry points as the simulator implements them; exports.cpp gives them their
// C names. Grouped by area: api_adapters.cpp, api_odn.cpp, api_od8.cpp, api_i2c.cpp,
// api_features.cpp, and the machine services in api_machine.cpp.

#include "gpu/adl_abi.h"

namespace adlsim::api {

using namespace tw::adl;

// Adapters and contexts
int MainControlCreate(MallocCallback callback, int enumConnected, Context* context);
int MainControlDestroy(Context context);
int NumberOfAdaptersGet(Context context, int* count);
int AdapterInfoGet(Context context, AdapterInfo* info, int bufferBytes);
int AdapterActiveGet(Context context, int adapter, int* status);
int OverdriveCaps(Context context, int adapter, int* supported, int* enabled, int* version);

// OverdriveN
int OdnCapabilitiesGet(Context context, int adapter, ADLODNCapabilitiesX2* caps);
int OdnSystemClocksGet(Context context, int adapter, ADLODNPerformanceLevelsX2* levels);
int OdnSystemClocksSet(Context context, int adapter, ADLODNPerformanceLevelsX2* levels);
int OdnMemoryClocksGet(Context context, int adapter, ADLODNPerformanceLevelsX2* levels);
int OdnMemoryClocksSet(Context context, int adapter, ADLODNPerformanceLevelsX2* levels);
int OdnFanControlGet(Context context, int adapter, ADLODNFanControl* fan);
int OdnFanControlSet(Context context, int adapter, ADLODNFanControl* fan);
int OdnPowerLimitGet(Context context, int adapter, ADLODNPowerLimitSetting* power);
int OdnPowerLimitSet(Context context, int adapter, ADLODNPowerLimitSetting* power);
int OdnSettingsExtGet(Context context, int adapter, int* extCaps, int* count, ADLODNExtSingleInitSetting** ranges,
                      int** values);
int OdnSettingsExtSet(Context context, int adapter, int count, int* validFlags, int* values);

// Overdrive8
int Od8InitSettingGet(Context context, int adapter, int* caps, int* count, ADLOD8SingleInitSetting** list);
int Od8CurrentSettingGet(Context context, int adapter, int* count, int** list);
int Od8SettingSet(Context context, int adapter, ADLOD8SetSetting* set, ADLOD8CurrentSetting* current);

// I2C
int WriteAndReadI2C(Context context, int adapter, ADLI2C* transfer);

// Fan test and power features
int Od5FanSpeedSet(Context context, int adapter, int thermalController, ADLFanSpeedValue* speed);
int Od5FanSpeedToDefaultSet(Context context, int adapter, int thermalController);
int Od6FanSpeedSet(Context context, int adapter, ADLOD6FanSpeedValue* speed);
int Od6FanSpeedReset(Context context, int adapter);
int PpwStatusGet(Context context, int adapter, int* state);
int PpwStatusSet(Context context, int adapter, int state);
int ChillSettingsGet(Context context, int adapter, int* state);
int ChillSettingsSet(Context context, int adapter, int state);

// The allocation callback of a live context (the caller frees what it returns).
void* AllocateForCaller(Context context, int bytes);

}  // namespace adlsim::api
