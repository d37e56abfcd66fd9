#pragma once
// The binary interface of the AMD display library (ADL) as Tunewright uses it: records,
// constants and entry-point types. Layouts follow the driver's SDK exactly; the
// static_asserts pin every size and offset the program and the simulator rely on.

#include <cstddef>
#include <cstdint>

#include "gpu/adl_calling_convention.h"

namespace tw::adl {

// ---- Result codes -------------------------------------------------------------------------
inline constexpr int kOk = 0;
inline constexpr int kErr = -1;
inline constexpr int kErrNotInit = -2;
inline constexpr int kErrInvalidParam = -3;
inline constexpr int kErrInvalidParamSize = -4;
inline constexpr int kErrInvalidAdlIdx = -5;
inline constexpr int kErrInvalidControllerIdx = -6;
inline constexpr int kErrInvalidDisplayIdx = -7;
inline constexpr int kErrNotSupported = -8;
inline constexpr int kErrNullPointer = -9;
inline constexpr int kErrDisabledAdapter = -10;
inline constexpr int kErrInvalidCallback = -11;
inline constexpr int kErrResourceConflict = -12;
inline constexpr int kErrSetIncomplete = -20;

inline constexpr int kMaxPath = 256;
inline constexpr int kTrue = 1;
inline constexpr int kFalse = 0;

// ---- Counts the program passes ------------------------------------------------------------
inline constexpr int kOdnExtCount = 15;  // OverdriveN extended settings used by the program
inline constexpr int kOd8Count = 29;     // Overdrive8 settings (the SDK generation with 29)

// ---- OverdriveN modes (iMode of the ODN records) ------------------------------------------
inline constexpr int kOdnModeCurrent = 0;
inline constexpr int kOdnModeDefault = 1;
inline constexpr int kOdnModeAuto = 2;
inline constexpr int kOdnModeManual = 3;

// ---- Overdrive versions reported by ADL2_Overdrive_Caps -----------------------------------
inline constexpr int kOverdriveN = 7;
inline constexpr int kOverdrive8 = 8;

// ---- Overdrive8 setting ids the program uses ----------------------------------------------
enum Od8Id : int {
  kOd8GfxclkFmax = 0,
  kOd8GfxclkFmin = 1,
  kOd8GfxclkFreq1 = 2,
  kOd8GfxclkVoltage1 = 3,
  kOd8GfxclkFreq2 = 4,
  kOd8GfxclkVoltage2 = 5,
  kOd8GfxclkFreq3 = 6,
  kOd8GfxclkVoltage3 = 7,
  kOd8UclkFmax = 8,
  kOd8PowerPercentage = 9,
  kOd8FanMinSpeed = 10,
  kOd8FanAcousticLimit = 11,
  kOd8FanTargetTemp = 12,
  kOd8OperatingTempMax = 13,
  kOd8AcTiming = 14,
  kOd8FanZeroRpmControl = 15,
  kOd8AutoUvEngineControl = 16,
  kOd8AutoOcEngineControl = 17,
  kOd8AutoOcMemoryControl = 18,
  kOd8FanCurveTemperature1 = 19,
  kOd8FanCurveSpeed1 = 20,
  kOd8FanCurveTemperature5 = 27,
  kOd8FanCurveSpeed5 = 28,
};

// ---- OverdriveN capability bits (ADLODNCapabilitiesX2::iFlags) ----------------------------
inline constexpr int kOdnSclkDpm = 0x1;
inline constexpr int kOdnMclkDpm = 0x2;
inline constexpr int kOdnSclkVdd = 0x4;
inline constexpr int kOdnMclkVdd = 0x8;
inline constexpr int kOdnFanSpeedMin = 0x10;
inline constexpr int kOdnFanSpeedTarget = 0x20;
inline constexpr int kOdnAcousticLimitSclk = 0x40;
inline constexpr int kOdnTemperatureFanMax = 0x80;
inline constexpr int kOdnTemperatureSystem = 0x100;
inline constexpr int kOdnPowerLimit = 0x200;

// ---- I2C ----------------------------------------------------------------------------------
inline constexpr int kI2cActionRead = 1;
inline constexpr int kI2cActionWrite = 2;
inline constexpr int kI2cActionReadRepeatedStart = 3;
inline constexpr int kI2cActionIsPresent = 4;

// ---- Fan speed (Overdrive5 / Overdrive6) --------------------------------------------------
inline constexpr int kFanSpeedTypePercent = 1;
inline constexpr int kFanSpeedTypeRpm = 2;
inline constexpr int kFanFlagUserDefinedSpeed = 1;

// ---- Records ------------------------------------------------------------------------------

struct AdapterInfo {
  int iSize;
  int iAdapterIndex;
  char strUDID[kMaxPath];
  int iBusNumber;
  int iDeviceNumber;
  int iFunctionNumber;
  int iVendorID;
  char strAdapterName[kMaxPath];
  char strDisplayName[kMaxPath];
  int iPresent;
  // The Windows-only tail is declared in every build: the program and the simulator
  // exchange the record in its Windows layout on every platform.
  int iExist;
  char strDriverPath[kMaxPath];
  char strDriverPathExt[kMaxPath];
  char strPNPString[kMaxPath];
  int iOSDisplayIndex;
};
static_assert(sizeof(AdapterInfo) == 1572);
static_assert(offsetof(AdapterInfo, iAdapterIndex) == 4);
static_assert(offsetof(AdapterInfo, strUDID) == 8);
static_assert(offsetof(AdapterInfo, iBusNumber) == 264);
static_assert(offsetof(AdapterInfo, iDeviceNumber) == 268);
static_assert(offsetof(AdapterInfo, iFunctionNumber) == 272);
static_assert(offsetof(AdapterInfo, iVendorID) == 276);
static_assert(offsetof(AdapterInfo, strAdapterName) == 280);
static_assert(offsetof(AdapterInfo, strDisplayName) == 536);
static_assert(offsetof(AdapterInfo, iPresent) == 792);
static_assert(offsetof(AdapterInfo, iExist) == 796);
static_assert(offsetof(AdapterInfo, strDriverPath) == 800);
static_assert(offsetof(AdapterInfo, strDriverPathExt) == 1056);
static_assert(offsetof(AdapterInfo, strPNPString) == 1312);
static_assert(offsetof(AdapterInfo, iOSDisplayIndex) == 1568);

struct ADLODNParameterRange {
  int iMode;
  int iMin;
  int iMax;
  int iStep;
  int iDefault;
};
static_assert(sizeof(ADLODNParameterRange) == 20);
static_assert(offsetof(ADLODNParameterRange, iDefault) == 16);

struct ADLODNCapabilitiesX2 {
  int iMaximumNumberOfPerformanceLevels;
  int iFlags;
  ADLODNParameterRange sEngineClockRange;
  ADLODNParameterRange sMemoryClockRange;
  ADLODNParameterRange svddcRange;
  ADLODNParameterRange power;
  ADLODNParameterRange powerTuneTemperature;
  ADLODNParameterRange fanTemperature;
  ADLODNParameterRange fanSpeed;
  ADLODNParameterRange minimumPerformanceClock;
  ADLODNParameterRange throttleNotificaion;  // sic, as the driver's SDK spells it
  ADLODNParameterRange autoSystemClock;
};
static_assert(sizeof(ADLODNCapabilitiesX2) == 208);
static_assert(offsetof(ADLODNCapabilitiesX2, iFlags) == 4);
static_assert(offsetof(ADLODNCapabilitiesX2, sEngineClockRange) == 8);
static_assert(offsetof(ADLODNCapabilitiesX2, sMemoryClockRange) == 28);
static_assert(offsetof(ADLODNCapabilitiesX2, svddcRange) == 48);
static_assert(offsetof(ADLODNCapabilitiesX2, power) == 68);
static_assert(offsetof(ADLODNCapabilitiesX2, powerTuneTemperature) == 88);
static_assert(offsetof(ADLODNCapabilitiesX2, fanTemperature) == 108);
static_assert(offsetof(ADLODNCapabilitiesX2, fanSpeed) == 128);
static_assert(offsetof(ADLODNCapabilitiesX2, minimumPerformanceClock) == 148);
static_assert(offsetof(ADLODNCapabilitiesX2, throttleNotificaion) == 168);
static_assert(offsetof(ADLODNCapabilitiesX2, autoSystemClock) == 188);

struct ADLODNPerformanceLevelX2 {
  int iClock;    // 10 kHz
  int iVddc;     // mV
  int iEnabled;
  int iControl;
};
static_assert(sizeof(ADLODNPerformanceLevelX2) == 16);
static_assert(offsetof(ADLODNPerformanceLevelX2, iControl) == 12);

// A 12-byte header followed by a trailing array; for N levels the buffer holds
// 12 + 16 * N bytes (see PerformanceLevelsBytes).
struct ADLODNPerformanceLevelsX2 {
  int iSize;
  int iMode;
  int iNumberOfPerformanceLevels;
  ADLODNPerformanceLevelX2 aLevels[1];
};
static_assert(sizeof(ADLODNPerformanceLevelsX2) == 28);
static_assert(offsetof(ADLODNPerformanceLevelsX2, iMode) == 4);
static_assert(offsetof(ADLODNPerformanceLevelsX2, iNumberOfPerformanceLevels) == 8);
static_assert(offsetof(ADLODNPerformanceLevelsX2, aLevels) == 12);

inline constexpr int kPerformanceLevelsHeaderBytes = 12;
constexpr int PerformanceLevelsBytes(int levels) {
  return kPerformanceLevelsHeaderBytes + static_cast<int>(sizeof(ADLODNPerformanceLevelX2)) * levels;
}

struct ADLODNFanControl {
  int iMode;
  int iFanControlMode;
  int iCurrentFanSpeedMode;
  int iCurrentFanSpeed;
  int iTargetFanSpeed;       // the program's "maximum fan speed", RPM
  int iTargetTemperature;    // °C
  int iMinPerformanceClock;  // the program's "acoustic limit", MHz
  int iMinFanLimit;          // the program's "minimum fan speed", RPM
};
static_assert(sizeof(ADLODNFanControl) == 32);
static_assert(offsetof(ADLODNFanControl, iTargetFanSpeed) == 16);
static_assert(offsetof(ADLODNFanControl, iTargetTemperature) == 20);
static_assert(offsetof(ADLODNFanControl, iMinPerformanceClock) == 24);
static_assert(offsetof(ADLODNFanControl, iMinFanLimit) == 28);

struct ADLODNPowerLimitSetting {
  int iMode;
  int iTDPLimit;                 // power target, %
  int iMaxOperatingTemperature;  // °C
};
static_assert(sizeof(ADLODNPowerLimitSetting) == 12);
static_assert(offsetof(ADLODNPowerLimitSetting, iTDPLimit) == 4);
static_assert(offsetof(ADLODNPowerLimitSetting, iMaxOperatingTemperature) == 8);

struct ADLODNExtSingleInitSetting {
  int mode;
  int minValue;
  int maxValue;
  int step;
  int defaultValue;
};
static_assert(sizeof(ADLODNExtSingleInitSetting) == 20);
static_assert(offsetof(ADLODNExtSingleInitSetting, defaultValue) == 16);

struct ADLOD8SingleInitSetting {
  int featureID;
  int minValue;
  int maxValue;
  int defaultValue;
};
static_assert(sizeof(ADLOD8SingleInitSetting) == 16);
static_assert(offsetof(ADLOD8SingleInitSetting, defaultValue) == 12);

struct ADLOD8SingleSetSetting {
  int value;
  int requested;
  int reset;
};
static_assert(sizeof(ADLOD8SingleSetSetting) == 12);

struct ADLOD8SetSetting {
  int count;
  ADLOD8SingleSetSetting od8SettingTable[kOd8Count];
};
static_assert(sizeof(ADLOD8SetSetting) == 352);
static_assert(offsetof(ADLOD8SetSetting, od8SettingTable) == 4);

struct ADLOD8CurrentSetting {
  int count;
  int Od8SettingTable[kOd8Count];
};
static_assert(sizeof(ADLOD8CurrentSetting) == 120);
static_assert(offsetof(ADLOD8CurrentSetting, Od8SettingTable) == 4);

struct ADLI2C {
  int iSize;
  int iLine;
  int iAddress;  // 7-bit address shifted left by one
  int iOffset;   // register
  int iAction;
  int iSpeed;    // kHz
  int iDataSize;
  char* pcData;
};
static_assert(offsetof(ADLI2C, iDataSize) == 24);
static_assert(sizeof(void*) != 4 || (sizeof(ADLI2C) == 32 && offsetof(ADLI2C, pcData) == 28));
static_assert(sizeof(void*) != 8 || (sizeof(ADLI2C) == 40 && offsetof(ADLI2C, pcData) == 32));

struct ADLFanSpeedValue {
  int iSize;
  int iSpeedType;
  int iFanSpeed;
  int iFlags;
};
static_assert(sizeof(ADLFanSpeedValue) == 16);

struct ADLOD6FanSpeedValue {
  int iSpeedType;
  int iFanSpeed;
  int iExtValue;
  int iExtMask;
};
static_assert(sizeof(ADLOD6FanSpeedValue) == 16);

// ---- Entry points -------------------------------------------------------------------------

using Context = void*;
using MallocCallback = void*(TW_ADL_STDCALL*)(int size);

extern "C" {
using Main_Control_Create = int(TW_ADL_CDECL*)(MallocCallback, int enumConnectedAdapters, Context*);
using Main_Control_Destroy = int(TW_ADL_CDECL*)(Context);
using Adapter_NumberOfAdapters_Get = int(TW_ADL_CDECL*)(Context, int* count);
using Adapter_AdapterInfo_Get = int(TW_ADL_CDECL*)(Context, AdapterInfo* info, int bufferBytes);
using Adapter_Active_Get = int(TW_ADL_CDECL*)(Context, int adapter, int* status);
using Overdrive_Caps = int(TW_ADL_CDECL*)(Context, int adapter, int* supported, int* enabled, int* version);
using OverdriveN_CapabilitiesX2_Get = int(TW_ADL_CDECL*)(Context, int adapter, ADLODNCapabilitiesX2*);
using OverdriveN_ClocksX2_Get = int(TW_ADL_CDECL*)(Context, int adapter, ADLODNPerformanceLevelsX2*);
using OverdriveN_ClocksX2_Set = int(TW_ADL_CDECL*)(Context, int adapter, ADLODNPerformanceLevelsX2*);
using OverdriveN_FanControl_Get = int(TW_ADL_CDECL*)(Context, int adapter, ADLODNFanControl*);
using OverdriveN_FanControl_Set = int(TW_ADL_CDECL*)(Context, int adapter, ADLODNFanControl*);
using OverdriveN_PowerLimit_Get = int(TW_ADL_CDECL*)(Context, int adapter, ADLODNPowerLimitSetting*);
using OverdriveN_PowerLimit_Set = int(TW_ADL_CDECL*)(Context, int adapter, ADLODNPowerLimitSetting*);
using OverdriveN_SettingsExt_Get = int(TW_ADL_CDECL*)(Context, int adapter, int* extCaps, int* count,
                                                      ADLODNExtSingleInitSetting** ranges, int** values);
using OverdriveN_SettingsExt_Set = int(TW_ADL_CDECL*)(Context, int adapter, int count, int* validFlags,
                                                      int* values);
using Overdrive8_Init_SettingX2_Get = int(TW_ADL_CDECL*)(Context, int adapter, int* caps, int* count,
                                                         ADLOD8SingleInitSetting** list);
using Overdrive8_Current_SettingX2_Get = int(TW_ADL_CDECL*)(Context, int adapter, int* count, int** list);
using Overdrive8_Setting_Set = int(TW_ADL_CDECL*)(Context, int adapter, ADLOD8SetSetting* set,
                                                  ADLOD8CurrentSetting* current);
using Display_WriteAndReadI2C = int(TW_ADL_CDECL*)(Context, int adapter, ADLI2C*);
using Overdrive5_FanSpeed_Set = int(TW_ADL_CDECL*)(Context, int adapter, int thermalController,
                                                   ADLFanSpeedValue*);
using Overdrive5_FanSpeedToDefault_Set = int(TW_ADL_CDECL*)(Context, int adapter, int thermalController);
using Overdrive6_FanSpeed_Set = int(TW_ADL_CDECL*)(Context, int adapter, ADLOD6FanSpeedValue*);
using Overdrive6_FanSpeed_Reset = int(TW_ADL_CDECL*)(Context, int adapter);
using Feature_Status_Get = int(TW_ADL_CDECL*)(Context, int adapter, int* state);  // PPW and Chill
using Feature_Status_Set = int(TW_ADL_CDECL*)(Context, int adapter, int state);
}

}  // namespace tw::adl
