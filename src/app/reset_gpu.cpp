#include "app/reset_gpu.h"

#include <memory>
#include <optional>
#include <string_view>

#include "app/app.h"
#include "gpu/driver_connection.h"
#include "gpu/ext_settings_setter.h"
#include "gpu/od8_setter.h"
#include "gpu/performance_levels.h"
#include "gpu/setter_context.h"
#include "regulator/regulator_write.h"

namespace tw {
namespace {

void ReportIfFailed(const SetterContext& context, std::string_view text, int result) {
  if (result != adl::kOk) context.Report(text, result);
}

void ResetClocks(const SetterContext& context, bool gpuLevels) {
  const std::string_view failure = gpuLevels ? "Failed to reset GPU values" : "Failed to reset Memory values";
  std::optional<PerformanceLevelsBuffer> record = PerformanceLevelsBuffer::Create(context.gpu.levelCount);
  if (!record) {
    context.Report(failure, 0);
    return;
  }
  record->setMode(adl::kOdnModeDefault);
  const auto set = gpuLevels ? context.api().OverdriveN_SystemClocksX2_Set : context.api().OverdriveN_MemoryClocksX2_Set;
  ReportIfFailed(context, failure, set(context.context(), context.adapter(), record->record()));
}

void ResetOverdriveN(const SetterContext& context) {
  ResetClocks(context, true);
  ResetClocks(context, false);
  if (context.gpu.fanEnabled) {
    adl::ADLODNFanControl fan{};
    fan.iMode = adl::kOdnModeDefault;
    ReportIfFailed(context, "Failed to reset Fan values",
                   context.api().OverdriveN_FanControl_Set(context.context(), context.adapter(), &fan));
  }
  if (!ResetExtSettings(context)) context.Report("Failed to reset Fan curve, Zero RPM and Memory timing level", 0);
  adl::ADLODNPowerLimitSetting power{adl::kOdnModeDefault, 0, -1};
  ReportIfFailed(context, "Failed to reset Power values",
                 context.api().OverdriveN_PowerLimit_Set(context.context(), context.adapter(), &power));
}

}  // namespace

void ResetGpu(App& app, int gpuId, bool console, bool fromCommandLine) {
  if (const std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app.platform, app.messages)) {
    const SetterContext context = MakeSetterContext(app.gpuContext(), *connection, app.gpus, gpuId, console);
    if (context.gpu.overdriveVersion == adl::kOverdriveN) ResetOverdriveN(context);
    if (context.gpu.overdriveVersion == adl::kOverdrive8) ResetOd8(context);
  }
  // The window passes its own regulator fields; that path arrives with the window.
  if (app.options.EnableI2c && fromCommandLine)
    WriteRegulatorValues(app.regulatorContext(), gpuId, true, 0, 0, kNotSetText, kNotSetText);
}

}  // namespace tw
