#include "app/apply_window_values.h"

#include <memory>

#include "app/app.h"
#include "gpu/clock_setter.h"
#include "gpu/driver_connection.h"
#include "gpu/ext_settings.h"
#include "gpu/ext_settings_setter.h"
#include "gpu/fan_control_setter.h"
#include "gpu/od8_setter.h"
#include "gpu/od8_values.h"
#include "gpu/power_limit_setter.h"
#include "gpu/setter_context.h"

namespace tw {
namespace {

constexpr size_t kFirstCurveValue = 5;
constexpr int32_t kTenKiloHertzPerMegaHertz = 100;

std::vector<adl::ADLODNPerformanceLevelX2> ClockLevels(const std::vector<WindowLevel>& rows, int stateCount) {
  std::vector<adl::ADLODNPerformanceLevelX2> levels;
  for (size_t k = 0; k < rows.size() && static_cast<int>(k) < stateCount; ++k) {
    adl::ADLODNPerformanceLevelX2 level{};
    level.iClock = rows[k].clock * kTenKiloHertzPerMegaHertz;
    level.iVddc = rows[k].vcc;
    level.iEnabled = rows[k].enabled ? 1 : 0;
    levels.push_back(level);
  }
  return levels;
}

RefusedParts ApplyOverdriveN(const SetterContext& context, const WindowValues& values) {
  const GPUItem& gpu = context.gpu;
  RefusedParts refused;
  refused.gpuClocks =
      !SetClocks(context, true, ClockLevels(values.gpuLevels, gpu.gpuStateCount), "Failed to set GPU values");
  refused.memClocks =
      !SetClocks(context, false, ClockLevels(values.memLevels, gpu.memStateCount), "Failed to set Memory values");
  if (gpu.fanEnabled)
    refused.fan = !SetFanControl(context, true, {values.fanMin, values.fanMax, values.fanTarget, values.fanAcoustic},
                                 "Failed to set Fan values");
  ExtValues ext{};
  ext[0] = values.memTimingLevel;
  ext[1] = values.zeroRpm ? 1 : 0;
  for (size_t k = 0; k < kFanCurvePoints; ++k) {
    ext[kFirstCurveValue + 2 * k] = values.fanCurve[k].fanTemp;
    ext[kFirstCurveValue + 2 * k + 1] = values.fanCurve[k].fanPerc;
  }
  refused.ext = !SetExtSettings(context, ext);
  refused.power = !SetPowerLimit(context, true, values.powerTemp, values.powerTarget, "Failed to set Power values");
  return refused;
}

RefusedParts ApplyOverdrive8(const SetterContext& context, const WindowValues& values) {
  Od8Values od8{};
  od8[adl::kOd8GfxclkFmax] = values.gpuMax;
  od8[adl::kOd8GfxclkFmin] = values.gpuMin;
  for (size_t k = 0; k < values.gpuLevels.size() && k < 3; ++k) {
    od8[adl::kOd8GfxclkFreq1 + 2 * k] = values.gpuLevels[k].clock;
    od8[adl::kOd8GfxclkVoltage1 + 2 * k] = values.gpuLevels[k].vcc;
  }
  od8[adl::kOd8UclkFmax] = values.memMax;
  od8[adl::kOd8PowerPercentage] = values.powerTarget;
  od8[adl::kOd8FanAcousticLimit] = values.fanAcoustic;
  od8[adl::kOd8AcTiming] = values.memTimingLevel;
  od8[adl::kOd8FanZeroRpmControl] = values.zeroRpm ? 1 : 0;
  for (size_t k = 0; k < kFanCurvePoints; ++k) {
    od8[adl::kOd8FanCurveTemperature1 + 2 * k] = values.fanCurve[k].fanTemp;
    od8[adl::kOd8FanCurveSpeed1 + 2 * k] = values.fanCurve[k].fanPerc;
  }
  RefusedParts refused;
  refused.od8 = !ApplyOd8(context, od8);
  return refused;
}

}  // namespace

RefusedParts ApplyWindowValues(App& app, int gpuId, const WindowValues& values) {
  const RefusedParts nothingTaken{true, true, true, true, true, true};
  if (gpuId < 0 || static_cast<size_t>(gpuId) >= app.gpus.size()) return nothingTaken;
  if (!app.gpus[static_cast<size_t>(gpuId)].supported) return nothingTaken;
  const std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app.platform, app.messages);
  if (!connection) return nothingTaken;
  const SetterContext context = MakeSetterContext(app.gpuContext(), *connection, app.gpus, gpuId, /*console=*/false);
  if (context.gpu.overdriveVersion == adl::kOverdriveN) return ApplyOverdriveN(context, values);
  if (context.gpu.overdriveVersion == adl::kOverdrive8) return ApplyOverdrive8(context, values);
  return nothingTaken;
}

}  // namespace tw
