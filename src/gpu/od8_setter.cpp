#include "gpu/od8_setter.h"

#include <string>

#include "gpu/mismatch_list.h"
#include "gpu/setter_context.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

bool IsFanId(int id) {
  return id == adl::kOd8FanAcousticLimit || id == adl::kOd8FanZeroRpmControl || id >= adl::kOd8FanCurveTemperature1;
}

adl::ADLOD8SetSetting SetRecord(const GPUItem& gpu, bool reset, const Od8Values& values) {
  adl::ADLOD8SetSetting record{};
  record.count = adl::kOd8Count;
  for (int id = 0; id < adl::kOd8Count; ++id) {
    if (!IsOd8IdSent(gpu, id)) continue;
    const size_t i = static_cast<size_t>(id);
    adl::ADLOD8SingleSetSetting& row = record.od8SettingTable[i];
    row.requested = 1;
    row.reset = reset ? 1 : 0;
    row.value = reset ? gpu.od8Init[i].defaultValue : values[i];
  }
  return record;
}

std::string_view OnOff(int32_t value) { return value == 1 ? "ON" : "OFF"; }

// Only the rows that were sent are compared: the fan rows of a card taken out of tuning
// were deliberately left as the card holds them.
void Verify(const SetterContext& context, const Od8Values& sent, const adl::ADLOD8CurrentSetting& result) {
  const auto got = [&](int id) { return result.Od8SettingTable[id]; };
  const auto want = [&](int id) {
    return IsOd8IdSent(context.gpu, id) ? sent[static_cast<size_t>(id)] : result.Od8SettingTable[id];
  };
  MismatchList list;
  for (int k = 0; k < 3; ++k) {
    const std::string what = "GPU P" + std::to_string(k);
    list.Compare(what, got(adl::kOd8GfxclkFreq1 + 2 * k), want(adl::kOd8GfxclkFreq1 + 2 * k), " MHz");
    list.Compare(what, got(adl::kOd8GfxclkVoltage1 + 2 * k), want(adl::kOd8GfxclkVoltage1 + 2 * k), " mV");
  }
  list.Compare("GPU Minimum", got(adl::kOd8GfxclkFmin), want(adl::kOd8GfxclkFmin), " MHz");
  list.Compare("GPU Maximum", got(adl::kOd8GfxclkFmax), want(adl::kOd8GfxclkFmax), " MHz");
  list.Compare("Memory Maximum", got(adl::kOd8UclkFmax), want(adl::kOd8UclkFmax), " MHz");
  list.Compare("Memory Timing Level", got(adl::kOd8AcTiming), want(adl::kOd8AcTiming), "");
  for (int k = 0; k < 5; ++k) {
    const std::string what = "Fan P" + std::to_string(k);
    list.Compare(what, got(adl::kOd8FanCurveTemperature1 + 2 * k), want(adl::kOd8FanCurveTemperature1 + 2 * k),
                 " °C");
    list.Compare(what, got(adl::kOd8FanCurveSpeed1 + 2 * k), want(adl::kOd8FanCurveSpeed1 + 2 * k), " %");
  }
  list.CompareText("Fan ZeroRPM", OnOff(got(adl::kOd8FanZeroRpmControl)), OnOff(want(adl::kOd8FanZeroRpmControl)));
  list.Compare("Fan Acoustic Limit", got(adl::kOd8FanAcousticLimit), want(adl::kOd8FanAcousticLimit), " MHz");
  list.Compare("Power Target", got(adl::kOd8PowerPercentage), want(adl::kOd8PowerPercentage), " %");
  list.ReportUnder(context, "Values mismatch for GPU " + std::to_string(context.gpuId) + ".\n");
}

}  // namespace

bool IsOd8IdSent(const GPUItem& gpu, int id) {
  if (id < 0 || id >= adl::kOd8Count) return false;
  if (id == adl::kOd8FanMinSpeed || id == adl::kOd8FanTargetTemp || id == adl::kOd8OperatingTempMax) return false;
  return gpu.fanEnabled || !IsFanId(id);
}

bool SetOd8Settings(const SetterContext& context, bool reset, const Od8Values& values) {
  adl::ADLOD8SetSetting request = SetRecord(context.gpu, reset, values);
  adl::ADLOD8CurrentSetting result{};
  result.count = adl::kOd8Count;
  const int code = context.api().Overdrive8_Setting_Set(context.context(), context.adapter(), &request, &result);
  if (code != adl::kOk) {
    context.Report(std::string(reset ? "Failed to reset values for GPU " : "Failed to set values for GPU ") +
                       std::to_string(context.gpuId),
                   code);
    return false;
  }
  if (!reset && context.options.CheckValuesMismatch) Verify(context, values, result);
  return true;
}

bool ApplyOd8(const SetterContext& context, const Od8Values& values) {
  if (context.options.ResetBeforeApply) SetOd8Settings(context, /*reset=*/true, values);
  return SetOd8Settings(context, /*reset=*/false, values);
}

bool ResetOd8(const SetterContext& context) { return SetOd8Settings(context, /*reset=*/true, Od8Values{}); }

}  // namespace tw
