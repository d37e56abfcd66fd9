#include <vector>

#include "api.h"
#include "simulator.h"

namespace adlsim::api {
namespace {

constexpr int kFlagFanSpeedMin = 0x10, kFlagFanSpeedTarget = 0x20, kFlagAcoustic = 0x40,
              kFlagTemperatureFan = 0x80, kFlagTemperatureSystem = 0x100, kFlagPowerLimit = 0x200;

std::optional<int> BeginOdn(Call& call, Context context, int adapter, const CardSpec*& cardSpec, CardState*& card) {
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return early;
  if (cardSpec->overdrive != Overdrive::N) return kErrNotSupported;
  return std::nullopt;
}

ADLODNParameterRange Report(const Range& range) {
  return {0, range.min, range.max, range.step, range.def};
}

// Checks one value: inside, or clamped when the card clamps; false when it is refused.
bool Accept(int& value, const Range& range, bool clamp) {
  if (range.Contains(value)) return true;
  if (!clamp) return false;
  value = range.Clamp(value);
  return true;
}

int CutTo(int value, int step) { return step > 1 ? value / step * step : value; }

void JournalLevels(JournalLine& line, const ADLODNPerformanceLevelsX2& record, int count) {
  for (int i = 0; i < count; ++i) {
    const ADLODNPerformanceLevelX2& level = record.aLevels[i];
    line.Add("L" + std::to_string(i), std::to_string(level.iClock) + "/" + std::to_string(level.iVddc) + "/" +
                                          std::to_string(level.iEnabled));
  }
}

// The header of a clock record the caller made: its level count must fit the card and its
// size must hold that many levels.
std::optional<int> CheckClockRecord(const ADLODNPerformanceLevelsX2* record, const CardSpec& cardSpec, JournalLine& line) {
  if (!record) return kErrNullPointer;
  line.Add("size", record->iSize).Add("mode", record->iMode).Add("levels", record->iNumberOfPerformanceLevels);
  const int count = record->iNumberOfPerformanceLevels;
  if (count < 1 || count > cardSpec.levels) return kErrInvalidParam;
  if (record->iSize < PerformanceLevelsBytes(count)) return kErrInvalidParamSize;
  return std::nullopt;
}

int ClocksGet(const char* name, bool gpu, Context context, int adapter, ADLODNPerformanceLevelsX2* record) {
  Call call(name);
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (std::optional<int> bad = CheckClockRecord(record, *cardSpec, call.line())) return call.Finish(*bad);
  const std::vector<Level>& levels = record->iMode == kOdnModeDefault ? (gpu ? cardSpec->gpuLevels : cardSpec->memLevels)
                                                                      : (gpu ? card->gpu : card->mem);
  for (int i = 0; i < record->iNumberOfPerformanceLevels; ++i) {
    ADLODNPerformanceLevelX2& out = record->aLevels[i];
    const Level level = i < static_cast<int>(levels.size()) ? levels[static_cast<size_t>(i)] : Level{0, 0, 0};
    out = {level.clock, level.vddc, level.enabled, level.clock > 0 ? 3 : 0};
  }
  JournalLevels(call.line(), *record, record->iNumberOfPerformanceLevels);
  return call.Finish(kOk);
}

int ClocksSet(const char* name, bool gpu, Context context, int adapter, ADLODNPerformanceLevelsX2* record) {
  Call call(name);
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (std::optional<int> bad = CheckClockRecord(record, *cardSpec, call.line())) return call.Finish(*bad);
  JournalLevels(call.line(), *record, record->iNumberOfPerformanceLevels);
  std::vector<Level>& held = gpu ? card->gpu : card->mem;
  if (record->iMode == kOdnModeDefault) {
    if (!call.FaultIs(FaultKind::Ignore)) held = gpu ? cardSpec->gpuLevels : cardSpec->memLevels;
    call.sim().SaveState();
    return call.Finish(kOk);
  }
  if (record->iMode != kOdnModeManual) return call.Finish(kErrInvalidParam);
  std::vector<Level> next = held;
  const Range& clockRange = gpu ? cardSpec->gpuClock : cardSpec->memClock;
  for (size_t i = 0; i < next.size() && static_cast<int>(i) < record->iNumberOfPerformanceLevels; ++i) {
    const ADLODNPerformanceLevelX2& in = record->aLevels[i];
    Level level{in.iClock, in.iVddc, in.iEnabled > 0 ? 1 : 0};
    if (!Accept(level.clock, clockRange, cardSpec->clampOutOfRange) ||
        !Accept(level.vddc, cardSpec->vddc, cardSpec->clampOutOfRange)) {
      call.line().Add("refused", "L" + std::to_string(i));
      return call.Finish(kErr);
    }
    if (gpu) level.clock += cardSpec->readbackClockOffset;
    level.clock = CutTo(level.clock, cardSpec->readbackClockStep);
    level.vddc = CutTo(level.vddc, cardSpec->readbackVoltageStep);
    next[i] = level;
  }
  if (!call.FaultIs(FaultKind::Ignore)) held = next;
  call.sim().SaveState();
  return call.Finish(kOk);
}

void FillFan(ADLODNFanControl& out, const FanValues& values, int mode) {
  out = {};
  out.iMode = mode;
  out.iFanControlMode = 1;
  out.iCurrentFanSpeedMode = 1;
  out.iCurrentFanSpeed = values.minFan;
  out.iTargetFanSpeed = values.targetSpeed;
  out.iTargetTemperature = values.targetTemperature;
  out.iMinPerformanceClock = values.acoustic;
  out.iMinFanLimit = values.minFan;
}

void JournalFan(JournalLine& line, const ADLODNFanControl& fan) {
  line.Add("mode", fan.iMode)
      .Add("min_rpm", fan.iMinFanLimit)
      .Add("max_rpm", fan.iTargetFanSpeed)
      .Add("target_temp", fan.iTargetTemperature)
      .Add("acoustic", fan.iMinPerformanceClock);
}

}  // namespace

int OdnCapabilitiesGet(Context context, int adapter, ADLODNCapabilitiesX2* caps) {
  Call call("ADL2_OverdriveN_CapabilitiesX2_Get");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!caps) return call.Finish(kErrNullPointer);
  *caps = {};
  caps->iMaximumNumberOfPerformanceLevels = cardSpec->levels;
  caps->iFlags = cardSpec->odnFlags;
  caps->sEngineClockRange = Report(cardSpec->gpuClock);
  caps->sMemoryClockRange = Report(cardSpec->memClock);
  caps->svddcRange = Report(cardSpec->vddc);
  caps->power = Report(cardSpec->power);
  caps->powerTuneTemperature = Report(cardSpec->powerTemperature);
  caps->fanTemperature = Report(cardSpec->fanTemperature);
  caps->fanSpeed = Report(cardSpec->fanSpeed);
  caps->minimumPerformanceClock = Report(cardSpec->acoustic);
  call.line().Add("levels", cardSpec->levels);
  return call.Finish(kOk);
}

int OdnSystemClocksGet(Context c, int a, ADLODNPerformanceLevelsX2* l) {
  return ClocksGet("ADL2_OverdriveN_SystemClocksX2_Get", true, c, a, l);
}
int OdnSystemClocksSet(Context c, int a, ADLODNPerformanceLevelsX2* l) {
  return ClocksSet("ADL2_OverdriveN_SystemClocksX2_Set", true, c, a, l);
}
int OdnMemoryClocksGet(Context c, int a, ADLODNPerformanceLevelsX2* l) {
  return ClocksGet("ADL2_OverdriveN_MemoryClocksX2_Get", false, c, a, l);
}
int OdnMemoryClocksSet(Context c, int a, ADLODNPerformanceLevelsX2* l) {
  return ClocksSet("ADL2_OverdriveN_MemoryClocksX2_Set", false, c, a, l);
}

int OdnFanControlGet(Context context, int adapter, ADLODNFanControl* fan) {
  Call call("ADL2_OverdriveN_FanControl_Get");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!fan) return call.Finish(kErrNullPointer);
  const int mode = fan->iMode;
  FillFan(*fan, mode == kOdnModeDefault ? DefaultFan(*cardSpec) : card->fan, mode);
  JournalFan(call.line(), *fan);
  return call.Finish(kOk);
}

int OdnFanControlSet(Context context, int adapter, ADLODNFanControl* fan) {
  Call call("ADL2_OverdriveN_FanControl_Set");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!fan) return call.Finish(kErrNullPointer);
  JournalFan(call.line(), *fan);
  FanValues next = card->fan;
  if (fan->iMode == kOdnModeDefault || fan->iMode == kOdnModeAuto) {
    next = DefaultFan(*cardSpec);
  } else if (fan->iMode == kOdnModeManual) {
    FanValues in{fan->iTargetFanSpeed, fan->iTargetTemperature, fan->iMinPerformanceClock, fan->iMinFanLimit};
    const bool clamp = cardSpec->clampOutOfRange;
    struct Check {
      int flag;
      int* value;
      const Range* range;
      int* target;
    } checks[] = {{kFlagFanSpeedTarget, &in.targetSpeed, &cardSpec->fanSpeed, &next.targetSpeed},
                  {kFlagFanSpeedMin, &in.minFan, &cardSpec->fanSpeed, &next.minFan},
                  {kFlagTemperatureFan, &in.targetTemperature, &cardSpec->fanTemperature, &next.targetTemperature},
                  {kFlagAcoustic, &in.acoustic, &cardSpec->acoustic, &next.acoustic}};
    for (Check& check : checks) {
      if (!(cardSpec->odnFlags & check.flag)) continue;  // a value the card cannot change
      if (!Accept(*check.value, *check.range, clamp)) return call.Finish(kErr);
      *check.target = *check.value;
    }
  } else {
    return call.Finish(kErrInvalidParam);
  }
  if (!call.FaultIs(FaultKind::Ignore)) card->fan = next;
  call.sim().SaveState();
  return call.Finish(kOk);
}

int OdnPowerLimitGet(Context context, int adapter, ADLODNPowerLimitSetting* power) {
  Call call("ADL2_OverdriveN_PowerLimit_Get");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!power) return call.Finish(kErrNullPointer);
  const PowerValues values = power->iMode == kOdnModeDefault ? DefaultPower(*cardSpec) : card->power;
  power->iTDPLimit = values.tdp;
  power->iMaxOperatingTemperature = values.maxTemperature;
  call.line().Add("mode", power->iMode).Add("power", values.tdp).Add("max_temp", values.maxTemperature);
  return call.Finish(kOk);
}

int OdnPowerLimitSet(Context context, int adapter, ADLODNPowerLimitSetting* power) {
  Call call("ADL2_OverdriveN_PowerLimit_Set");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!power) return call.Finish(kErrNullPointer);
  call.line().Add("mode", power->iMode).Add("power", power->iTDPLimit).Add("max_temp", power->iMaxOperatingTemperature);
  PowerValues next = card->power;
  if (power->iMode == kOdnModeDefault || power->iMode == kOdnModeAuto) {
    next = DefaultPower(*cardSpec);
  } else if (power->iMode == kOdnModeManual) {
    int tdp = power->iTDPLimit;
    int temperature = power->iMaxOperatingTemperature;
    if (cardSpec->odnFlags & kFlagPowerLimit) {
      if (!Accept(tdp, cardSpec->power, cardSpec->clampOutOfRange)) return call.Finish(kErr);
      next.tdp = tdp;
    }
    if (cardSpec->odnFlags & kFlagTemperatureSystem) {
      if (!Accept(temperature, cardSpec->powerTemperature, cardSpec->clampOutOfRange)) return call.Finish(kErr);
      next.maxTemperature = temperature;
    }
  } else {
    return call.Finish(kErrInvalidParam);
  }
  if (!call.FaultIs(FaultKind::Ignore)) card->power = next;
  call.sim().SaveState();
  return call.Finish(kOk);
}

int OdnSettingsExtGet(Context context, int adapter, int* extCaps, int* count, ADLODNExtSingleInitSetting** ranges,
                      int** values) {
  Call call("ADL2_OverdriveN_SettingsExt_Get");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!extCaps || !count || !ranges || !values) return call.Finish(kErrNullPointer);
  call.line().Add("count_in", *count);
  const int own = static_cast<int>(cardSpec->ext.size());
  *extCaps = cardSpec->extCaps;
  *count = own;
  *ranges = nullptr;
  *values = nullptr;
  call.line().Add("count", own);
  if (call.FaultIs(FaultKind::NullList)) return call.Finish(kOk);
  *ranges = static_cast<ADLODNExtSingleInitSetting*>(AllocateForCaller(context, own * static_cast<int>(sizeof(ADLODNExtSingleInitSetting))));
  *values = static_cast<int*>(AllocateForCaller(context, own * static_cast<int>(sizeof(int))));
  if (!*ranges || !*values) return call.Finish(kErr);
  for (int i = 0; i < own; ++i) {
    const Range& range = cardSpec->ext[static_cast<size_t>(i)];
    (*ranges)[i] = {0, range.min, range.max, range.step, range.def};
    (*values)[i] = card->ext[static_cast<size_t>(i)];
  }
  call.line().AddList("values", card->ext);
  return call.Finish(kOk);
}

int OdnSettingsExtSet(Context context, int adapter, int count, int* validFlags, int* values) {
  Call call("ADL2_OverdriveN_SettingsExt_Set");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  call.line().Add("count", count);
  if (std::optional<int> early = BeginOdn(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!validFlags || !values) return call.Finish(kErrNullPointer);
  if (count < 0 || count > static_cast<int>(cardSpec->ext.size())) return call.Finish(kErrInvalidParam);
  call.line().AddList("valid", std::vector<int>(validFlags, validFlags + count));
  call.line().AddList("values", std::vector<int>(values, values + count));
  std::vector<int> next = card->ext;
  for (int i = 0; i < count; ++i) {
    if (validFlags[i] != 1) continue;
    const Range& range = cardSpec->ext[static_cast<size_t>(i)];
    int value = values[i];
    if (value == -1) {
      value = range.def;  // -1 asks for the driver's default
    } else if (!Accept(value, range, cardSpec->clampOutOfRange)) {
      call.line().Add("refused", i);
      return call.Finish(kErr);
    }
    next[static_cast<size_t>(i)] = value;
  }
  if (!call.FaultIs(FaultKind::Ignore)) card->ext = next;
  call.sim().SaveState();
  return call.Finish(kOk);
}

}  // namespace adlsim::api
