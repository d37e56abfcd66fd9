#include "gpu/clock_setter.h"

#include <algorithm>
#include <optional>
#include <string>

#include "gpu/driver_limits.h"
#include "gpu/gpu_item.h"
#include "gpu/mismatch_list.h"
#include "gpu/performance_levels.h"
#include "gpu/setter_context.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

std::string_view Kind(bool gpuLevels) { return gpuLevels ? "GPU" : "Memory"; }

std::string FailureText(bool gpuLevels, std::string_view failureText) {
  if (!failureText.empty()) return std::string(failureText);
  return "Failed to set " + std::string(Kind(gpuLevels)) + " values";
}

int Set(const SetterContext& context, bool gpuLevels, adl::ADLODNPerformanceLevelsX2* record) {
  const DriverEntryPoints& api = context.api();
  return gpuLevels ? api.OverdriveN_SystemClocksX2_Set(context.context(), context.adapter(), record)
                   : api.OverdriveN_MemoryClocksX2_Set(context.context(), context.adapter(), record);
}

int Get(const SetterContext& context, bool gpuLevels, adl::ADLODNPerformanceLevelsX2* record) {
  const DriverEntryPoints& api = context.api();
  return gpuLevels ? api.OverdriveN_SystemClocksX2_Get(context.context(), context.adapter(), record)
                   : api.OverdriveN_MemoryClocksX2_Get(context.context(), context.adapter(), record);
}

std::string_view EnabledText(int enabled) { return enabled > 0 ? "enabled" : "disabled"; }

void CompareLevel(MismatchList& list, const std::string& what, const adl::ADLODNPerformanceLevelX2& got,
                  const adl::ADLODNPerformanceLevelX2& sent) {
  // Clocks are compared in the driver's 10 kHz and shown in MHz, so a clock the driver
  // moved by less than 1 MHz still shows.
  if (got.iClock != sent.iClock)
    list.Add(what, std::to_string(got.iClock / 100) + " MHz", std::to_string(sent.iClock / 100) + " MHz");
  list.Compare(what, got.iVddc, sent.iVddc, " mV");
  list.CompareText(what, EnabledText(got.iEnabled), EnabledText(sent.iEnabled));
}

void VerifyClocks(const SetterContext& context, bool gpuLevels, const PerformanceLevelsBuffer& sent) {
  std::optional<PerformanceLevelsBuffer> read = PerformanceLevelsBuffer::Create(sent.levelCount());
  if (!read || Get(context, gpuLevels, read->record()) != adl::kOk) return;  // a failed read-back is not reported
  const int states = std::min(gpuLevels ? context.gpu.gpuStateCount : context.gpu.memStateCount, sent.levelCount());
  MismatchList list;
  for (int i = 0; i < states; ++i)
    CompareLevel(list, std::string(Kind(gpuLevels)) + " P" + std::to_string(i), read->level(i), sent.level(i));
  list.ReportUnder(context, std::string(Kind(gpuLevels)) + " values mismatch for GPU " +
                                std::to_string(context.gpuId) + ".\n");
}

}  // namespace

bool SendClocks(const SetterContext& context, bool gpuLevels, const PerformanceLevelsBuffer& record,
                std::string_view failureText) {
  // The driver gets its own copy, so whatever it writes into the record cannot change
  // what the caller compares against later.
  PerformanceLevelsBuffer copy = record.Clone();
  const int result = Set(context, gpuLevels, copy.record());
  if (result == adl::kOk) return true;
  std::optional<std::string> limits;
  if (result == adl::kErr) limits = CheckDriverLimits(context.connection, context.gpuId, context.gpu, record, gpuLevels);
  context.ReportRefusal(FailureText(gpuLevels, failureText), result, limits);
  return false;
}

bool SetClocks(const SetterContext& context, bool gpuLevels, std::span<const adl::ADLODNPerformanceLevelX2> levels,
               std::string_view failureText) {
  std::optional<PerformanceLevelsBuffer> record = PerformanceLevelsBuffer::Create(context.gpu.levelCount);
  if (!record) {
    context.Report(FailureText(gpuLevels, failureText), 0);
    return false;
  }
  // Levels the caller does not give (beyond the counted states) go back as the card held
  // them: zeros there could wipe a valid level above a gap.
  const auto& held = gpuLevels ? context.gpu.gpuLevelsHeld : context.gpu.memLevelsHeld;
  for (int i = 0; i < record->levelCount(); ++i) {
    const size_t at = static_cast<size_t>(i);
    if (at < levels.size()) record->setLevel(i, levels[at]);
    else if (at < held.size()) record->setLevel(i, held[at]);
  }
  record->setMode(adl::kOdnModeManual);

  bool ok = SendClocks(context, gpuLevels, *record, failureText);
  if (ok && context.options.ResetBeforeApply) {
    PerformanceLevelsBuffer defaults = record->Clone();
    defaults.setMode(adl::kOdnModeDefault);
    Set(context, gpuLevels, defaults.record());  // the result does not matter: the values follow
    ok = SendClocks(context, gpuLevels, *record, failureText);
  }
  if (ok && context.options.CheckValuesMismatch) VerifyClocks(context, gpuLevels, *record);
  return ok;
}

}  // namespace tw
