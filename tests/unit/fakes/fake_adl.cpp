#include "fakes/fake_adl.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace tw::test {
namespace {

FakeAdl* current = nullptr;

std::string S(int value) { return std::to_string(value); }

void CopyText(char (&to)[adl::kMaxPath], const std::string& text) {
  std::memset(to, 0, sizeof to);
  std::memcpy(to, text.data(), std::min(text.size(), sizeof to - 1));
}

adl::ADLODNParameterRange Range(int min, int max, int def = 0) { return {0, min, max, 1, def}; }

std::string Levels(const adl::ADLODNPerformanceLevelsX2* record, int count) {
  std::string text;
  const auto* bytes = reinterpret_cast<const unsigned char*>(record) + adl::kPerformanceLevelsHeaderBytes;
  for (int i = 0; i < count; ++i) {
    adl::ADLODNPerformanceLevelX2 level;
    std::memcpy(&level, bytes + 16 * i, sizeof level);
    text += " " + S(level.iClock) + "/" + S(level.iVddc) + "/" + S(level.iEnabled);
  }
  return text;
}

// ---- Entry points: each forwards to the current FakeAdl -----------------------------------

#define TW_FAKE_ENTER(name)                                    \
  FakeAdl& f = FakeAdl::Current();                             \
  if (auto forced = f.Enter(name)) return f.Leave(name, *forced)

int TW_ADL_CDECL MainControlCreate(adl::MallocCallback callback, int enumConnected, adl::Context* context) {
  const std::string call = "ADL2_Main_Control_Create(" + S(enumConnected) + ")";
  TW_FAKE_ENTER("ADL2_Main_Control_Create");
  if (!callback || !context) return f.Leave(call, adl::kErrNullPointer);
  if (f.createResult != adl::kOk) return f.Leave(call, f.createResult);
  *context = f.CreateContext(callback);
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL MainControlDestroy(adl::Context context) {
  TW_FAKE_ENTER("ADL2_Main_Control_Destroy");
  return f.Leave("ADL2_Main_Control_Destroy()", f.DestroyContext(context) ? adl::kOk : adl::kErrNotInit);
}

int TW_ADL_CDECL NumberOfAdaptersGet(adl::Context context, int* count) {
  TW_FAKE_ENTER("ADL2_Adapter_NumberOfAdapters_Get");
  if (!f.ValidContext(context)) return f.Leave("ADL2_Adapter_NumberOfAdapters_Get()", adl::kErrNotInit);
  if (!count) return f.Leave("ADL2_Adapter_NumberOfAdapters_Get()", adl::kErrNullPointer);
  *count = f.adapterCount.value_or(static_cast<int>(f.adapters.size()));
  return f.Leave("ADL2_Adapter_NumberOfAdapters_Get() count=" + S(*count), adl::kOk);
}

int TW_ADL_CDECL AdapterInfoGet(adl::Context context, adl::AdapterInfo* info, int bytes) {
  const std::string call = "ADL2_Adapter_AdapterInfo_Get(" + S(bytes) + ")";
  TW_FAKE_ENTER("ADL2_Adapter_AdapterInfo_Get");
  if (!f.ValidContext(context)) return f.Leave(call, adl::kErrNotInit);
  if (!info || bytes <= 0) return f.Leave(call, adl::kErrInvalidParam);
  const size_t fits = static_cast<size_t>(bytes) / sizeof(adl::AdapterInfo);
  for (size_t i = 0; i < std::min(fits, f.adapters.size()); ++i) info[i] = f.adapters[i];
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL AdapterActiveGet(adl::Context context, int adapter, int* status) {
  TW_FAKE_ENTER("ADL2_Adapter_Active_Get");
  if (!f.ValidContext(context) || !status) return f.Leave("ADL2_Adapter_Active_Get", adl::kErrInvalidParam);
  *status = f.Card(adapter) ? adl::kTrue : adl::kFalse;
  return f.Leave("ADL2_Adapter_Active_Get(" + S(adapter) + ")", adl::kOk);
}

int TW_ADL_CDECL OverdriveCaps(adl::Context context, int adapter, int* supported, int* enabled, int* version) {
  const std::string call = "ADL2_Overdrive_Caps(" + S(adapter) + ")";
  TW_FAKE_ENTER("ADL2_Overdrive_Caps");
  FakeAdlCard* card = f.Card(adapter);
  if (!f.ValidContext(context) || !supported || !enabled || !version) return f.Leave(call, adl::kErrInvalidParam);
  if (!card || card->overdriveVersion == 0) return f.Leave(call, adl::kErrNotSupported);
  *supported = 1;
  *enabled = 1;
  *version = card->overdriveVersion;
  return f.Leave(call, adl::kOk);
}

FakeAdlCard* OdnCard(FakeAdl& f, adl::Context context, int adapter, int& failure) {
  FakeAdlCard* card = f.Card(adapter);
  failure = !f.ValidContext(context) ? adl::kErrNotInit : (!card || !card->hasOverdriveN) ? adl::kErrNotSupported : 0;
  return failure ? nullptr : card;
}

int TW_ADL_CDECL CapabilitiesX2Get(adl::Context context, int adapter, adl::ADLODNCapabilitiesX2* caps) {
  const std::string call = "ADL2_OverdriveN_CapabilitiesX2_Get(" + S(adapter) + ")";
  TW_FAKE_ENTER("ADL2_OverdriveN_CapabilitiesX2_Get");
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  *caps = card->caps;
  return f.Leave(call, adl::kOk);
}

// The caller sizes the record; a size field that disagrees with the level count is refused.
bool RecordFits(const adl::ADLODNPerformanceLevelsX2* record) {
  return record && record->iNumberOfPerformanceLevels >= 1 && record->iNumberOfPerformanceLevels <= 64 &&
         record->iSize == adl::PerformanceLevelsBytes(record->iNumberOfPerformanceLevels);
}

int ClocksGet(const char* name, bool memory, adl::Context context, int adapter,
              adl::ADLODNPerformanceLevelsX2* record) {
  const std::string call = std::string(name) + "(" + S(adapter) + ")";
  TW_FAKE_ENTER(name);
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  if (!RecordFits(record)) return f.Leave(call, adl::kErrInvalidParamSize);
  const bool defaults = record->iMode == adl::kOdnModeDefault;
  const auto& levels = memory ? (defaults ? card->defaultMemLevels : card->memLevels)
                              : (defaults ? card->defaultGpuLevels : card->gpuLevels);
  auto* bytes = reinterpret_cast<unsigned char*>(record) + adl::kPerformanceLevelsHeaderBytes;
  const size_t count = std::min(levels.size(), static_cast<size_t>(record->iNumberOfPerformanceLevels));
  for (size_t i = 0; i < count; ++i) std::memcpy(bytes + 16 * i, &levels[i], sizeof levels[i]);
  return f.Leave(call, adl::kOk);
}

bool Inside(int value, const adl::ADLODNParameterRange& range) { return value >= range.iMin && value <= range.iMax; }

void AfterSet(FakeAdlCard& card) {
  if (card.afterSet) card.afterSet(card);
}

int ClocksSet(const char* name, bool memory, adl::Context context, int adapter,
              adl::ADLODNPerformanceLevelsX2* record) {
  TW_FAKE_ENTER(name);
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(std::string(name) + "(" + S(adapter) + ")", failure);
  if (!RecordFits(record)) return f.Leave(std::string(name) + "(" + S(adapter) + ")", adl::kErrInvalidParamSize);
  const int count = record->iNumberOfPerformanceLevels;
  const std::string call =
      std::string(name) + "(" + S(adapter) + ") mode=" + S(record->iMode) + Levels(record, count);
  FakeAdl::ClockSet seen{memory, adapter, record->iSize, record->iMode, count, {}};
  const auto* bytes = reinterpret_cast<const unsigned char*>(record) + adl::kPerformanceLevelsHeaderBytes;
  seen.levels.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) std::memcpy(&seen.levels[static_cast<size_t>(i)], bytes + 16 * i, 16);
  f.clockSets.push_back(seen);

  auto& levels = memory ? card->memLevels : card->gpuLevels;
  if (record->iMode == adl::kOdnModeDefault) {
    levels = memory ? card->defaultMemLevels : card->defaultGpuLevels;
    AfterSet(*card);
    return f.Leave(call, adl::kOk);
  }
  // The card has its own number of levels; entries past them are not looked at.
  const size_t used = std::min(levels.size(), seen.levels.size());
  const adl::ADLODNParameterRange& clockRange = memory ? card->caps.sMemoryClockRange : card->caps.sEngineClockRange;
  for (size_t i = 0; i < used && card->rejectOutOfRange; ++i)
    if (!Inside(seen.levels[i].iClock, clockRange) || !Inside(seen.levels[i].iVddc, card->caps.svddcRange))
      return f.Leave(call, adl::kErr);
  std::copy_n(seen.levels.begin(), used, levels.begin());
  AfterSet(*card);
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL SystemClocksGet(adl::Context c, int a, adl::ADLODNPerformanceLevelsX2* r) {
  return ClocksGet("ADL2_OverdriveN_SystemClocksX2_Get", false, c, a, r);
}
int TW_ADL_CDECL SystemClocksSet(adl::Context c, int a, adl::ADLODNPerformanceLevelsX2* r) {
  return ClocksSet("ADL2_OverdriveN_SystemClocksX2_Set", false, c, a, r);
}
int TW_ADL_CDECL MemoryClocksGet(adl::Context c, int a, adl::ADLODNPerformanceLevelsX2* r) {
  return ClocksGet("ADL2_OverdriveN_MemoryClocksX2_Get", true, c, a, r);
}
int TW_ADL_CDECL MemoryClocksSet(adl::Context c, int a, adl::ADLODNPerformanceLevelsX2* r) {
  return ClocksSet("ADL2_OverdriveN_MemoryClocksX2_Set", true, c, a, r);
}

int TW_ADL_CDECL FanControlGet(adl::Context context, int adapter, adl::ADLODNFanControl* fan) {
  const std::string call = "ADL2_OverdriveN_FanControl_Get(" + S(adapter) + ")";
  TW_FAKE_ENTER("ADL2_OverdriveN_FanControl_Get");
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  *fan = card->fan;
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL FanControlSet(adl::Context context, int adapter, adl::ADLODNFanControl* fan) {
  TW_FAKE_ENTER("ADL2_OverdriveN_FanControl_Set");
  const std::string call = "ADL2_OverdriveN_FanControl_Set(" + S(adapter) + ") mode=" + S(fan->iMode) +
                           " min=" + S(fan->iMinFanLimit) + " max=" + S(fan->iTargetFanSpeed) +
                           " target=" + S(fan->iTargetTemperature) + " acoustic=" + S(fan->iMinPerformanceClock);
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  f.fanSets.push_back(*fan);
  if (fan->iMode == adl::kOdnModeDefault) {
    card->fan = card->defaultFan;
  } else {
    const adl::ADLODNCapabilitiesX2& caps = card->caps;
    const bool inside = Inside(fan->iTargetTemperature, caps.fanTemperature) &&
                        Inside(fan->iMinPerformanceClock, caps.minimumPerformanceClock) &&
                        Inside(fan->iMinFanLimit, caps.fanSpeed) && Inside(fan->iTargetFanSpeed, caps.fanSpeed);
    if (card->rejectOutOfRange && !inside) return f.Leave(call, adl::kErr);
    card->fan = *fan;
  }
  AfterSet(*card);
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL PowerLimitGet(adl::Context context, int adapter, adl::ADLODNPowerLimitSetting* power) {
  const std::string call = "ADL2_OverdriveN_PowerLimit_Get(" + S(adapter) + ")";
  TW_FAKE_ENTER("ADL2_OverdriveN_PowerLimit_Get");
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  *power = card->power;
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL PowerLimitSet(adl::Context context, int adapter, adl::ADLODNPowerLimitSetting* power) {
  TW_FAKE_ENTER("ADL2_OverdriveN_PowerLimit_Set");
  const std::string call = "ADL2_OverdriveN_PowerLimit_Set(" + S(adapter) + ") mode=" + S(power->iMode) +
                           " tdp=" + S(power->iTDPLimit) + " temp=" + S(power->iMaxOperatingTemperature);
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  f.powerSets.push_back(*power);
  if (power->iMode == adl::kOdnModeDefault) {
    card->power = card->defaultPower;
  } else {
    const bool inside = Inside(power->iTDPLimit, card->caps.power) &&
                        Inside(power->iMaxOperatingTemperature, card->caps.powerTuneTemperature);
    if (card->rejectOutOfRange && !inside) return f.Leave(call, adl::kErr);
    card->power = *power;
  }
  AfterSet(*card);
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL SettingsExtGet(adl::Context context, int adapter, int* extCaps, int* count,
                                adl::ADLODNExtSingleInitSetting** ranges, int** values) {
  const char* name = "ADL2_OverdriveN_SettingsExt_Get";
  const std::string call = std::string(name) + "(" + S(adapter) + ") count=" + S(count ? *count : -1);
  FakeAdl& f = FakeAdl::Current();
  if (!extCaps || !count || !ranges || !values) return f.Leave(call, adl::kErrNullPointer);
  *ranges = nullptr;
  *values = nullptr;
  auto handOut = [&](FakeAdlCard* card) {
    const size_t n = adl::kOdnExtCount;
    auto* r = static_cast<adl::ADLODNExtSingleInitSetting*>(f.Allocate(n * sizeof(adl::ADLODNExtSingleInitSetting)));
    auto* v = static_cast<int*>(f.Allocate(n * sizeof(int)));
    if (card && r && v) {
      std::copy(card->extRanges.begin(), card->extRanges.end(), r);
      std::copy(card->extValues.begin(), card->extValues.end(), v);
    }
    *ranges = r;
    *values = v;
  };
  if (auto forced = f.Enter(name)) {
    if (f.listsOnFailure) handOut(nullptr);
    return f.Leave(call, *forced);
  }
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  *extCaps = card->extCaps;
  *count = f.ListCount(name, adl::kOdnExtCount);
  if (!f.nullLists.count(name)) handOut(card);
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL SettingsExtSet(adl::Context context, int adapter, int count, int* valid, int* values) {
  TW_FAKE_ENTER("ADL2_OverdriveN_SettingsExt_Set");
  std::string call = "ADL2_OverdriveN_SettingsExt_Set(" + S(adapter) + ") count=" + S(count);
  int failure = 0;
  FakeAdlCard* card = OdnCard(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  if (!valid || !values || count < 1) return f.Leave(call, adl::kErrInvalidParam);
  f.extSets.push_back({count, std::vector<int>(valid, valid + count), std::vector<int>(values, values + count)});
  for (int i = 0; i < std::min(count, adl::kOdnExtCount); ++i) {
    call += " " + S(valid[i]) + ":" + S(values[i]);
    if (!valid[i]) continue;
    // -1 asks for the setting's default.
    const size_t id = static_cast<size_t>(i);
    card->extValues[id] = values[i] == -1 ? card->extRanges[id].defaultValue : values[i];
  }
  AfterSet(*card);
  return f.Leave(call, adl::kOk);
}

FakeAdlCard* Od8Card(FakeAdl& f, adl::Context context, int adapter, int& failure) {
  FakeAdlCard* card = f.Card(adapter);
  failure = !f.ValidContext(context) ? adl::kErrNotInit : (!card || !card->hasOverdrive8) ? adl::kErrNotSupported : 0;
  return failure ? nullptr : card;
}

int TW_ADL_CDECL Od8InitGet(adl::Context context, int adapter, int* caps, int* count,
                            adl::ADLOD8SingleInitSetting** list) {
  const char* name = "ADL2_Overdrive8_Init_SettingX2_Get";
  const std::string call = std::string(name) + "(" + S(adapter) + ") count=" + S(count ? *count : -1);
  FakeAdl& f = FakeAdl::Current();
  if (!caps || !count || !list) return f.Leave(call, adl::kErrNullPointer);
  *list = nullptr;
  auto handOut = [&](FakeAdlCard* card) {
    auto* l = static_cast<adl::ADLOD8SingleInitSetting*>(
        f.Allocate(adl::kOd8Count * sizeof(adl::ADLOD8SingleInitSetting)));
    if (card && l) std::copy(card->od8Init.begin(), card->od8Init.end(), l);
    *list = l;
  };
  if (auto forced = f.Enter(name)) {
    if (f.listsOnFailure) handOut(nullptr);
    return f.Leave(call, *forced);
  }
  int failure = 0;
  FakeAdlCard* card = Od8Card(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  *caps = card->od8Caps;
  *count = f.ListCount(name, adl::kOd8Count);
  if (!f.nullLists.count(name)) handOut(card);
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL Od8CurrentGet(adl::Context context, int adapter, int* count, int** list) {
  const char* name = "ADL2_Overdrive8_Current_SettingX2_Get";
  const std::string call = std::string(name) + "(" + S(adapter) + ") count=" + S(count ? *count : -1);
  FakeAdl& f = FakeAdl::Current();
  if (!count || !list) return f.Leave(call, adl::kErrNullPointer);
  *list = nullptr;
  auto handOut = [&](FakeAdlCard* card) {
    auto* l = static_cast<int*>(f.Allocate(adl::kOd8Count * sizeof(int)));
    if (card && l) std::copy(card->od8Values.begin(), card->od8Values.end(), l);
    *list = l;
  };
  if (auto forced = f.Enter(name)) {
    if (f.listsOnFailure) handOut(nullptr);
    return f.Leave(call, *forced);
  }
  int failure = 0;
  FakeAdlCard* card = Od8Card(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  *count = f.ListCount(name, adl::kOd8Count);
  if (!f.nullLists.count(name)) handOut(card);
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL Od8SettingSet(adl::Context context, int adapter, adl::ADLOD8SetSetting* set,
                               adl::ADLOD8CurrentSetting* current) {
  TW_FAKE_ENTER("ADL2_Overdrive8_Setting_Set");
  std::string call = "ADL2_Overdrive8_Setting_Set(" + S(adapter) + ")";
  int failure = 0;
  FakeAdlCard* card = Od8Card(f, context, adapter, failure);
  if (!card) return f.Leave(call, failure);
  if (!set || !current) return f.Leave(call, adl::kErrNullPointer);
  call += " count=" + S(set->count);
  f.od8Sets.push_back(*set);
  for (int i = 0; i < adl::kOd8Count; ++i) {
    const adl::ADLOD8SingleSetSetting& row = set->od8SettingTable[i];
    auto& value = card->od8Values[static_cast<size_t>(i)];
    const adl::ADLOD8SingleInitSetting& range = card->od8Init[static_cast<size_t>(i)];
    if (row.reset) {
      value = range.defaultValue;
      call += " " + S(i) + ":reset";
    } else if (row.requested) {
      // Values outside the range are clamped and the held value reported back.
      value = std::clamp(row.value, std::min(range.minValue, range.maxValue), range.maxValue);
      call += " " + S(i) + "=" + S(row.value);
    }
  }
  AfterSet(*card);
  current->count = adl::kOd8Count;
  std::copy(card->od8Values.begin(), card->od8Values.end(), current->Od8SettingTable);
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL WriteAndReadI2C(adl::Context context, int adapter, adl::ADLI2C* i2c) {
  TW_FAKE_ENTER("ADL2_Display_WriteAndReadI2C");
  std::string call = "ADL2_Display_WriteAndReadI2C(" + S(adapter) + ")";
  FakeAdlCard* card = f.Card(adapter);
  if (!f.ValidContext(context) || !i2c || !card) return f.Leave(call, adl::kErrInvalidParam);
  call += " line=" + S(i2c->iLine) + " address=" + S(i2c->iAddress) + " offset=" + S(i2c->iOffset) +
          " action=" + S(i2c->iAction) + " speed=" + S(i2c->iSpeed) + " size=" + S(i2c->iDataSize);
  FakeI2cTransfer transfer{adapter,       i2c->iSize,  i2c->iLine,     i2c->iAddress, i2c->iOffset,
                           i2c->iAction,  i2c->iSpeed, i2c->iDataSize, {},            adl::kOk};
  // A write is journalled with the bytes sent, also when it fails.
  if (i2c->iAction == adl::kI2cActionWrite && i2c->pcData)
    for (int j = 0; j < i2c->iDataSize; ++j) transfer.data.push_back(static_cast<uint8_t>(i2c->pcData[j]));
  const auto finish = [&](int result) {
    transfer.result = result;
    f.i2cTransfers.push_back(transfer);
    return f.Leave(call, result);
  };
  const auto device = card->i2cDevices.find({i2c->iLine, i2c->iAddress});
  if (device == card->i2cDevices.end()) return finish(adl::kErr);
  const auto fault = card->i2cFaults.find({i2c->iLine, i2c->iAddress, i2c->iOffset, i2c->iAction});
  if (fault != card->i2cFaults.end()) return finish(fault->second);
  if (i2c->iDataSize < 0 || (i2c->iDataSize > 0 && !i2c->pcData)) return finish(adl::kErrInvalidParam);
  for (int j = 0; j < i2c->iDataSize; ++j) {
    uint8_t& reg = device->second[i2c->iOffset + j];
    if (i2c->iAction == adl::kI2cActionWrite)
      reg = static_cast<uint8_t>(i2c->pcData[j]);
    else
      i2c->pcData[j] = static_cast<char>(reg);
    call += " " + S(reg);
    if (i2c->iAction != adl::kI2cActionWrite) transfer.data.push_back(reg);
  }
  return finish(adl::kOk);
}

int TW_ADL_CDECL Od5FanSpeedSet(adl::Context context, int adapter, int controller, adl::ADLFanSpeedValue* value) {
  TW_FAKE_ENTER("ADL2_Overdrive5_FanSpeed_Set");
  const std::string call = "ADL2_Overdrive5_FanSpeed_Set(" + S(adapter) + ") controller=" + S(controller) +
                           (value ? " size=" + S(value->iSize) + " type=" + S(value->iSpeedType) +
                                        " speed=" + S(value->iFanSpeed) + " flags=" + S(value->iFlags)
                                  : std::string(" null"));
  if (value) f.od5FanSets.push_back(*value);
  const bool ok = f.ValidContext(context) && value && f.Card(adapter);
  return f.Leave(call, ok ? adl::kOk : adl::kErrInvalidParam);
}

int TW_ADL_CDECL Od5FanSpeedToDefault(adl::Context context, int adapter, int controller) {
  TW_FAKE_ENTER("ADL2_Overdrive5_FanSpeedToDefault_Set");
  const bool ok = f.ValidContext(context) && f.Card(adapter);
  return f.Leave("ADL2_Overdrive5_FanSpeedToDefault_Set(" + S(adapter) + ") controller=" + S(controller),
                 ok ? adl::kOk : adl::kErrInvalidParam);
}

int TW_ADL_CDECL Od6FanSpeedSet(adl::Context context, int adapter, adl::ADLOD6FanSpeedValue* value) {
  TW_FAKE_ENTER("ADL2_Overdrive6_FanSpeed_Set");
  const std::string call = "ADL2_Overdrive6_FanSpeed_Set(" + S(adapter) + ")" +
                           (value ? " type=" + S(value->iSpeedType) + " speed=" + S(value->iFanSpeed)
                                  : std::string(" null"));
  if (value) f.od6FanSets.push_back(*value);
  const bool ok = f.ValidContext(context) && value && f.Card(adapter);
  return f.Leave(call, ok ? adl::kOk : adl::kErrInvalidParam);
}

int TW_ADL_CDECL Od6FanSpeedReset(adl::Context context, int adapter) {
  TW_FAKE_ENTER("ADL2_Overdrive6_FanSpeed_Reset");
  const bool ok = f.ValidContext(context) && f.Card(adapter);
  return f.Leave("ADL2_Overdrive6_FanSpeed_Reset(" + S(adapter) + ")", ok ? adl::kOk : adl::kErrInvalidParam);
}

int FeatureGet(const char* name, int FakeAdlCard::*field, adl::Context context, int adapter, int* state) {
  TW_FAKE_ENTER(name);
  FakeAdlCard* card = f.Card(adapter);
  if (!f.ValidContext(context) || !state || !card) return f.Leave(std::string(name) + "(" + S(adapter) + ")", adl::kErrInvalidParam);
  *state = card->*field;
  return f.Leave(std::string(name) + "(" + S(adapter) + ") state=" + S(*state), adl::kOk);
}

int FeatureSet(const char* name, int FakeAdlCard::*field, adl::Context context, int adapter, int state) {
  TW_FAKE_ENTER(name);
  FakeAdlCard* card = f.Card(adapter);
  const std::string call = std::string(name) + "(" + S(adapter) + ") state=" + S(state);
  if (!f.ValidContext(context) || !card) return f.Leave(call, adl::kErrInvalidParam);
  card->*field = state;
  return f.Leave(call, adl::kOk);
}

int TW_ADL_CDECL PpwGet(adl::Context c, int a, int* s) { return FeatureGet("ADL2_PPW_Status_Get", &FakeAdlCard::ppw, c, a, s); }
int TW_ADL_CDECL PpwSet(adl::Context c, int a, int s) { return FeatureSet("ADL2_PPW_Status_Set", &FakeAdlCard::ppw, c, a, s); }
int TW_ADL_CDECL ChillGet(adl::Context c, int a, int* s) {
  return FeatureGet("ADL2_Chill_Settings_Get", &FakeAdlCard::chill, c, a, s);
}
int TW_ADL_CDECL ChillSet(adl::Context c, int a, int s) {
  return FeatureSet("ADL2_Chill_Settings_Set", &FakeAdlCard::chill, c, a, s);
}

#undef TW_FAKE_ENTER

// The explicit type makes the compiler check each fake against the entry-point type.
template <class Fn>
void* Address(std::type_identity_t<Fn> fn) {
  return reinterpret_cast<void*>(fn);
}

}  // namespace

FakeAdl::FakeAdl() : previous_(current) { current = this; }

FakeAdl::~FakeAdl() { current = previous_; }

FakeAdl& FakeAdl::Current() {
  if (!current) throw std::logic_error("no FakeAdl alive");
  return *current;
}

adl::AdapterInfo& FakeAdl::AddAdapter(int adapterIndex, int bus, int device, int function, const std::string& name,
                                      int vendorId, const std::string& pnp, const std::string& driverPath) {
  adl::AdapterInfo info{};
  info.iSize = sizeof info;
  info.iAdapterIndex = adapterIndex;
  info.iBusNumber = bus;
  info.iDeviceNumber = device;
  info.iFunctionNumber = function;
  info.iVendorID = vendorId;
  info.iPresent = 1;
  info.iExist = 1;
  CopyText(info.strAdapterName, name);
  CopyText(info.strDisplayName, "\\\\.\\DISPLAY" + S(adapterIndex + 1));
  CopyText(info.strPNPString,
           pnp.empty() ? "PCI\\VEN_1002&DEV_67DF&SUBSYS_E3471DA2&REV_E7\\4&2AB1C2&0&00" + S(bus) : pnp);
  CopyText(info.strDriverPath,
           driverPath.empty()
               ? "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\000" +
                     S(adapterIndex % 10)
               : driverPath);
  adapters.push_back(info);
  return adapters.back();
}

FakeAdlCard& FakeAdl::AddOverdriveNCard(int adapterIndex) {
  FakeAdlCard& card = cards[adapterIndex];
  card = FakeAdlCard{};
  card.overdriveVersion = adl::kOverdriveN;
  card.hasOverdriveN = true;
  card.caps.iMaximumNumberOfPerformanceLevels = 8;
  card.caps.iFlags = 0x3FF;
  card.caps.sEngineClockRange = Range(30000, 200000);
  card.caps.sMemoryClockRange = Range(30000, 225000);
  card.caps.svddcRange = Range(750, 1200);
  card.caps.power = Range(-50, 50);
  card.caps.powerTuneTemperature = Range(50, 90);
  card.caps.fanTemperature = Range(25, 90);
  card.caps.fanSpeed = Range(0, 3300);
  card.caps.minimumPerformanceClock = Range(300, 2000);
  const int gpuClocks[8] = {30000, 60000, 90000, 114500, 121500, 125700, 130000, 134000};
  const int gpuVolts[8] = {750, 769, 887, 1000, 1050, 1100, 1150, 1150};
  for (int i = 0; i < 8; ++i) card.gpuLevels.push_back({gpuClocks[i], gpuVolts[i], 1, 0});
  card.memLevels = {{30000, 750, 1, 0}, {100000, 800, 1, 0}, {200000, 950, 1, 0}};
  card.fan = {0, 1, 1, 1200, 2400, 75, 1200, 600};
  card.power = {0, 0, 84};
  card.extCaps = 0x3F;
  card.extRanges[0] = {0, 0, 2, 1, 0};  // memory timing level
  card.extRanges[1] = {0, 0, 1, 1, 1};  // zero RPM
  const int temps[5] = {30, 45, 60, 75, 90};
  const int speeds[5] = {20, 30, 45, 70, 100};
  for (int k = 0; k < 5; ++k) {
    card.extRanges[static_cast<size_t>(5 + 2 * k)] = {0, 25, 100, 1, temps[k]};
    card.extRanges[static_cast<size_t>(6 + 2 * k)] = {0, 0, 100, 1, speeds[k]};
    card.extValues[static_cast<size_t>(5 + 2 * k)] = temps[k];
    card.extValues[static_cast<size_t>(6 + 2 * k)] = speeds[k];
  }
  card.extValues[0] = 1;
  card.extValues[1] = 1;
  card.defaultGpuLevels = card.gpuLevels;
  card.defaultMemLevels = card.memLevels;
  card.defaultFan = card.fan;
  card.defaultPower = card.power;
  return card;
}

FakeAdlCard& FakeAdl::AddOverdrive8Card(int adapterIndex) {
  FakeAdlCard& card = cards[adapterIndex];
  card = FakeAdlCard{};
  card.overdriveVersion = adl::kOverdrive8;
  card.hasOverdrive8 = true;
  card.od8Caps = 0x3FFF;
  const int defaults[adl::kOd8Count] = {2100, 800, 800, 750, 1500, 900, 2100, 1150, 1750, 0,   1200, 2400,
                                        85,   110, 0,   1,   0,    0,   0,    30,   20,  45,  30,   60,
                                        45,   75,  70,  90,  100};
  for (int i = 0; i < adl::kOd8Count; ++i) {
    card.od8Init[static_cast<size_t>(i)] = {1 << (i % 15), 0, defaults[i] * 2 + 10, defaults[i]};
    card.od8Values[static_cast<size_t>(i)] = defaults[i];
  }
  card.od8Init[adl::kOd8AcTiming].maxValue = 2;
  card.od8Init[adl::kOd8PowerPercentage] = {8, -20, 20, 0};
  return card;
}

void FakeAdl::Fail(const std::string& entryPoint, int result, int fromCall, int times) {
  faults_[entryPoint] = {result, fromCall, times};
}

int FakeAdl::Calls(const std::string& entryPoint) const {
  const auto it = calls_.find(entryPoint);
  return it == calls_.end() ? 0 : it->second;
}

void FakeAdl::ForgetCalls() {
  log.clear();
  std::erase_if(calls_, [](const auto& call) { return call.first.rfind("ADL2_Main_Control_", 0) != 0; });
  clockSets.clear();
  fanSets.clear();
  powerSets.clear();
  extSets.clear();
  od8Sets.clear();
  od5FanSets.clear();
  od6FanSets.clear();
}

std::vector<std::string> FakeAdl::LogOf(const std::string& entryPoint) const {
  std::vector<std::string> lines;
  for (const std::string& line : log)
    if (line.rfind(entryPoint + "(", 0) == 0) lines.push_back(line);
  return lines;
}

std::optional<int> FakeAdl::Enter(const std::string& entryPoint) {
  const int call = ++calls_[entryPoint];
  const auto it = faults_.find(entryPoint);
  if (it == faults_.end() || call < it->second.fromCall) return std::nullopt;
  if (it->second.times >= 0 && call >= it->second.fromCall + it->second.times) return std::nullopt;
  return it->second.result;
}

int FakeAdl::Leave(const std::string& call, int result) {
  log.push_back((call.find('(') == std::string::npos ? call + "()" : call) + " -> " + S(result));
  return result;
}

bool FakeAdl::ValidContext(adl::Context context) const { return liveContexts_.count(context) != 0; }

FakeAdlCard* FakeAdl::Card(int adapterIndex) {
  const auto it = cards.find(adapterIndex);
  return it == cards.end() ? nullptr : &it->second;
}

void* FakeAdl::Allocate(size_t bytes) { return alloc_ ? alloc_(static_cast<int>(bytes)) : nullptr; }

adl::Context FakeAdl::CreateContext(adl::MallocCallback callback) {
  alloc_ = callback;
  ++contextsCreated;
  adl::Context context = reinterpret_cast<adl::Context>(static_cast<uintptr_t>(0x1000 + contextsCreated));
  liveContexts_.insert(context);
  return context;
}

bool FakeAdl::DestroyContext(adl::Context context) {
  if (liveContexts_.erase(context) == 0) return false;
  ++contextsDestroyed;
  return true;
}

int FakeAdl::ListCount(const std::string& entryPoint, int asked) const {
  const auto it = returnedCounts.find(entryPoint);
  return it == returnedCounts.end() ? asked : it->second;
}

std::map<std::string, void*> FakeAdl::EntryPoints() {
  return {
      {"ADL2_Main_Control_Create", Address<adl::Main_Control_Create>(&MainControlCreate)},
      {"ADL2_Main_Control_Destroy", Address<adl::Main_Control_Destroy>(&MainControlDestroy)},
      {"ADL2_Adapter_NumberOfAdapters_Get", Address<adl::Adapter_NumberOfAdapters_Get>(&NumberOfAdaptersGet)},
      {"ADL2_Adapter_AdapterInfo_Get", Address<adl::Adapter_AdapterInfo_Get>(&AdapterInfoGet)},
      {"ADL2_Adapter_Active_Get", Address<adl::Adapter_Active_Get>(&AdapterActiveGet)},
      {"ADL2_Overdrive_Caps", Address<adl::Overdrive_Caps>(&OverdriveCaps)},
      {"ADL2_OverdriveN_CapabilitiesX2_Get", Address<adl::OverdriveN_CapabilitiesX2_Get>(&CapabilitiesX2Get)},
      {"ADL2_OverdriveN_SystemClocksX2_Get", Address<adl::OverdriveN_ClocksX2_Get>(&SystemClocksGet)},
      {"ADL2_OverdriveN_SystemClocksX2_Set", Address<adl::OverdriveN_ClocksX2_Set>(&SystemClocksSet)},
      {"ADL2_OverdriveN_MemoryClocksX2_Get", Address<adl::OverdriveN_ClocksX2_Get>(&MemoryClocksGet)},
      {"ADL2_OverdriveN_MemoryClocksX2_Set", Address<adl::OverdriveN_ClocksX2_Set>(&MemoryClocksSet)},
      {"ADL2_OverdriveN_FanControl_Get", Address<adl::OverdriveN_FanControl_Get>(&FanControlGet)},
      {"ADL2_OverdriveN_FanControl_Set", Address<adl::OverdriveN_FanControl_Set>(&FanControlSet)},
      {"ADL2_OverdriveN_PowerLimit_Get", Address<adl::OverdriveN_PowerLimit_Get>(&PowerLimitGet)},
      {"ADL2_OverdriveN_PowerLimit_Set", Address<adl::OverdriveN_PowerLimit_Set>(&PowerLimitSet)},
      {"ADL2_OverdriveN_SettingsExt_Get", Address<adl::OverdriveN_SettingsExt_Get>(&SettingsExtGet)},
      {"ADL2_OverdriveN_SettingsExt_Set", Address<adl::OverdriveN_SettingsExt_Set>(&SettingsExtSet)},
      {"ADL2_Overdrive8_Init_SettingX2_Get", Address<adl::Overdrive8_Init_SettingX2_Get>(&Od8InitGet)},
      {"ADL2_Overdrive8_Current_SettingX2_Get", Address<adl::Overdrive8_Current_SettingX2_Get>(&Od8CurrentGet)},
      {"ADL2_Overdrive8_Setting_Set", Address<adl::Overdrive8_Setting_Set>(&Od8SettingSet)},
      {"ADL2_Display_WriteAndReadI2C", Address<adl::Display_WriteAndReadI2C>(&WriteAndReadI2C)},
      {"ADL2_Overdrive5_FanSpeed_Set", Address<adl::Overdrive5_FanSpeed_Set>(&Od5FanSpeedSet)},
      {"ADL2_Overdrive5_FanSpeedToDefault_Set", Address<adl::Overdrive5_FanSpeedToDefault_Set>(&Od5FanSpeedToDefault)},
      {"ADL2_Overdrive6_FanSpeed_Set", Address<adl::Overdrive6_FanSpeed_Set>(&Od6FanSpeedSet)},
      {"ADL2_Overdrive6_FanSpeed_Reset", Address<adl::Overdrive6_FanSpeed_Reset>(&Od6FanSpeedReset)},
      {"ADL2_PPW_Status_Get", Address<adl::Feature_Status_Get>(&PpwGet)},
      {"ADL2_PPW_Status_Set", Address<adl::Feature_Status_Set>(&PpwSet)},
      {"ADL2_Chill_Settings_Get", Address<adl::Feature_Status_Get>(&ChillGet)},
      {"ADL2_Chill_Settings_Set", Address<adl::Feature_Status_Set>(&ChillSet)},
  };
}

std::vector<FakeI2cTransfer> FakeAdl::I2cWrites() const {
  std::vector<FakeI2cTransfer> writes;
  for (const FakeI2cTransfer& transfer : i2cTransfers)
    if (transfer.IsWrite()) writes.push_back(transfer);
  return writes;
}

void FakeAdl::Install(FakeLibraryLoader& loader, const std::string& fileName, const std::set<std::string>& without) {
  std::map<std::string, void*> symbols = EntryPoints();
  for (const std::string& name : without) symbols.erase(name);
  loader.libraries[fileName] = symbols;
}

}  // namespace tw::test
