#include "gpu/overdrive_n_readings.h"

#include <optional>

#include "gpu/adl_abi.h"
#include "gpu/driver_connection.h"
#include "gpu/driver_report.h"
#include "gpu/gpu_item.h"
#include "gpu/performance_levels.h"

namespace tw {

namespace {

// The driver's result (0 for a buffer that could not be made); `levels` only on success.
int GetOdnLevels(DriverConnection& connection, const GPUItem& gpu, bool gpuLevels, int mode,
                 std::vector<LevelReading>& levels) {
  std::optional<PerformanceLevelsBuffer> buffer = PerformanceLevelsBuffer::Create(gpu.levelCount);
  if (!buffer) return 0;
  buffer->setMode(mode);
  const DriverEntryPoints& api = connection.api();
  const int result =
      gpuLevels ? api.OverdriveN_SystemClocksX2_Get(connection.context(), gpu.adapterIndex(), buffer->record())
                : api.OverdriveN_MemoryClocksX2_Get(connection.context(), gpu.adapterIndex(), buffer->record());
  if (result != adl::kOk) return result;
  levels.clear();
  for (int i = 0; i < buffer->levelCount(); ++i) {
    const adl::ADLODNPerformanceLevelX2 level = buffer->level(i);
    levels.push_back({level.iClock / 100, level.iVddc, level.iEnabled > 0});  // integer division cuts toward zero
  }
  return adl::kOk;
}

}  // namespace

bool ReadOdnLevels(DriverConnection& connection, MessageWriter& messages, const GPUItem& gpu, bool gpuLevels,
                   std::vector<LevelReading>& levels, bool console) {
  const int result = GetOdnLevels(connection, gpu, gpuLevels, adl::kOdnModeCurrent, levels);
  if (result == adl::kOk) return true;
  ReportDriverFailure(messages, gpuLevels ? "SystemClocks_Get function failed" : "MemoryClocks_Get function failed",
                      result, console);
  return false;
}

bool ReadOdnDefaultLevels(DriverConnection& connection, const GPUItem& gpu, bool gpuLevels,
                          std::vector<LevelReading>& levels) {
  return GetOdnLevels(connection, gpu, gpuLevels, adl::kOdnModeDefault, levels) == adl::kOk;
}

bool ReadOdnFanControl(DriverConnection& connection, MessageWriter& messages, const GPUItem& gpu,
                       FanControlReading& fan, bool console) {
  adl::ADLODNFanControl record{};
  const int result = connection.api().OverdriveN_FanControl_Get(connection.context(), gpu.adapterIndex(), &record);
  if (result != adl::kOk) {
    ReportDriverFailure(messages, "FanControl_Get function failed", result, console);
    return false;
  }
  fan = {record.iMinFanLimit, record.iTargetFanSpeed, record.iTargetTemperature, record.iMinPerformanceClock};
  return true;
}

bool ReadOdnPowerLimit(DriverConnection& connection, MessageWriter& messages, const GPUItem& gpu,
                       PowerLimitReading& power, bool console) {
  adl::ADLODNPowerLimitSetting record{};
  const int result = connection.api().OverdriveN_PowerLimit_Get(connection.context(), gpu.adapterIndex(), &record);
  if (result != adl::kOk) {
    ReportDriverFailure(messages, "PowerLimit_Get function failed", result, console);
    return false;
  }
  power = {record.iMaxOperatingTemperature, record.iTDPLimit};
  return true;
}

}  // namespace tw
